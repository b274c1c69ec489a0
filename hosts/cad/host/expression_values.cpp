// expression_values.cpp - the host's published expression variables, looked
// up by name with xelCExpression_getValue: the animation clock, the ray
// tracer's switches and alternative view, and the renderer's spot function
// table. A variable answers only while it is published; its value word sits
// at byte 8 of the caller's record, pointer-sized.
#include <cstring>
#include <map>

#include "host_state.h"

namespace cadhost {
namespace {

// Type codes the host writes into the first word of a value record.
enum : int32_t { kValueInteger = 1, kValueAddress = 2 };

constexpr Symbol kSymbols[] = {Symbol::AnimatorSeconds, Symbol::RayTracing,
                               Symbol::SpotFunctions,   Symbol::NeedAltTransform,
                               Symbol::AltRenderOrigin, Symbol::AltRenderTransform};
constexpr size_t kSymbolCount = sizeof kSymbols / sizeof kSymbols[0];

struct ValueState {
  bool published[kSymbolCount] = {};
  std::map<std::string, int32_t, std::less<>> lookups;
  // Addresses handed out stay fixed for the life of the process.
  double animationSeconds = 0.0;
  int32_t rayTracing = 0;
  int32_t needAltTransform = 0;
  double altOrigin[3] = {};
  double altTransform[9] = {1.0, 0.0, 0.0, 0.0, 1.0, 0.0, 0.0, 0.0, 1.0};
};

ValueState &state() {
  static auto *s = new ValueState;
  return *s;
}

size_t indexOf(Symbol symbol) {
  return static_cast<size_t>(symbol);
}

} // namespace

const char *symbolName(Symbol symbol) {
  switch (symbol) {
    case Symbol::AnimatorSeconds:
      return "animatorSecondsP";
    case Symbol::RayTracing:
      return "veloxRayTracing";
    case Symbol::SpotFunctions:
      return "rendloadSpotFuncs";
    case Symbol::NeedAltTransform:
      return "veloxNeedAltXform";
    case Symbol::AltRenderOrigin:
      return "veloxAltRenderOrigin";
    case Symbol::AltRenderTransform:
      return "veloxAltRenderXform";
  }
  return "";
}

void publish(Symbol symbol, bool published) {
  state().published[indexOf(symbol)] = published;
}
bool isPublished(Symbol symbol) {
  return state().published[indexOf(symbol)];
}

int32_t expressionLookups(std::string_view symbol) {
  const auto found = state().lookups.find(symbol);
  return found == state().lookups.end() ? 0 : found->second;
}

void setAnimationSeconds(double seconds) {
  state().animationSeconds = seconds;
}
void advanceAnimation(double seconds) {
  state().animationSeconds += seconds;
}
double animationSeconds() {
  return state().animationSeconds;
}
const double *animationSecondsAddress() {
  return &state().animationSeconds;
}

void setRayTracingValue(int32_t value) {
  state().rayTracing = value;
}
void setNeedAltTransformValue(int32_t value) {
  state().needAltTransform = value;
}
void setAltRenderOrigin(const std::array<double, 3> &origin) {
  std::memcpy(state().altOrigin, origin.data(), sizeof state().altOrigin);
}
void setAltRenderTransform(const std::array<double, 9> &rowByRow) {
  std::memcpy(state().altTransform, rowByRow.data(), sizeof state().altTransform);
}

void detail::resetExpressionValues() {
  ValueState &s = state();
  for (bool &published : s.published) published = false;
  s.lookups.clear();
  s.animationSeconds = 0.0;
  s.rayTracing = 0;
  s.needAltTransform = 0;
  setAltRenderOrigin({0.0, 0.0, 0.0});
  setAltRenderTransform({1.0, 0.0, 0.0, 0.0, 1.0, 0.0, 0.0, 0.0, 1.0});
}

} // namespace cadhost

extern "C" int32_t xelCExpression_getValue(XelExpressionValue *value, int32_t, const char *symbol,
                                           int32_t) {
  using namespace cadhost;
  detail::countCall("xelCExpression_getValue");
  if (symbol == nullptr) return 1;
  try {
    ++state().lookups[symbol];
  } catch (...) {
    // Only the statistics suffer.
  }
  if (value == nullptr) return 1;
  for (Symbol s : kSymbols) {
    if (std::strcmp(symbolName(s), symbol) != 0) continue;
    if (!isPublished(s)) return 1;
    ValueState &v = state();
    value->reserved = 0;
    switch (s) {
      case Symbol::AnimatorSeconds:
        value->type = kValueAddress;
        value->value.address = &v.animationSeconds;
        break;
      case Symbol::RayTracing:
        value->type = kValueInteger;
        value->value.integer = v.rayTracing;
        break;
      case Symbol::SpotFunctions:
        value->type = kValueAddress;
        value->value.address = reinterpret_cast<void *>(spotTable());
        break;
      case Symbol::NeedAltTransform:
        value->type = kValueInteger;
        value->value.integer = v.needAltTransform;
        break;
      case Symbol::AltRenderOrigin:
        value->type = kValueAddress;
        value->value.address = v.altOrigin;
        break;
      case Symbol::AltRenderTransform:
        value->type = kValueAddress;
        value->value.address = v.altTransform;
        break;
    }
    return 0;
  }
  return 1;
}
