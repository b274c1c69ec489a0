// world.cpp - the stand-in CAD application as a whole: the reset that
// returns every unit to its bare state between tests, and the call counts
// that let a test see which host operations a module used.
#include <map>
#include <string>

#include "host_state.h"

namespace cadhost {
namespace {

std::map<std::string, int32_t, std::less<>> &counts() {
  // Never destroyed: host operations may still be called while the process
  // tears down its static objects.
  static auto *table = new std::map<std::string, int32_t, std::less<>>;
  return *table;
}

} // namespace

void detail::countCall(const char *operation) {
  if (operation == nullptr) return;
  try {
    ++counts()[operation];
  } catch (...) {
    // A count lost to memory exhaustion must not fail the host operation.
  }
}

int32_t callCount(std::string_view operation) {
  const auto found = counts().find(operation);
  return found == counts().end() ? 0 : found->second;
}

void reset() {
  detail::resetStringLists();
  detail::resetMaterials();
  detail::resetExpressionValues();
  detail::resetSpotTable();
  detail::resetApplications();
  detail::resetViews();
  detail::resetDialogs();
  counts().clear();
}

} // namespace cadhost
