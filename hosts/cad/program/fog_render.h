// fog_render.h - the renderer's pass over the picture: each pixel's ray is
// cast into the scene, a pixel that meets a surface becomes one
// TextureSample of the fog material, shaded by the texture module and laid
// over the surface's lit colour; a pixel that meets nothing shows the sky.
#pragma once

#include <optional>

#include "camera.h"
#include "rgb_image.h"
#include "scene.h"
#include "texture_module.h"

namespace fogrender {

enum class SampleKind {
  ViewPoint,   // the surface point as offsets from the view origin (UORs)
  ScreenPoint, // the pixel's screen position and depth with a perspective weight
};

// Renders the scene through the camera. The host must hold the fog material
// and the camera's view (cad_world.h). Empty when Ctrl-C stopped it.
std::optional<RgbImage> renderFogScene(const TextureModule &module, const Scene &scene,
                                       const PixelCamera &camera, SampleKind kind);

} // namespace fogrender
