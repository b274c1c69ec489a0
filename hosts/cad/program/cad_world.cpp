// cad_world.cpp - filling the stand-in host's world through its control API.
#include "cad_world.h"

#include "cad_control.h"

namespace fogrender {
namespace {

// Map mode 1: the pattern follows 3-D points, in master units.
constexpr int32_t kMapModeSolid = 1;

} // namespace

void installFogMaterial(const FogMaterial &material) {
  cadhost::MaterialSpec entry;
  entry.id = kFogMaterialId;
  entry.name = material.name;
  cadhost::MapSpec map;
  map.name = material.name;
  map.mode = kMapModeSolid;
  map.patternScale[0] = material.patternScale;
  map.patternScale[1] = material.patternScale;
  std::string text;
  for (const std::string &line : material.parameterLines) text += line + "\n";
  map.parameterText = text;
  entry.map1 = map;
  cadhost::addMaterial(entry);
}

void installView(const PixelCamera &camera) {
  cadhost::ViewInfo view;
  const Vec3 eye = camera.eye();
  view.origin = {eye.x * kUorPerMaster, eye.y * kUorPerMaster, eye.z * kUorPerMaster};
  view.rotation = camera.rotation();
  view.viewNumber = kSceneViewNumber;
  cadhost::setView(kSceneWindow, view);
  cadhost::setUorPerMaster(kUorPerMaster);
  cadhost::setActivePoint({0.0, 0.0, 0.0});

  cadhost::setScreenRect({0, camera.width(), camera.height(), 0});
  cadhost::setDepthRange(0.0f, 1.0f);
  cadhost::setScreenToView(camera.screenToView());
  cadhost::publish(cadhost::Symbol::SpotFunctions);
}

void setAnimationTime(double seconds) {
  cadhost::setAnimationSeconds(seconds);
  cadhost::publish(cadhost::Symbol::AnimatorSeconds);
}

} // namespace fogrender
