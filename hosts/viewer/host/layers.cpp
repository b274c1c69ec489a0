// layers.cpp - feature layers in the stand-in viewer: making and freeing the
// host layer object with its method table, the host's own default slots,
// each scene's layer stack with its four arrange commands, and the context
// object UI script calls use to find or make layers.
#include <cstring>

#include "error_report.h"
#include "scene_state.h"

namespace {

using viewerhost::LayerStackEntry;
using viewerhost::SceneState;

// The host's own entries: a layer whose slots a plug-in did not fill draws
// nothing, names nothing and saves nothing.
int32_t defaultClose(FeatureLayer *layer) {
  scape_FeatureLayerFree(layer);
  return 0;
}
void defaultSelect(FeatureLayer *) {}
int32_t defaultDraw(FeatureLayer *, double, double, double, const ViewPoint *, double, double,
                    void *) {
  return 0;
}
void *defaultExtList() {
  return nullptr;
}
void defaultBoundsGet(FeatureLayer *, double *) {}
char *defaultFileNameGet(FeatureLayer *) {
  return nullptr;
}
const char *defaultTypeNameGet() {
  return "Layer";
}
// Nothing is written, so the save cannot report success.
int32_t defaultSave(FeatureLayer *) {
  return -1;
}
UikCanvas *defaultStackIconGet(FeatureLayer *, UikCanvas *, int32_t, ErrorReport *) {
  return nullptr;
}
void defaultRefresh(FeatureLayer *) {}
void defaultScriptCommandWrite(FeatureLayer *, HfioFile *) {}
char *defaultLabelGet(FeatureLayer *) {
  return hstr_Duplicate(defaultTypeNameGet());
}
UikPart *defaultMenuGet(FeatureLayer *) {
  return nullptr;
}
void defaultPopupGet(FeatureLayer *, const char **popupName, UikScript **script) {
  if (popupName != nullptr) *popupName = nullptr;
  if (script != nullptr) *script = nullptr;
}
void defaultTimeStep(FeatureLayer *, double) {}
void defaultAttributesSet(FeatureLayer *, ErrorReport *, ...) {}
void defaultPick(FeatureLayer *, double, double) {}
int32_t defaultAttributesGet(FeatureLayer *, ErrorReport *, ...) {
  return 0;
}

const FeatureLayerMethods kDefaultMethods = {
    defaultClose,         defaultSelect,      defaultDraw,
    defaultExtList,       defaultExtList,     defaultBoundsGet,
    defaultFileNameGet,   defaultTypeNameGet, defaultSave,
    defaultStackIconGet,  defaultRefresh,     defaultScriptCommandWrite,
    defaultLabelGet,      defaultMenuGet,     defaultPopupGet,
    defaultTimeStep,      defaultDraw,        nullptr,
    defaultAttributesSet, defaultPick,        defaultAttributesGet,
};

void closeLayer(FeatureLayer *layer) {
  if (layer->methods != nullptr && layer->methods->close != nullptr) layer->methods->close(layer);
}

// The stack entry of a script call's context layer; null (with the error
// report set when there is one) when no stack holds it.
SceneState *arrangeTarget(void *context, std::size_t *index, ErrorReport *error, const char *what) {
  SceneState *scene = viewerhost::stackHolding(viewerhost::layerOfContext(context), index);
  if (scene == nullptr)
    viewerhost::setError(error, std::string(what) + ": the layer is in no layer stack");
  return scene;
}

FeatureLayer *findLayerByType(LayerContext *context, const char *typeName) {
  if (context == nullptr || typeName == nullptr) return nullptr;
  SceneState *scene =
      viewerhost::sceneState(static_cast<viewerhost::SceneContext *>(context)->scene);
  if (scene == nullptr) return nullptr;
  for (const LayerStackEntry &entry : scene->stack) {
    const FeatureLayerMethods *methods = entry.layer->methods;
    if (methods == nullptr || methods->typeNameGet == nullptr) continue;
    const char *name = methods->typeNameGet();
    if (name != nullptr && std::strcmp(name, typeName) == 0) return entry.layer;
  }
  return nullptr;
}

FeatureLayer *createModelLayer(LayerContext *context, int32_t argumentCount, char **arguments,
                               FeatureLayerConstructor constructor, ErrorReport *error) {
  SceneState *scene =
      context != nullptr
          ? viewerhost::sceneState(static_cast<viewerhost::SceneContext *>(context)->scene)
          : nullptr;
  if (scene == nullptr || constructor == nullptr) {
    viewerhost::setError(error, "createModelLayer: no scene or no constructor");
    return nullptr;
  }
  if (argumentCount < 0 || (argumentCount > 0 && arguments == nullptr)) {
    viewerhost::setError(error, "createModelLayer: bad argument strings");
    return nullptr;
  }
  // The constructor reads the first argument string even when there are
  // none; it then sees a null entry.
  char *noArguments[1] = {nullptr};
  FeatureLayer *layer =
      constructor(&scene->hostLayer, 0, argumentCount, argumentCount > 0 ? arguments : noArguments);
  if (layer == nullptr) {
    viewerhost::setError(error, "createModelLayer: the layer could not be made");
    return nullptr;
  }
  if (!viewerhost::addLayer(scene, layer)) {
    closeLayer(layer);
    viewerhost::setError(error, "createModelLayer: the layer could not be added to the stack");
    return nullptr;
  }
  return layer;
}

const LayerContextOps kContextOps = {findLayerByType, createModelLayer};

} // namespace

