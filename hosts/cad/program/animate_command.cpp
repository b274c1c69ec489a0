// animate_command.cpp - "fogrender animate": the scene over time. Before each
// frame the host's animation clock ("animatorSecondsP") is advanced by the
// step; the module reads it through the address it bound, so the fog drifts
// and swirls from frame to frame. Each frame is written, then all of them
// side by side as one contact sheet.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "cad_control.h"
#include "commands.h"
#include "scene_job.h"

namespace fogrender {
namespace {

constexpr int32_t kSheetGap = 2;

std::string frameName(int32_t index, int32_t count) {
  const int digits = count > 100 ? 3 : 2;
  char name[32];
  std::snprintf(name, sizeof name, "frame_%0*d.png", digits, index);
  return name;
}

} // namespace

int runAnimate(const TextureModule &module, const GlobalOptions &global,
               const AnimateOptions &options) {
  FogMaterial material;
  if (!loadFogMaterial(module, options.scene, material)) return kExitFailed;
  const std::string folder = outputPath(global, options.framesDir, "animation");
  const std::string sheetPath = outputPath(global, options.sheet, "animation_sheet.png");
  if (folder.empty() || sheetPath.empty()) return kExitFailed;
  std::error_code failed;
  std::filesystem::create_directories(folder, failed);
  if (failed) {
    std::fprintf(stderr, "fogrender: cannot make the frame folder %s: %s\n", folder.c_str(),
                 failed.message().c_str());
    return kExitFailed;
  }

  const PixelCamera camera(options.scene.camera, options.scene.width, options.scene.height);
  prepareFogRender(module, material, camera, options.start);
  std::printf("rendering %d frames of %s, %dx%d pixels, from %g s in steps of %g s\n",
              options.frames, material.name.c_str(), camera.width(), camera.height(), options.start,
              options.step);
  std::fflush(stdout);

  const Scene scene = Scene::standard();
  std::vector<RgbImage> frames;
  for (int32_t i = 0; i < options.frames; ++i) {
    // Set rather than added up, so that frame i shows exactly start + i x step.
    cadhost::setAnimationSeconds(options.start + i * options.step);
    std::optional<RgbImage> frame = renderFogScene(module, scene, camera, options.scene.sampleKind);
    if (!frame) {
      std::fprintf(stderr,
                   "fogrender: animation stopped by Ctrl-C after %d of %d frames; "
                   "%s was not written\n",
                   i, options.frames, sheetPath.c_str());
      return kExitInterrupted;
    }
    const std::string path =
        (std::filesystem::path(folder) / frameName(i, options.frames)).string();
    if (!savePicture(path, *frame)) return kExitFailed;
    frames.push_back(std::move(*frame));
  }
  return savePicture(sheetPath, contactSheet(frames, options.columns, kSheetGap)) ? kExitOk
                                                                                  : kExitFailed;
}

} // namespace fogrender
