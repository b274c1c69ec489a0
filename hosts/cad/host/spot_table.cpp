// spot_table.cpp - the renderer's spot function table that the host
// publishes as "rendloadSpotFuncs". Of its entries the stand-in fills the
// three a texture uses: the screen rectangle (140), the depth range (141)
// and the matrix from weighted screen coordinates to view coordinates (126).
#include <cstring>

#include "host_state.h"

namespace cadhost {
namespace {

struct SpotState {
  ScreenRect rect;
  float nearDepth = 0.0f;
  float farDepth = 1.0f;
  float screenToView[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
};

SpotState &state() {
  static auto *s = new SpotState;
  return *s;
}

void screenRect(int32_t *first, int32_t *second, int32_t *third, int32_t *fourth) {
  detail::countCall("rendloadSpotFuncs[140]");
  const ScreenRect &r = state().rect;
  if (first != nullptr) *first = r.first;
  if (second != nullptr) *second = r.second;
  if (third != nullptr) *third = r.third;
  if (fourth != nullptr) *fourth = r.fourth;
}

void depthRange(float *nearDepth, float *farDepth) {
  detail::countCall("rendloadSpotFuncs[141]");
  if (nearDepth != nullptr) *nearDepth = state().nearDepth;
  if (farDepth != nullptr) *farDepth = state().farDepth;
}

void screenToView(float *matrix) {
  detail::countCall("rendloadSpotFuncs[126]");
  if (matrix != nullptr) std::memcpy(matrix, state().screenToView, sizeof state().screenToView);
}

// Entries are stored as plain function addresses; a caller converts each
// back to its own signature before calling it.
SpotFunction *table() {
  static SpotFunction entries[SPOT_TABLE_SIZE] = {};
  static const bool filled = [] {
    entries[SPOT_SCREEN_RECT] = reinterpret_cast<SpotFunction>(&screenRect);
    entries[SPOT_DEPTH_RANGE] = reinterpret_cast<SpotFunction>(&depthRange);
    entries[SPOT_SCREEN_TO_VIEW] = reinterpret_cast<SpotFunction>(&screenToView);
    return true;
  }();
  (void)filled;
  return entries;
}

} // namespace

void setScreenRect(const ScreenRect &rect) {
  state().rect = rect;
}
void setDepthRange(float nearDepth, float farDepth) {
  state().nearDepth = nearDepth;
  state().farDepth = farDepth;
}
void setScreenToView(const std::array<float, 16> &rowByRow) {
  std::memcpy(state().screenToView, rowByRow.data(), sizeof state().screenToView);
}
SpotFunction *spotTable() {
  return table();
}

void detail::resetSpotTable() {
  state() = SpotState{};
}

} // namespace cadhost
