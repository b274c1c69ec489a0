// attribute_tags.cpp - walks the tag lists of the attributesGet and
// attributesSet slots over a layer's FogLayer record.
#include "attribute_tags.h"

#include <cstdarg>

#include "fog_draw.h"
#include "fog_layer.h"

namespace {

// Stores through a caller's pointer only when it is there.
template <typename T>
void deliver(T *target, T value) {
  if (target != nullptr) *target = value;
}

FogLayer *recordOf(FeatureLayer *layer) {
  return layer != nullptr ? fogLayerOf(layer) : nullptr;
}

// The analyzer loses track of a va_list handed to a helper; the slot starts
// and ends it around the walk.
void getTags(FogLayer &fog, va_list arguments) {
  for (;;) {
    const int32_t tag = va_arg(arguments, int32_t); // NOLINT(clang-analyzer-valist.Uninitialized)
    switch (tag) {
      case FOG_ATTRIBUTE_END:
        return;
      case FOG_ATTRIBUTE_DENSITY:
        deliver(va_arg(arguments, double *), fog.density);
        break;
      case FOG_ATTRIBUTE_PLANE_COUNT:
        deliver(va_arg(arguments, int32_t *), fogLayer_truncatePlaneCount(fog.planeCount));
        break;
      case FOG_ATTRIBUTE_BOTTOM_ELEVATION:
        deliver(va_arg(arguments, double *), fog.bottomElevation);
        break;
      case FOG_ATTRIBUTE_TOP_ELEVATION:
        deliver(va_arg(arguments, double *), fog.topElevation);
        break;
      case FOG_ATTRIBUTE_RECTANGLE:
        // Four pointers are consumed whichever of them are null.
        deliver(va_arg(arguments, double *), fog.xMin);
        deliver(va_arg(arguments, double *), fog.yMin);
        deliver(va_arg(arguments, double *), fog.xMax);
        deliver(va_arg(arguments, double *), fog.yMax);
        break;
      case FOG_ATTRIBUTE_COLOR:
        if (double *color = va_arg(arguments, double *); color != nullptr) {
          color[0] = fog.red;
          color[1] = fog.green;
          color[2] = fog.blue;
        }
        break;
      default:
        break;
    }
  }
}

void setTags(FogLayer &fog, va_list arguments) {
  for (;;) {
    const int32_t tag = va_arg(arguments, int32_t); // NOLINT(clang-analyzer-valist.Uninitialized)
    switch (tag) {
      case FOG_ATTRIBUTE_END:
        return;
      case FOG_ATTRIBUTE_DENSITY:
        fog.density = va_arg(arguments, double);
        break;
      case FOG_ATTRIBUTE_PLANE_COUNT:
        fog.planeCount = va_arg(arguments, int32_t);
        break;
      case FOG_ATTRIBUTE_BOTTOM_ELEVATION:
        fog.bottomElevation = va_arg(arguments, double);
        break;
      case FOG_ATTRIBUTE_TOP_ELEVATION:
        fog.topElevation = va_arg(arguments, double);
        break;
      case FOG_ATTRIBUTE_RECTANGLE:
        fog.xMin = va_arg(arguments, double);
        fog.yMin = va_arg(arguments, double);
        fog.xMax = va_arg(arguments, double);
        fog.yMax = va_arg(arguments, double);
        break;
      case FOG_ATTRIBUTE_COLOR:
        if (const double *color = va_arg(arguments, const double *); color != nullptr) {
          fog.red = color[0];
          fog.green = color[1];
          fog.blue = color[2];
        }
        break;
      default:
        break;
    }
  }
}

} // namespace

int32_t fogLayer_attributesGet(FeatureLayer *layer, ErrorReport *error, ...) noexcept {
  FogLayer *fog = recordOf(layer);
  if (fog == nullptr) return 0;
  va_list arguments;
  va_start(arguments, error);
  getTags(*fog, arguments);
  va_end(arguments);
  return 0;
}

void fogLayer_attributesSet(FeatureLayer *layer, ErrorReport *error, ...) noexcept {
  FogLayer *fog = recordOf(layer);
  if (fog == nullptr) return;
  va_list arguments;
  va_start(arguments, error);
  setTags(*fog, arguments);
  va_end(arguments);
}
