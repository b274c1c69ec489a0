// control.cpp - the scene settings of the viewer's control API: what host
// programs and tests set up before a plug-in asks the scene.
#include "scene_state.h"

namespace viewerhost {

void setElevationRange(Scene *scene, double lower, double upper) {
  if (SceneState *state = sceneState(scene)) {
    state->lowerElevation = lower;
    state->upperElevation = upper;
  }
}

void setGroundExtents(Scene *scene, double xMin, double xMax, double yMin, double yMax) {
  if (SceneState *state = sceneState(scene)) {
    state->xMin = xMin;
    state->xMax = xMax;
    state->yMin = yMin;
    state->yMax = yMax;
  }
}

void setOriginOffset(Scene *scene, double dx, double dy, double dz) {
  if (SceneState *state = sceneState(scene)) {
    state->dx = dx;
    state->dy = dy;
    state->dz = dz;
  }
}

void setWindowSize(Scene *scene, int32_t width, int32_t height) {
  if (SceneState *state = sceneState(scene)) {
    state->windowWidth = width;
    state->windowHeight = height;
  }
}

int redrawCount(Scene *scene) {
  SceneState *state = sceneState(scene);
  return state != nullptr ? state->redraws : 0;
}

HostLayer *sceneHostLayer(Scene *scene) {
  SceneState *state = sceneState(scene);
  return state != nullptr ? &state->hostLayer : nullptr;
}

UikPart *scenePart(Scene *scene) {
  SceneState *state = sceneState(scene);
  return state != nullptr ? &state->part : nullptr;
}

} // namespace viewerhost
