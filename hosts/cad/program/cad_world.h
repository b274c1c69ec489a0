// cad_world.h - what fogrender sets up in the stand-in CAD application before
// it renders: the fog material with its parameter text, the window whose
// view the camera is, the model's units, the renderer's screen in the spot
// function table, and the animation clock.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "camera.h"

namespace fogrender {

// The window the scene is rendered in, and its view's number.
inline constexpr int32_t kSceneWindow = 1;
inline constexpr int32_t kSceneViewNumber = 0;
// The id of the material every surface of the scene carries.
inline constexpr int32_t kFogMaterialId = 1;
// Resolution units per master unit (the scene is modelled in master units).
inline constexpr double kUorPerMaster = 1000.0;
// Screen depth 1 lies this far from the eye, in master units.
inline constexpr double kDepthRange = 1000.0;

struct FogMaterial {
  std::string name;
  std::vector<std::string> parameterLines; // the map's user-data list
  double patternScale = 12.0;              // master units per pattern unit, x and y
};

// Puts the material into the host's table under kFogMaterialId, replacing
// any earlier one. Its map 1 addresses the pattern by 3-D points in master
// units and carries the parameter lines as its user data.
void installFogMaterial(const FogMaterial &material);

// Makes the camera the view of kSceneWindow, with the view origin at the
// eye in resolution units, and publishes the renderer's spot function table
// for a screen of the camera's size.
void installView(const PixelCamera &camera);

// Publishes the animation clock at `seconds`.
void setAnimationTime(double seconds);

} // namespace fogrender
