// animation_clock.cpp - binding of parameter blocks to the host's animation
// time, and the notice function that drops the binding.
#include "animation_clock.h"

#include <cmath>

#include "instance_cache.h"
#include "point_transform.h"
#include "sample_instance.h"

namespace {

constexpr int32_t NOTICE_SLOT = 1;
constexpr int32_t MAP_ADDRESSED_BY_UV = 0;

// A value that is not a number counts as no motion.
bool moves(float speed) {
  return !std::isnan(speed) && speed != 0.0f;
}

const double *hostClock() {
  XelExpressionValue value{};
  if (xelCExpression_getValue(&value, 0, "animatorSecondsP", HOST_VALUE_KIND) != 0) return nullptr;
  return static_cast<const double *>(value.value.address);
}

bool anyInstanceReadsHostClock() {
  TextureInstance *cursor = nullptr;
  while (FogTextureParams *params = textureInstance_next(&cursor))
    if (params->timeSource && params->timeSource != &staticZeroTime) return true;
  return false;
}

bool sameAsciiTextIgnoringCase(const char *a, const char *b) {
  for (;; ++a, ++b) {
    char ca = (*a >= 'A' && *a <= 'Z') ? char(*a - 'A' + 'a') : *a;
    char cb = (*b >= 'A' && *b <= 'Z') ? char(*b - 'A' + 'a') : *b;
    if (ca != cb) return false;
    if (ca == '\0') return true;
  }
}

} // namespace

void animationClock_bind(XelMaterial *material, FogTextureParams *params) {
  if (!params) return;
  params->animated = (moves(params->driftSpeed) || moves(params->swirlSpeed)) ? 1 : 0;

  const double *clock = params->animated ? hostClock() : nullptr;
  if (clock) {
    params->timeSource = clock;
    dlmSystem_setFunction(NOTICE_SLOT, hostHandle, animationClock_release);
  } else {
    params->timeSource = &staticZeroTime;
    if (!anyInstanceReadsHostClock()) dlmSystem_setFunction(NOTICE_SLOT, hostHandle, nullptr);
  }

  // Map 1 decides u,v addressing, even for a block read from map 2.
  if (XelMap *map1 = material ? xelMaterial_getMap(material, 1, 0) : nullptr)
    params->useUV = map1->mode == MAP_ADDRESSED_BY_UV ? 1 : 0;
}

bool animationClock_bindLate(FogTextureParams *params) {
  if (!params) return false;
  const double *clock = hostClock();
  if (!clock) return false;
  params->timeSource = clock;
  dlmSystem_setFunction(NOTICE_SLOT, hostHandle, animationClock_release);
  return true;
}

int32_t animationClock_release(int32_t, const char *applicationName) {
  if (!applicationName || !sameAsciiTextIgnoringCase(applicationName, "animashr")) return 0;
  TextureInstance *cursor = nullptr;
  while (FogTextureParams *params = textureInstance_next(&cursor))
    params->timeSource = &staticZeroTime;
  return 0;
}
