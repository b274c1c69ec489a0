// error_report.h - the stand-in viewer's error records: what a failing host
// operation leaves in the caller's error report, and the log of the reports
// shown to the user.
#pragma once

#include <string>
#include <vector>

#include "viewer_host.h"

namespace viewerhost {

// Leaves an error with `message` in `*report` unless the report is null or
// already holds one (the first error wins).
void setError(ErrorReport *report, const std::string &message);

// The message held by a report; empty when it holds none.
std::string errorMessage(ErrorReport report);

// Releases the error a report holds and clears the report.
void clearError(ErrorReport *report);

} // namespace viewerhost
