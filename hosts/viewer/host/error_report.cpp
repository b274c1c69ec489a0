// error_report.cpp - error records of the stand-in viewer. A record is a C++
// string owned by the report until it is shown or cleared; it is not on the
// host heap, so it never disturbs the heap accounting of a test.
#include "error_report.h"

#include <memory>
#include <unordered_map>

namespace viewerhost {

namespace {
struct ErrorRecord {
  std::string message;
};

// Every record not yet shown or cleared. Plug-ins drop the reports of calls
// whose failure they ignore; those records stay owned here until the process
// ends. Never destroyed, so a report made during static destruction is safe.
std::unordered_map<ErrorRecord *, std::unique_ptr<ErrorRecord>> &liveRecords() {
  static auto *records = new std::unordered_map<ErrorRecord *, std::unique_ptr<ErrorRecord>>;
  return *records;
}
} // namespace

void setError(ErrorReport *report, const std::string &message) {
  if (report == nullptr || *report != nullptr) return;
  auto record = std::make_unique<ErrorRecord>(ErrorRecord{message});
  ErrorRecord *handle = record.get();
  liveRecords().emplace(handle, std::move(record));
  *report = handle;
}

std::string errorMessage(ErrorReport report) {
  if (report == nullptr) return {};
  return static_cast<ErrorRecord *>(report)->message;
}

void clearError(ErrorReport *report) {
  if (report == nullptr || *report == nullptr) return;
  liveRecords().erase(static_cast<ErrorRecord *>(*report));
  *report = nullptr;
}

} // namespace viewerhost
