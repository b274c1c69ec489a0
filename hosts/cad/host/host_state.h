// host_state.h - internals shared by the units of the stand-in CAD
// application: call counting, planned failures, the per-unit resets that
// cadhost::reset runs, and the string lists that materials own.
//
// Each unit keeps its own state in its own file; this header only lets the
// units reach one another. Not part of any interface a program uses.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cad_control.h"

namespace cadhost::detail {

// Adds one to the call count of a host operation. Never throws.
void countCall(const char *operation);

// Decides, call by call, whether an operation fails under a FailurePlan.
class FailureSwitch {
 public:
  void set(FailurePlan plan) {
    plan_ = plan;
    calls_ = 0;
  }
  // Called once per call of the operation; true when this call must fail.
  bool nextCallFails() {
    const int64_t n = calls_++;
    if (n < plan_.after) return false;
    if (plan_.count < 0) return true;
    return n - plan_.after < plan_.count;
  }

 private:
  FailurePlan plan_{};
  int64_t calls_ = 0;
};

// Lists that belong to a material's map: the host creates and releases them,
// xelStringList_free leaves them alone, and they are not counted as live.
// Null when memory runs out.
XelStringList newHostList(const std::vector<std::string> &members) noexcept;
void freeHostList(XelStringList list) noexcept;

// Per-unit parts of cadhost::reset.
void resetStringLists();
void resetMaterials();
void resetExpressionValues();
void resetSpotTable();
void resetApplications();
void resetViews();
void resetDialogs();

} // namespace cadhost::detail
