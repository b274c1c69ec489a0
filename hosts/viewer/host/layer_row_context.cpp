// layer_row_context.cpp - the context object of a layer's row in the layer
// stack: what the items of the row's popup are called with. It names its
// layer, so one popup can hold both the arrange commands (which act on the
// row's layer) and items that ask their context for a layer by type (which
// get the row's layer when its type matches).
#include <cstring>
#include <map>

#include "error_report.h"
#include "scene_state.h"
#include "ui_control.h"

namespace {

struct RowContext : LayerContext {
  FeatureLayer *layer;
};

// One context per layer address, kept for the life of the viewer: a popup
// may still hold it after its layer was deleted, and every use checks that
// the layer is still in a stack before touching it.
std::map<FeatureLayer *, std::unique_ptr<RowContext>> &rowContexts() {
  static std::map<FeatureLayer *, std::unique_ptr<RowContext>> contexts;
  return contexts;
}

FeatureLayer *rowLayer(LayerContext *context) {
  if (context == nullptr) return nullptr;
  FeatureLayer *layer = static_cast<RowContext *>(context)->layer;
  return viewerhost::stackHolding(layer, nullptr) != nullptr ? layer : nullptr;
}

FeatureLayer *findLayerByType(LayerContext *context, const char *typeName) {
  FeatureLayer *layer = rowLayer(context);
  if (layer == nullptr || typeName == nullptr || layer->methods == nullptr ||
      layer->methods->typeNameGet == nullptr)
    return nullptr;
  const char *name = layer->methods->typeNameGet();
  return name != nullptr && std::strcmp(name, typeName) == 0 ? layer : nullptr;
}

// New layers go to the scene of the row.
FeatureLayer *createModelLayer(LayerContext *context, int32_t argumentCount, char **arguments,
                               FeatureLayerConstructor constructor, ErrorReport *error) {
  viewerhost::SceneState *scene = viewerhost::stackHolding(rowLayer(context), nullptr);
  LayerContext *sceneContext = scene != nullptr ? &scene->context : nullptr;
  if (sceneContext == nullptr || sceneContext->ops == nullptr) {
    viewerhost::setError(error, "createModelLayer: the row's layer is in no layer stack");
    return nullptr;
  }
  return sceneContext->ops->createModelLayer(sceneContext, argumentCount, arguments, constructor,
                                             error);
}

const LayerContextOps kRowOps = {findLayerByType, createModelLayer};

} // namespace

namespace viewerhost {

LayerContext *layerRowContext(FeatureLayer *layer) {
  if (stackHolding(layer, nullptr) == nullptr) return nullptr;
  auto &slot = rowContexts()[layer];
  if (!slot) {
    slot = std::make_unique<RowContext>();
    slot->ops = &kRowOps;
  }
  slot->layer = layer;
  return slot.get();
}

FeatureLayer *layerOfContext(void *context) {
  for (const auto &entry : rowContexts())
    if (entry.second.get() == context) return entry.first;
  return static_cast<FeatureLayer *>(context);
}

} // namespace viewerhost
