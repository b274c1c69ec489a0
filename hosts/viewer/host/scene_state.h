// scene_state.h - what the stand-in viewer keeps for each scene, shared by
// the host files that work on scenes (scene operations, layer stack, control
// API). Plug-ins see only the Scene record with its operation table.
#pragma once

#include <memory>
#include <vector>

#include "ui_parts.h"
#include "viewer_control.h"

// The viewer's own layer of a scene; plug-in layers are made for it.
struct HostLayer {
  Scene *scene;
};

namespace viewerhost {

struct SceneState;

// The context object UI script calls get for a scene.
struct SceneContext : LayerContext {
  SceneState *scene;
};

struct SceneState : Scene {
  double lowerElevation = 0.0;
  double upperElevation = 100.0;
  double xMin = 0.0;
  double xMax = 1000.0;
  double yMin = 0.0;
  double yMax = 1000.0;
  double dx = 0.0;
  double dy = 0.0;
  double dz = 0.0;
  int32_t windowWidth = 640;
  int32_t windowHeight = 480;
  int redraws = 0;
  UikPart part;
  HostLayer hostLayer{};
  SceneContext context{};
  std::vector<LayerStackEntry> stack; // top first
};

// The state of a scene the viewer made and has not destroyed; null for
// anything else, so a stale or foreign pointer is never dereferenced.
SceneState *sceneState(Scene *scene);

// The scene whose stack holds `layer`, and where in it; null when none.
SceneState *stackHolding(FeatureLayer *layer, std::size_t *index);

// The operations of every scene's context object.
const LayerContextOps *sceneContextOps();

// The layer a script call's context names: the layer of a row context
// (layerRowContext), else the context itself taken as a layer.
FeatureLayer *layerOfContext(void *context);

} // namespace viewerhost
