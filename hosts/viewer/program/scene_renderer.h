// scene_renderer.h - draws the viewer's window with OpenGL, off screen: a sky
// graded by the elevation angle of each row, the lit terrain as a block
// whose sides go below the lowest ground, and then every shown layer of the
// stack, bottom first, through its draw slot with the real eye position.
//
// Everything is drawn in the scene's coordinates plus its origin offset, the
// same offset the plug-in adds to its fog vertices; the viewpoint handed to
// the layers is in scene coordinates, so its z is the eye elevation that the
// layer compares with its own elevations.
#pragma once

#include <memory>
#include <string>

#include "offscreen_context.h"
#include "terrain.h"
#include "view.h"
#include "viewer_host.h"

namespace fogviewer {

class SceneRenderer {
 public:
  SceneRenderer();
  ~SceneRenderer();
  SceneRenderer(const SceneRenderer &) = delete;
  SceneRenderer &operator=(const SceneRenderer &) = delete;

  // Renders the scene as seen from `view` into `image` (view.width x
  // view.height). False, with the reason in `error`, when no GL context of
  // that size could be made. The scene's window size must already be the
  // view's, since a layer asks the scene for it while it draws.
  bool render(const Terrain &terrain, const View &view, Scene *scene, viewergl::RgbImage &image,
              std::string &error);

 private:
  std::unique_ptr<viewergl::OffscreenContext> context_;
};

} // namespace fogviewer
