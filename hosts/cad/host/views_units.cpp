// views_units.cpp - the host's views, units and active parameters: a
// window's view origin, rotation and number; the active model's units of
// resolution per master and per sub-unit; active point 54.
#include <cstring>
#include <map>

#include "host_state.h"

struct XelModelRefRec {
  int32_t number;
};

namespace cadhost {
namespace {

constexpr int32_t kActivePoint = 54;
constexpr double kIdentity[9] = {1.0, 0.0, 0.0, 0.0, 1.0, 0.0, 0.0, 0.0, 1.0};

struct ViewState {
  std::map<int32_t, ViewInfo> views;
  double uorPerMaster = 1.0;
  double uorPerSub = 1.0;
  std::array<double, 3> activePoint{0.0, 0.0, 0.0};
};

ViewState &state() {
  static auto *s = new ViewState;
  return *s;
}

XelModelRefRec activeModel{0};

} // namespace

void setView(int32_t windowId, const ViewInfo &view) {
  state().views[windowId] = view;
}
void removeView(int32_t windowId) {
  state().views.erase(windowId);
}
void setUorPerMaster(double uors) {
  state().uorPerMaster = uors;
}
void setUorPerSub(double uors) {
  state().uorPerSub = uors;
}
void setActivePoint(const std::array<double, 3> &point) {
  state().activePoint = point;
}

void detail::resetViews() {
  state() = ViewState{};
}

} // namespace cadhost

using cadhost::state;

extern "C" {

int32_t xelView_getInfoFromWindow(void *, void *, void *, void *, void *, double *origin, void *,
                                  void *, void *, double *rotation, void *, void *,
                                  int32_t *viewNumber, int32_t windowId) {
  cadhost::detail::countCall("xelView_getInfoFromWindow");
  const auto found = state().views.find(windowId);
  // A window without a view reads as no view at all: no origin, no
  // rotation, and view -1 rather than a number some real view may have.
  const bool known = found != state().views.end();
  const cadhost::ViewInfo none{{0.0, 0.0, 0.0}, {1.0, 0.0, 0.0, 0.0, 1.0, 0.0, 0.0, 0.0, 1.0}, -1};
  const cadhost::ViewInfo &view = known ? found->second : none;
  if (origin != nullptr) std::memcpy(origin, view.origin.data(), 3 * sizeof(double));
  if (rotation != nullptr) std::memcpy(rotation, view.rotation.data(), 9 * sizeof(double));
  if (viewNumber != nullptr) *viewNumber = view.viewNumber;
  return known ? 0 : 1;
}

void xelRMatrix_getIdentity(double *matrix3x3) {
  cadhost::detail::countCall("xelRMatrix_getIdentity");
  if (matrix3x3 != nullptr) std::memcpy(matrix3x3, cadhost::kIdentity, sizeof cadhost::kIdentity);
}

XelModelRef xelModelRef_getActive(void) {
  cadhost::detail::countCall("xelModelRef_getActive");
  return &cadhost::activeModel;
}

double xelModelRef_getUorPerMaster(XelModelRef model) {
  cadhost::detail::countCall("xelModelRef_getUorPerMaster");
  return model == &cadhost::activeModel ? state().uorPerMaster : 0.0;
}

double xelModelRef_getUorPerSub(XelModelRef model) {
  cadhost::detail::countCall("xelModelRef_getUorPerSub");
  return model == &cadhost::activeModel ? state().uorPerSub : 0.0;
}

int32_t xelParams_getActive(double *value, int32_t which) {
  cadhost::detail::countCall("xelParams_getActive");
  if (value == nullptr || which != cadhost::kActivePoint) return 1;
  std::memcpy(value, state().activePoint.data(), 3 * sizeof(double));
  return 0;
}

} // extern "C"
