// scene_job.cpp - material loading and render preparation.
#include "scene_job.h"

#include <cstdio>
#include <filesystem>

#include "material_file.h"

namespace fogrender {

bool loadFogMaterial(const TextureModule &module, const SceneOptions &options,
                     FogMaterial &material) {
  material.patternScale = options.patternScale;
  if (options.materialFile.empty()) {
    material.name = "default fog";
    material.parameterLines = module.defaultParameters();
    return true;
  }
  MaterialFileError error;
  if (!readMaterialFile(options.materialFile, material.parameterLines, error)) {
    std::fprintf(stderr, "fogrender: bad material file: %s\n", error.describe().c_str());
    return false;
  }
  material.name = std::filesystem::path(options.materialFile).stem().string();
  return true;
}

void prepareFogRender(const TextureModule &module, const FogMaterial &material,
                      const PixelCamera &camera, double seconds) {
  module.cleanup();
  installFogMaterial(material);
  installView(camera);
  setAnimationTime(seconds);
}

} // namespace fogrender
