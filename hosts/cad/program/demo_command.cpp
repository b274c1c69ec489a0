// demo_command.cpp - "fogrender --out DIR" without a subcommand: the default
// parameter list, the texture preview, the scene in valley fog and an
// animation of drifting fog with its contact sheet, all into DIR. The two
// materials are the project's examples, built into the program; they are
// written into DIR first and rendered from there, as a user's files would be.
#include <cstdio>
#include <fstream>

#include "commands.h"
#include "demo_materials.h"

namespace fogrender {
namespace {

constexpr int32_t kDemoFrameWidth = 160;
constexpr int32_t kDemoFrameHeight = 120;

std::string writeMaterial(const GlobalOptions &global, const char *name, const char *text) {
  const std::string path = outputPath(global, "", name);
  if (path.empty()) return {};
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  if (!out) {
    std::fprintf(stderr, "fogrender: cannot write %s\n", path.c_str());
    return {};
  }
  std::printf("wrote %s\n", path.c_str());
  return path;
}

} // namespace

int runDemo(const TextureModule &module, const GlobalOptions &global) {
  ParamsOptions params;
  params.output = outputPath(global, "", "fog_parameters.txt");
  if (params.output.empty()) return kExitFailed;
  if (int status = runParams(module, global, params); status != kExitOk) return status;

  if (int status = runPreview(module, global, PreviewOptions{}); status != kExitOk) return status;

  const std::string valley = writeMaterial(global, demo::kValleyFogName, demo::kValleyFog);
  const std::string drifting = writeMaterial(global, demo::kDriftingFogName, demo::kDriftingFog);
  if (valley.empty() || drifting.empty()) return kExitFailed;

  SceneOptions scene;
  scene.materialFile = valley;
  if (int status = runScene(module, global, scene); status != kExitOk) return status;

  AnimateOptions animation;
  animation.scene.materialFile = drifting;
  animation.scene.width = kDemoFrameWidth;
  animation.scene.height = kDemoFrameHeight;
  return runAnimate(module, global, animation);
}

} // namespace fogrender
