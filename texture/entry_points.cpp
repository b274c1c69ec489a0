// entry_points.cpp - initialize, dlmTextureCleanup, dlmTextureProcedure and
// the capability record dlmProcInfo.
//
// The frame of dlmTextureProcedure: find the sample's instance (which also
// brings its view transform up to date), bind the animation clock late if the
// instance still waits for it, read the time, form the pattern-space point
// from u,v or from the transform, and shade.
#include "entry_points.h"

#include "animation_clock.h"
#include "fog_params.h"
#include "fog_shading.h"
#include "instance_cache.h"
#include "parameter_text.h"
#include "point_transform.h"
#include "sample_instance.h"

namespace {

// Set at load; cleared once the one-time set-up has run.
bool setUpPending = true;

constexpr int32_t DEFAULT_IMAGE_SIZE = 256;
constexpr double PREVIEW_EXTENT = 0.5;
constexpr char TEXTURE_NAME[] = "fog";

// What a sample without an instance shows: no fog at all.
void fillClear(TextureColor *color) {
  color->red = 0.0f;
  color->green = 0.0f;
  color->blue = 0.0f;
  color->transparency = 255.0f;
}

void shadeSample(TextureColor *color, const TextureSample *sample) {
  FogTextureParams *params = textureInstance_forSample(sample);
  if (!params) {
    fillClear(color);
    return;
  }
  if (params->animated && params->timeSource == &staticZeroTime) animationClock_bindLate(params);
  double time = params->timeSource ? *params->timeSource : 0.0;
  float point[3];
  if (params->useUV) {
    point[0] = sample->u;
    point[1] = sample->v;
    point[2] = 0.0f;
  } else {
    transformSamplePoint(point, sample);
  }
  shadeFogPoint(*color, *params, point, time);
}

} // namespace

extern "C" {
__attribute__((visibility("default"))) DlmProcInfo dlmProcInfo = {};
}

void textureModule_ensureSetUp(int32_t dialogMode) {
  if (!setUpPending) return;
  textureModule_setUp(FOG_PARAM_BLOCK_SIZE, &fogParamDefaults, &currentFogParams,
                      &currentFogParams.patternScaleZ, &currentFogParams.patternOffsetZ,
                      &currentFogParams.relativeCoords, DEFAULT_IMAGE_SIZE, DEFAULT_IMAGE_SIZE,
                      PREVIEW_EXTENT, PREVIEW_EXTENT, dialogMode, TEXTURE_NAME);
  dlmProcInfo.capabilities |= PROC_INFO_BITS;
  setUpPending = false;
}

FOG_TEXTURE_EXPORT int32_t initialize(int32_t, int32_t, int32_t moduleHandle) {
  hostHandle = moduleHandle;
  return 0;
}

FOG_TEXTURE_EXPORT void dlmTextureCleanup(int32_t dialogMode) {
  try {
    textureModule_ensureSetUp(dialogMode);
    textureInstance_releaseAll();
    fallbackMaterial_release();
  } catch (...) {
    // Nothing in the module throws; this only keeps an exception from a
    // host callback out of the host.
  }
}

FOG_TEXTURE_EXPORT TextureColor *dlmTextureProcedure(TextureColor *color,
                                                     const TextureSample *sample) {
  if (!color) return color;
  try {
    textureModule_ensureSetUp(0);
    if (sample) {
      shadeSample(color, sample);
    } else {
      fillClear(color);
    }
  } catch (...) {
    fillClear(color);
  }
  return color;
}
