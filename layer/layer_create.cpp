// layer_create.cpp - making a Mist layer: the set-up that creating and
// opening share (host layer object, record, scene, file name, argument
// copies, method slots, ground rectangle), its undoing, and creation with
// the default slab worked out from the scene's elevation range.
#include "layer_create.h"

#include <cmath>

#include "fog_layer.h"

namespace {

// Rounds an elevation to one decimal, halves going up. The earlier build
// scaled back with a multiplication by 0.1, which can land one unit in the
// last place away from the decimal (0.30000000000000004 for 0.3); layers
// it made keep those values, so it still does.
double roundToTenth(double elevation) {
  double tenths = std::floor(elevation * 10.0 + 0.5);
#if defined(FOG_EARLIER_BUILD)
  return tenths * 0.1;
#else
  return tenths / 10.0;
#endif
}

// The scene's operations, or null when there is no usable scene.
const SceneOps *sceneOps(const Scene *scene) {
  return scene != nullptr ? scene->ops : nullptr;
}

// Frees the argument copies and the array that holds them.
void releaseArguments(FogLayer *fog) {
  if (fog->arguments != nullptr) {
    for (int32_t i = 0; i < fog->argumentCount; ++i) hmsc_HeapFree(fog->arguments[i]);
    hmsc_HeapFree(fog->arguments);
  }
  fog->arguments = nullptr;
  fog->argumentCount = 0;
}

// Copies the argument strings in index order; false when the heap runs out
// (the copies made so far stay in the record for the caller to release).
bool copyArguments(FogLayer *fog, int32_t argumentCount, char **arguments) {
  std::size_t bytes = sizeof(char *) * static_cast<std::size_t>(argumentCount);
  if (bytes > UINT32_MAX) return false;
  fog->arguments = static_cast<char **>(hmsc_HeapMalloc(static_cast<uint32_t>(bytes)));
  if (fog->arguments == nullptr) return false;
  fog->argumentCount = argumentCount;
  for (int32_t i = 0; i < argumentCount; ++i) fog->arguments[i] = nullptr;
  for (int32_t i = 0; i < argumentCount; ++i) {
    if (arguments[i] == nullptr) continue;
    fog->arguments[i] = hstr_Duplicate(arguments[i]);
    if (fog->arguments[i] == nullptr) return false;
  }
  return true;
}

} // namespace

FeatureLayer *fogLayer_setUp(HostLayer *hostLayer, int32_t hostArgument, int32_t argumentCount,
                             char **arguments) {
  FeatureLayer *layer = scape_FeatureLayerCreate();
  if (layer == nullptr) return nullptr;

  auto *fog = static_cast<FogLayer *>(hmsc_HeapMalloc(sizeof(FogLayer)));
  if (fog == nullptr) {
    scape_FeatureLayerFree(layer);
    return nullptr;
  }
  // Every field starts empty, so an early release frees nothing twice.
  *fog = FogLayer{};
  layer->privateData = fog;

  fog->scene = scape_GetScenePtrFromLayer(hostLayer);
  fog->hostLayer = hostLayer;
  if (sceneOps(fog->scene) == nullptr) {
    fogLayer_release(layer);
    return nullptr;
  }

  const char *firstArgument = arguments != nullptr ? arguments[0] : nullptr;
  if (firstArgument != nullptr) {
    fog->fileName = hstr_Duplicate(firstArgument);
    if (fog->fileName == nullptr) {
      fogLayer_release(layer);
      return nullptr;
    }
  }

  fog->hostArgument = hostArgument;
  fog->uiRoot = uik_GetTheRoot();

  fog->iconCanvas = nullptr;
  fog->propertiesFrame = nullptr;
  fog->propertiesShown = 0;
  fog->modified = 0;
  fog->visible = 1;
  fog->argumentCount = 0;
  fog->arguments = nullptr;

  if (argumentCount > 0 && arguments != nullptr && !copyArguments(fog, argumentCount, arguments)) {
    fogLayer_release(layer);
    return nullptr;
  }

  if (layer->methods != nullptr) fogLayer_bindMethods(layer->methods);
  return layer;
}

void fogLayer_readGroundExtents(FogLayer *fog) {
  const SceneOps *ops = sceneOps(fog->scene);
  if (ops == nullptr || ops->sceneGroundExtents == nullptr) return;
  double extra1 = 0.0;
  double extra2 = 0.0;
  ops->sceneGroundExtents(fog->scene, &fog->xMin, &fog->xMax, &fog->yMin, &fog->yMax, &extra1,
                          &extra2);
}

int32_t fogLayer_release(FeatureLayer *layer) {
  if (layer == nullptr) return 0;
  FogLayer *fog = fogLayerOf(layer);
  if (fog != nullptr) {
    releaseArguments(fog);
    hmsc_HeapFree(fog->fileName);
    fog->fileName = nullptr;
  }
  scape_FeatureLayerFree(layer);
  return hmsc_HeapFree(fog);
}

FOG_EXPORT FeatureLayer *fogvlLayerCreate(HostLayer *hostLayer, int32_t hostArgument,
                                          int32_t argumentCount, char **arguments) {
  try {
    FeatureLayer *layer = fogLayer_setUp(hostLayer, hostArgument, argumentCount, arguments);
    if (layer == nullptr) return nullptr;
    FogLayer *fog = fogLayerOf(layer);
    fog->density = 0.1;

    double lower = 0.0;
    double upper = 0.0;
    int32_t flags = 0;
    const SceneOps *ops = sceneOps(fog->scene);
    if (ops->sceneElevationRange != nullptr)
      ops->sceneElevationRange(fog->scene, &lower, &upper, &flags, nullptr, nullptr);

    fogLayer_readGroundExtents(fog);

    // The fog fills the lower half of the scene's elevations.
    fog->bottomElevation = roundToTenth(lower);
    fog->topElevation = roundToTenth((upper - lower) * 0.5 + lower);

    fog->red = 0.6;
    fog->green = 0.6;
    fog->blue = 0.6;
    fog->planeCount = 15.0;
    return layer;
  } catch (...) {
    // Nothing here throws; the guard keeps that true for the host.
    return nullptr;
  }
}
