// point_transform.cpp - the per-view set-up of the shading-point transform and
// its per-sample application.
//
// For a point P given in UORs relative to the view origin, the set-up makes
// the pattern point, per axis j,
//   (P.x * rotation[0][j] + P.y * rotation[1][j] + P.z * rotation[2][j]) + translation j
// which equals ((rotation^T P) j + origin j) * k / patternScale j - patternOffset j,
// k being one over the model's UORs per master unit (or per sub-unit).
#include "point_transform.h"

#include <cstring>

#include "fog_params.h"
#include "instance_cache.h"

namespace {

constexpr int32_t HOST_ACTIVE_POINT = 54;
constexpr int32_t MAP_MODE_SUB_UNITS = 2;
constexpr int32_t LAST_VIEW_NUMBER = 7;

// Reads a symbol the host publishes; false when it does not.
bool hostSymbol(const char *symbol, XelExpressionValue *value) {
  memset(value, 0, sizeof *value);
  return xelCExpression_getValue(value, 0, symbol, HOST_VALUE_KIND) == 0;
}

const double *hostSymbolAddress(const char *symbol) {
  XelExpressionValue value;
  if (!hostSymbol(symbol, &value)) return nullptr;
  return static_cast<const double *>(value.value.address);
}

// A scale of 0 flattens its axis: the view's contribution along it is 0
// rather than a division by zero, so the pattern point keeps a finite value.
double columnFactor(double unitScale, double patternScale) {
  return patternScale == 0.0 ? 0.0 : unitScale / patternScale;
}

void setTranslation(TransformSlot *slot, const TextureInstance *instance, const double origin[3],
                    double unitScale) {
  for (int j = 0; j < 3; ++j) {
    double along =
        instance->patternScale[j] == 0.0 ? 0.0 : unitScale * origin[j] / instance->patternScale[j];
    slot->translation[j] = along - instance->patternOffset[j];
  }
}

double extentScale(double extent) {
  return extent == 0.0 ? 0.0 : 2.0 / extent;
}

} // namespace

void setUpViewTransform(const TextureSample *sample) {
  TextureInstance *instance = textureInstance_current();
  if (!instance || !sample) return;

  // Pre-filled so that a host answer that leaves a field untouched still
  // gives a defined transform.
  double origin[3] = {0.0, 0.0, 0.0};
  double rotation[9] = {1.0, 0.0, 0.0, 0.0, 1.0, 0.0, 0.0, 0.0, 1.0};
  int32_t viewNumber = -1;
  if (sample->windowId != 0) {
    xelView_getInfoFromWindow(nullptr, nullptr, nullptr, nullptr, nullptr, origin, nullptr, nullptr,
                              nullptr, rotation, nullptr, nullptr, &viewNumber, sample->windowId);
  }
  // A view number with no slot is handled as no window at all, so that
  // nothing reads or writes outside the nine slots.
  if (sample->windowId == 0 || viewNumber < 0 || viewNumber > LAST_VIEW_NUMBER) {
    viewNumber = -1;
    for (double &c : origin) c = 0.0;
    xelRMatrix_getIdentity(rotation);
  }

  XelModelRef model = xelModelRef_getActive();
  double unitsPerPatternUnit = instance->mapMode == MAP_MODE_SUB_UNITS
                                   ? xelModelRef_getUorPerSub(model)
                                   : xelModelRef_getUorPerMaster(model);
  double k = 1.0 / unitsPerPatternUnit;

  // The slot is chosen before the prepared test, so currentSlot always names
  // the slot of the last view a set-up met.
  TransformSlot *slot = &instance->transformSlots[viewNumber + 1];
  instance->currentSlot = slot;
  if (slot->prepared) {
    instance->viewLocked = 1;
    return;
  }
  slot->prepared = 1;

  int32_t first = 0;
  int32_t second = textureModuleDescription.defaultImageWidth;
  int32_t third = textureModuleDescription.defaultImageHeight;
  int32_t fourth = 0;
  float nearDepth = 0.0f;
  float farDepth = 1.0f;
  SpotFunction *spotTable = nullptr;
  XelExpressionValue value;
  if (hostSymbol("rendloadSpotFuncs", &value))
    spotTable = static_cast<SpotFunction *>(value.value.address);
  if (spotTable) {
    if (auto rect = reinterpret_cast<SpotScreenRect>(spotTable[SPOT_SCREEN_RECT]))
      rect(&first, &second, &third, &fourth);
    if (auto depth = reinterpret_cast<SpotDepthRange>(spotTable[SPOT_DEPTH_RANGE]))
      depth(&nearDepth, &farDepth);
  }
  // Integer differences and sums are formed in 64 bits so that no host
  // rectangle can overflow them.
  slot->screenScale[0] = extentScale(double(int64_t(second) - int64_t(first)));
  slot->screenScale[1] = extentScale(double(int64_t(third) - int64_t(fourth)));
  slot->screenScale[2] = extentScale(double(farDepth) - double(nearDepth));
  slot->screenCenter[0] = double(int64_t(first) + int64_t(second)) * 0.5;
  slot->screenCenter[1] = double(int64_t(third) + int64_t(fourth)) * 0.5;
  slot->screenCenter[2] = (double(nearDepth) + double(farDepth)) * 0.5;

  setTranslation(slot, instance, origin, k);

  for (double &c : slot->hostOrigin) c = 0.0;
  xelParams_getActive(slot->hostOrigin, HOST_ACTIVE_POINT);
  for (double &c : slot->hostOrigin) c = c * k;

  memcpy(slot->rotation, rotation, sizeof slot->rotation);

  if ((sample->flags & SAMPLE_ALT_RENDER) && xelSystem_findXelDesc("VELOX") &&
      hostSymbol("veloxNeedAltXform", &value) && value.value.integer != 0) {
    if (const double *altOrigin = hostSymbolAddress("veloxAltRenderOrigin"))
      setTranslation(slot, instance, altOrigin, k);
    if (const double *altRotation = hostSymbolAddress("veloxAltRenderXform"))
      memcpy(slot->rotation, altRotation, sizeof slot->rotation);
  }

  if ((sample->flags & SAMPLE_PERSPECTIVE) && spotTable) {
    if (auto toView = reinterpret_cast<SpotScreenToView>(spotTable[SPOT_SCREEN_TO_VIEW]))
      toView(slot->screenToView);
  }

  for (int j = 0; j < 3; ++j) {
    double factor = columnFactor(k, instance->patternScale[j]);
    for (int i = 0; i < 3; ++i) slot->rotation[i * 3 + j] = slot->rotation[i * 3 + j] * factor;
  }
}

