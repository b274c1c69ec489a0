// scene_command.cpp - "fogrender scene": one picture of the scene with the fog
// material on every surface, at one time of the animation clock.
#include <cstdio>

#include "commands.h"
#include "scene_job.h"

namespace fogrender {

int runScene(const TextureModule &module, const GlobalOptions &global,
             const SceneOptions &options) {
  FogMaterial material;
  if (!loadFogMaterial(module, options, material)) return kExitFailed;
  const std::string path = outputPath(global, options.output, "scene_fog.png");
  if (path.empty()) return kExitFailed;

  const PixelCamera camera(options.camera, options.width, options.height);
  prepareFogRender(module, material, camera, options.time);
  std::printf("rendering the scene with %s, %dx%d pixels, at %g s\n", material.name.c_str(),
              options.width, options.height, options.time);
  std::fflush(stdout);
  const std::optional<RgbImage> image =
      renderFogScene(module, Scene::standard(), camera, options.sampleKind);
  if (!image) {
    std::fprintf(stderr, "fogrender: scene stopped by Ctrl-C; %s was not written\n", path.c_str());
    return kExitInterrupted;
  }
  return savePicture(path, *image) ? kExitOk : kExitFailed;
}

} // namespace fogrender
