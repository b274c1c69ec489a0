// scene.cpp - the stand-in viewer's scenes: the operation table a plug-in
// calls on a Scene, the registry of live scenes, the current scene, and
// making and destroying scenes.
#include <algorithm>

#include "error_report.h"
#include "scene_state.h"

namespace viewerhost {
namespace {

std::vector<std::unique_ptr<SceneState>> &scenes() {
  static std::vector<std::unique_ptr<SceneState>> all;
  return all;
}

Scene *current = nullptr;

void sceneRedraw(Scene *scene, void *, void *, ErrorReport *error) {
  SceneState *state = sceneState(scene);
  if (state == nullptr) {
    setError(error, "sceneRedraw: unknown scene");
    return;
  }
  ++state->redraws;
}

UikPart *sceneFramePart(Scene *scene) {
  SceneState *state = sceneState(scene);
  return state != nullptr ? &state->part : nullptr;
}

template <typename T>
void put(T *out, T value) {
  if (out != nullptr) *out = value;
}

void sceneElevationRange(Scene *scene, double *lower, double *upper, int32_t *flags, void *,
                         void *) {
  SceneState *state = sceneState(scene);
  put(lower, state != nullptr ? state->lowerElevation : 0.0);
  put(upper, state != nullptr ? state->upperElevation : 0.0);
  put(flags, 0);
}

void sceneWindowSize(Scene *scene, int32_t *width, int32_t *height) {
  SceneState *state = sceneState(scene);
  put(width, state != nullptr ? state->windowWidth : 0);
  put(height, state != nullptr ? state->windowHeight : 0);
}

void sceneOriginOffset(Scene *scene, int32_t, double *dx, double *dy, double *dz) {
  SceneState *state = sceneState(scene);
  put(dx, state != nullptr ? state->dx : 0.0);
  put(dy, state != nullptr ? state->dy : 0.0);
  put(dz, state != nullptr ? state->dz : 0.0);
}

// The two further values are the terrain's lower and upper elevation.
void sceneGroundExtents(Scene *scene, double *xMin, double *xMax, double *yMin, double *yMax,
                        double *extra1, double *extra2) {
  SceneState *state = sceneState(scene);
  put(xMin, state != nullptr ? state->xMin : 0.0);
  put(xMax, state != nullptr ? state->xMax : 0.0);
  put(yMin, state != nullptr ? state->yMin : 0.0);
  put(yMax, state != nullptr ? state->yMax : 0.0);
  put(extra1, state != nullptr ? state->lowerElevation : 0.0);
  put(extra2, state != nullptr ? state->upperElevation : 0.0);
}

const SceneOps kSceneOps = {
    sceneRedraw,     sceneFramePart,    sceneElevationRange,
    sceneWindowSize, sceneOriginOffset, sceneGroundExtents,
};

} // namespace

SceneState *sceneState(Scene *scene) {
  if (scene == nullptr) return nullptr;
  for (auto &state : scenes())
    if (static_cast<Scene *>(state.get()) == scene) return state.get();
  return nullptr;
}

Scene *createScene() {
  auto state = std::make_unique<SceneState>();
  state->ops = &kSceneOps;
  state->part.kind = UikPart::Kind::Scene;
  state->part.name = "scene";
  state->part.label = "Scene";
  state->hostLayer.scene = state.get();
  state->context.ops = sceneContextOps();
  state->context.scene = state.get();
  scenes().push_back(std::move(state));
  current = scenes().back().get();
  return current;
}

void destroyScene(Scene *scene) {
  SceneState *state = sceneState(scene);
  if (state == nullptr) return;
  // Closing a layer may call back into the viewer (save questions, freeing
  // the layer), so the stack is emptied before the first close.
  std::vector<LayerStackEntry> layers;
  layers.swap(state->stack);
  for (const LayerStackEntry &entry : layers) {
    FeatureLayer *layer = entry.layer;
    if (layer->methods != nullptr && layer->methods->close != nullptr) layer->methods->close(layer);
  }
  if (current == scene) current = nullptr;
  auto &all = scenes();
  all.erase(
      std::remove_if(all.begin(), all.end(),
                     [state](const std::unique_ptr<SceneState> &s) { return s.get() == state; }),
      all.end());
}

void setCurrentScene(Scene *scene) {
  current = scene == nullptr ? nullptr : sceneState(scene);
}

Scene *currentScene() {
  return current;
}

SceneState *stackHolding(FeatureLayer *layer, std::size_t *index) {
  if (layer == nullptr) return nullptr;
  for (auto &state : scenes()) {
    for (std::size_t i = 0; i < state->stack.size(); ++i) {
      if (state->stack[i].layer == layer) {
        if (index != nullptr) *index = i;
        return state.get();
      }
    }
  }
  return nullptr;
}

} // namespace viewerhost

Scene *scape_GetScenePtrFromLayer(HostLayer *hostLayer) {
  if (hostLayer == nullptr) return nullptr;
  // Only a host layer of a live scene is followed.
  for (auto &state : viewerhost::scenes())
    if (&state->hostLayer == hostLayer) return state.get();
  return nullptr;
}

Scene *scape_ViewerGetScene() {
  return viewerhost::currentScene();
}
