// sample_instance.cpp - the instance for a sample: lookup, material
// resolution, creation from the material's parameter text, and the per-view
// bookkeeping that decides when the view transform is set up again.
#include "sample_instance.h"

#include <cstring>

#include "animation_clock.h"
#include "instance_cache.h"
#include "parameter_text.h"
#include "point_transform.h"

int32_t hostHandle = 0;

namespace {

XelMaterial *fallbackMaterial = nullptr;

constexpr int32_t MAP_FOR_PATTERN = -1; // the map the renderer takes the pattern from

int32_t mapNumberOf(const TextureSample *sample) {
  return (sample->flags & SAMPLE_SECOND_MAP) ? 2 : 1;
}

int16_t altRenderBitOf(const TextureSample *sample) {
  return (sample->flags & SAMPLE_ALT_RENDER) ? 1 : 0;
}

XelMaterial *rayTracerMaterial(int32_t materialId) {
  XelDesc *rayTracer = xelSystem_findXelDesc("VELOX");
  if (!rayTracer) return nullptr;
  XelExpressionValue rayTracing{};
  if (xelCExpression_getValue(&rayTracing, 0, "veloxRayTracing", HOST_VALUE_KIND) != 0 ||
      rayTracing.value.integer == 0)
    return nullptr;
  return static_cast<XelMaterial *>(
      xelSystem_callFunctionByCmdName(rayTracer, "velox_materialFindFromId", materialId));
}

// The ray tracer answers only for samples with an id; the host's table and
// then the shared fallback material answer for every sample.
XelMaterial *resolveMaterial(int32_t materialId) {
  XelMaterial *material = materialId != 0 ? rayTracerMaterial(materialId) : nullptr;
  if (!material) material = xelMaterial_findFromId(materialId);
  if (!material) material = fallbackMaterial_get();
  return material;
}

const char *nameOf(const XelMaterial *material) {
  return material ? material->name : FALLBACK_MATERIAL_NAME;
}

// Takes scale, offset and mode from the map the pattern comes from, and z
// from the block just parsed (read through the module description).
void completeInstance(TextureInstance *instance, XelMaterial *material) {
  const TextureModuleDescription &module = textureModuleDescription;
  instance->relativeCoords = module.relativeCoordsParam ? *module.relativeCoordsParam : 1;
  XelMap *map = material ? xelMaterial_getMap(material, MAP_FOR_PATTERN, 0) : nullptr;
  if (!map) return;
  instance->patternScale[0] = map->patternScale[0];
  instance->patternScale[1] = map->patternScale[1];
  if (module.scaleZParam) {
    instance->patternScale[2] = *module.scaleZParam;
    // A zero scale flattens z; its inverse is 0 rather than infinite.
    instance->inverseScaleZ = instance->patternScale[2] == 0.0
                                  ? 0.0f
                                  : static_cast<float>(1.0 / instance->patternScale[2]);
  } else {
    instance->patternScale[2] = 1.0;
    instance->inverseScaleZ = 1.0f;
  }
  instance->mapMode = map->mode;
  instance->patternOffset[0] = map->patternOffset[0];
  instance->patternOffset[1] = map->patternOffset[1];
  instance->patternOffset[2] = module.offsetZParam ? *module.offsetZParam : 0.0;
}

FogTextureParams *createInstance(const TextureSample *sample, XelMaterial *material,
                                 int32_t mapNumber) {
  // The parse and the clock write into the active block; while a preview
  // draws, that is the module's defaults, which must stay intact.
  if (!activeFogParams || activeFogParams == &fogParamDefaults) return nullptr;
  if (material) {
    parseMaterialParameters(material, mapNumber == 2 ? 1 : 0);
  } else {
    // Without any material (the host could not even make the fallback one)
    // the instance gets what the fallback material would have given it.
    memcpy(activeFogParams, &fogParamDefaults, FOG_PARAM_BLOCK_SIZE);
  }
  animationClock_bind(material, activeFogParams);
  FogTextureParams *params =
      textureInstance_create(sample->materialId, mapNumber, nameOf(material));
  if (!params) return nullptr;
  completeInstance(textureInstance_current(), material);
  return params;
}

void bringViewUpToDate(TextureInstance *instance, const TextureSample *sample) {
  int16_t altRender = altRenderBitOf(sample);
  if (instance->lastAltRender != ALT_RENDER_NONE && instance->lastAltRender != altRender)
    dlmResetTransform();
  // A fresh instance is always set up, also for a window id equal to the
  // "no window yet" marker -1, so that the transform has a slot to use.
  bool fresh = instance->lastAltRender == ALT_RENDER_NONE;
  if (instance->viewLocked == 0 && (instance->lastWindowId != sample->windowId || fresh)) {
    setUpViewTransform(sample);
    instance->lastWindowId = sample->windowId;
    instance->lastAltRender = altRender;
  }
}

} // namespace

XelMaterial *fallbackMaterial_get() {
  if (!fallbackMaterial) {
    fallbackMaterial = xelMaterial_create();
    if (fallbackMaterial)
      memcpy(fallbackMaterial->name, FALLBACK_MATERIAL_NAME, sizeof FALLBACK_MATERIAL_NAME);
  }
  return fallbackMaterial;
}

void fallbackMaterial_release() {
  if (fallbackMaterial) xelMaterial_free(fallbackMaterial);
  fallbackMaterial = nullptr;
}

FogTextureParams *textureInstance_forSample(const TextureSample *sample) {
  if (!sample) return nullptr;
  int32_t mapNumber = mapNumberOf(sample);
  FogTextureParams *params =
      sample->materialId != 0 ? textureInstance_find(sample->materialId, mapNumber) : nullptr;
  if (!params) {
    XelMaterial *material = resolveMaterial(sample->materialId);
    if (sample->materialId == 0) params = textureInstance_findByName(nameOf(material), mapNumber);
    if (!params) params = createInstance(sample, material, mapNumber);
  }
  if (!params) return nullptr;
  bringViewUpToDate(textureInstance_current(), sample);
  return params;
}