void transformSamplePoint(float point[3], const TextureSample *sample) {
  const TextureInstance *instance = textureInstance_current();
  const TransformSlot *slot = instance ? instance->currentSlot : nullptr;
  if (!slot || !sample) {
    point[0] = point[1] = point[2] = 0.0f;
    return;
  }

  double p[3] = {0.0, 0.0, 0.0}; // a sample without a point is taken at the view origin
  if (sample->flags & SAMPLE_VIEW_POINT) {
    for (int j = 0; j < 3; ++j) p[j] = sample->viewPoint[j];
  } else if (sample->flags & SAMPLE_SCREEN_POINT) {
    double w = sample->screenW;
    double e[3];
    for (int j = 0; j < 3; ++j)
      e[j] = (double(sample->screenPoint[j]) - slot->screenCenter[j]) * slot->screenScale[j] * w;
    if (sample->flags & SAMPLE_PERSPECTIVE) {
      const float *m = slot->screenToView;
      for (int j = 0; j < 3; ++j)
        p[j] = e[0] * double(m[0 * 4 + j]) + e[1] * double(m[1 * 4 + j]) +
               e[2] * double(m[2 * 4 + j]) + w * double(m[3 * 4 + j]);
    } else {
      for (int j = 0; j < 3; ++j) p[j] = e[j];
    }
  } else if (sample->flags & SAMPLE_UV) {
    // Surface coordinates skip the rotation and the relative origin.
    point[0] = static_cast<float>(double(sample->u) - slot->hostOrigin[0]);
    point[1] = static_cast<float>(double(sample->v) - slot->hostOrigin[1]);
    point[2] = static_cast<float>(0.0 - slot->hostOrigin[2]);
    return;
  }

  const double *r = slot->rotation;
  for (int j = 0; j < 3; ++j)
    point[j] = static_cast<float>(p[0] * r[0 * 3 + j] + p[1] * r[1 * 3 + j] + p[2] * r[2 * 3 + j] +
                                  slot->translation[j]);
  if (instance->relativeCoords) {
    point[0] = static_cast<float>(double(point[0]) - double(sample->relativeOrigin[0]));
    point[1] = static_cast<float>(double(point[1]) - double(sample->relativeOrigin[1]));
    point[2] = static_cast<float>(double(point[2]) - double(instance->inverseScaleZ) *
                                                         double(sample->relativeOrigin[2]));
  }
  for (int j = 0; j < 3; ++j) point[j] = static_cast<float>(double(point[j]) - slot->hostOrigin[j]);
}