FeatureLayer *scape_FeatureLayerCreate() {
  auto *layer = static_cast<FeatureLayer *>(hmsc_HeapMalloc(sizeof(FeatureLayer)));
  if (layer == nullptr) return nullptr;
  auto *methods = static_cast<FeatureLayerMethods *>(hmsc_HeapMalloc(sizeof(FeatureLayerMethods)));
  if (methods == nullptr) {
    hmsc_HeapFree(layer);
    return nullptr;
  }
  *methods = kDefaultMethods;
  *layer = FeatureLayer{nullptr, methods, nullptr, 0};
  return layer;
}

void scape_FeatureLayerFree(FeatureLayer *layer) {
  if (layer == nullptr) return;
  // A freed layer must not linger in a stack.
  viewerhost::removeLayer(layer);
  hmsc_HeapFree(layer->methods);
  hmsc_HeapFree(layer);
}

void scape_ArrangeLayersToggleLayerVisibility(void *context) {
  std::size_t index = 0;
  SceneState *scene = arrangeTarget(context, &index, nullptr, "setvisibility");
  if (scene == nullptr) return;
  scene->stack[index].shown = !scene->stack[index].shown;
  ++scene->redraws;
}

void scape_ArrangeLayersRaiseToTop(UikPart *, void *context, int32_t, char **, ErrorReport *error) {
  std::size_t index = 0;
  SceneState *scene = arrangeTarget(context, &index, error, "raisetotop");
  if (scene == nullptr) return;
  LayerStackEntry entry = scene->stack[index];
  scene->stack.erase(scene->stack.begin() + static_cast<std::ptrdiff_t>(index));
  scene->stack.insert(scene->stack.begin(), entry);
  ++scene->redraws;
}

void scape_ArrangeLayersLowerToBottom(UikPart *, void *context, int32_t, char **,
                                      ErrorReport *error) {
  std::size_t index = 0;
  SceneState *scene = arrangeTarget(context, &index, error, "lowertobottom");
  if (scene == nullptr) return;
  LayerStackEntry entry = scene->stack[index];
  scene->stack.erase(scene->stack.begin() + static_cast<std::ptrdiff_t>(index));
  scene->stack.push_back(entry);
  ++scene->redraws;
}

void scape_ArrangeLayersDeleteLayer(UikPart *, void *context, int32_t, char **,
                                    ErrorReport *error) {
  std::size_t index = 0;
  SceneState *scene = arrangeTarget(context, &index, error, "deletelayer");
  if (scene == nullptr) return;
  FeatureLayer *layer = scene->stack[index].layer;
  scene->stack.erase(scene->stack.begin() + static_cast<std::ptrdiff_t>(index));
  ++scene->redraws;
  closeLayer(layer);
}

namespace viewerhost {

const LayerContextOps *sceneContextOps() {
  return &kContextOps;
}

std::vector<LayerStackEntry> layerStack(Scene *scene) {
  SceneState *state = sceneState(scene);
  return state != nullptr ? state->stack : std::vector<LayerStackEntry>{};
}

bool addLayer(Scene *scene, FeatureLayer *layer) {
  SceneState *state = sceneState(scene);
  if (state == nullptr || layer == nullptr || stackHolding(layer, nullptr) != nullptr) return false;
  state->stack.insert(state->stack.begin(), LayerStackEntry{layer, true});
  layer->hostLayer = &state->hostLayer;
  ++state->redraws;
  return true;
}

bool removeLayer(FeatureLayer *layer) {
  std::size_t index = 0;
  SceneState *scene = stackHolding(layer, &index);
  if (scene == nullptr) return false;
  scene->stack.erase(scene->stack.begin() + static_cast<std::ptrdiff_t>(index));
  ++scene->redraws;
  return true;
}

Scene *sceneOfLayer(FeatureLayer *layer) {
  return stackHolding(layer, nullptr);
}

LayerContext *sceneLayerContext(Scene *scene) {
  SceneState *state = sceneState(scene);
  return state != nullptr ? &state->context : nullptr;
}

} // namespace viewerhost
