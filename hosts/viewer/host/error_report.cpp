// error_report.cpp - error records of the stand-in viewer. A record is a C++
// string owned by the report until it is shown or cleared; it is not on the
// host heap, so it never disturbs the heap accounting of a test.
#include "error_report.h"

namespace viewerhost {

namespace {
struct ErrorRecord {
  std::string message;
};
} // namespace

void setError(ErrorReport *report, const std::string &message) {
  if (report == nullptr || *report != nullptr) return;
  *report = new ErrorRecord{message};
}

std::string errorMessage(ErrorReport report) {
  if (report == nullptr) return {};
  return static_cast<ErrorRecord *>(report)->message;
}

void clearError(ErrorReport *report) {
  if (report == nullptr || *report == nullptr) return;
  delete static_cast<ErrorRecord *>(*report);
  *report = nullptr;
}

} // namespace viewerhost
