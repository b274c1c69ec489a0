// main.cpp - fogrender, the stand-in CAD application's renderer as a program.
//
// It loads the fog texture module (fog.so) from the textures folder as the
// renderer does, sets it up, and then lists the module's default parameters,
// draws its material-editor preview, or ray casts a small scene whose
// surfaces carry a fog material read from a parameter-text file, as one
// picture or as an animation over the host's clock. Without a subcommand and
// with --out it does all of that into one folder.
#include <CLI/CLI.hpp>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "commands.h"
#include "interrupt.h"

#ifndef FOG_DEFAULT_TEXTURES_DIR
#define FOG_DEFAULT_TEXTURES_DIR "."
#endif

namespace fogrender {
namespace {

constexpr int32_t kMaxPictureSide = 8192;

// "WxH" with both sides from 1 to kMaxPictureSide. Read with from_chars,
// which reports a number out of range instead of leaving it undefined.
bool parseSize(const std::string &text, int32_t &width, int32_t &height) {
  const char *const end = text.data() + text.size();
  int32_t w = 0;
  int32_t h = 0;
  const auto first = std::from_chars(text.data(), end, w);
  if (first.ec != std::errc() || first.ptr == end || (*first.ptr != 'x' && *first.ptr != 'X'))
    return false;
  const auto second = std::from_chars(first.ptr + 1, end, h);
  if (second.ec != std::errc() || second.ptr != end) return false;
  if (w < 1 || h < 1 || w > kMaxPictureSide || h > kMaxPictureSide) return false;
  width = w;
  height = h;
  return true;
}

const CLI::Validator kSize(
    [](std::string &text) {
      int32_t w = 0;
      int32_t h = 0;
      return parseSize(text, w, h)
                 ? std::string()
                 : "expected WIDTHxHEIGHT with sides from 1 to " + std::to_string(kMaxPictureSide);
    },
    "WxH");

const CLI::Validator kFinite(
    [](std::string &text) {
      char *end = nullptr;
      const double value = std::strtod(text.c_str(), &end);
      return end != text.c_str() && *end == '\0' && std::isfinite(value)
                 ? std::string()
                 : "expected a finite number";
    },
    "NUMBER");

// The options the scene and the animation share, as typed.
struct SceneCli {
  SceneOptions options;
  std::string size;
  std::vector<double> eye;
  std::vector<double> target;
  bool screenPoints = false;

  void add(CLI::App &command) {
    command
        .add_option("-m,--material", options.materialFile,
                    "Parameter-text file of the fog material (default: the module's defaults)")
        ->check(CLI::ExistingFile);
    command.add_option("--size", size, "Picture size in pixels")
        ->check(kSize)
        ->capture_default_str();
    command
        .add_option("--pattern-scale", options.patternScale,
                    "Master units per pattern unit along x and y")
        ->check(CLI::PositiveNumber)
        ->capture_default_str();
    command.add_flag(
        "--screen-points", screenPoints,
        "Give the texture screen points with the perspective matrix instead of view points");
    command
        .add_option("--eye", eye, "Camera position X,Y,Z in master units, z up (default 0,-24,7)")
        ->expected(3)
        ->delimiter(',');
    command.add_option("--target", target, "Point the camera looks at, X,Y,Z (default 0,8,2)")
        ->expected(3)
        ->delimiter(',');
    command.add_option("--fov", options.camera.fovYDegrees, "Vertical field of view in degrees")
        ->check(CLI::Range(1.0, 170.0))
        ->capture_default_str();
  }

  // False, with a message, when the typed values do not make a camera.
  bool finish() {
    if (!size.empty()) parseSize(size, options.width, options.height);
    if (eye.size() == 3) options.camera.eye = {eye[0], eye[1], eye[2]};
    if (target.size() == 3) options.camera.target = {target[0], target[1], target[2]};
    for (double v : {options.camera.eye.x, options.camera.eye.y, options.camera.eye.z,
                     options.camera.target.x, options.camera.target.y, options.camera.target.z}) {
      if (!std::isfinite(v)) {
        std::fprintf(stderr, "fogrender: --eye and --target need finite numbers\n");
        return false;
      }
    }
    if (length(options.camera.target - options.camera.eye) <= 0.0) {
      std::fprintf(stderr, "fogrender: --eye and --target must differ\n");
      return false;
    }
    options.sampleKind = screenPoints ? SampleKind::ScreenPoint : SampleKind::ViewPoint;
    return true;
  }
};

int run(int argc, char **argv) {
  CLI::App app{
      "fogrender - renders with the fog texture module in the stand-in CAD application.\n"
      "Loads fog.so from the textures folder, sets it up, and lists its default parameters,\n"
      "draws its material-editor preview, or ray casts a small scene (a ground plane, spheres\n"
      "and boxes) whose surfaces carry a fog material, as one picture or as an animation.\n"
      "Without a subcommand, --out DIR writes all of it into DIR.",
      "fogrender"};
  app.fallthrough();
  app.footer(
      "Materials (-m) are parameter-text files in the form \"fogrender params\" prints: one\n"
      "parameter a line, its name, one space and its value; lines starting with '#' and\n"
      "empty lines are comments, parameters not named keep the module's defaults. A bad\n"
      "line is reported as FILE:LINE and nothing is rendered.\n"
      "Pictures appear under their final name only once complete.\n"
      "Exit status: 0 done, 1 a file or the module failed, 2 a wrong command line,\n"
      "130 stopped by Ctrl-C.");
  GlobalOptions global;
  global.texturesDir = FOG_DEFAULT_TEXTURES_DIR;
  app.add_option("--textures-dir", global.texturesDir, "Folder that holds fog.so")
      ->capture_default_str();
  app.add_option("--out", global.outDir, "Folder for the files written (created when missing)")
      ->capture_default_str();

  ParamsOptions params;
  CLI::App *paramsCommand = app.add_subcommand(
      "params", "Print the module's default parameter list (a valid material file)");
  paramsCommand->add_option("-o,--output", params.output, "Write the list to this file instead");

  PreviewOptions preview;
  std::string previewSize;
  CLI::App *previewCommand = app.add_subcommand(
      "preview", "Draw the material editor's preview of the texture to PNG (Ctrl-C stops it)");
  previewCommand->add_option("-o,--output", preview.output,
                             "PNG file (default: texture_preview.png in --out)");
  previewCommand
      ->add_option("--size", previewSize, "Picture size (default: what the module prefers)")
      ->check(kSize);
  previewCommand
      ->add_option("--abort-after", preview.abortAfter,
                   "Stop before this pixel, as Ctrl-C would (for checking the stop path)")
      ->check(CLI::NonNegativeNumber);

  SceneCli scene;
  CLI::App *sceneCommand =
      app.add_subcommand("scene", "Ray cast the scene with a fog material on every surface to PNG");
  scene.size = "320x240";
  scene.add(*sceneCommand);
  sceneCommand->add_option("-o,--output", scene.options.output,
                           "PNG file (default: scene_fog.png in --out)");
  sceneCommand->add_option("--time", scene.options.time, "Animation clock in seconds")
      ->check(kFinite)
      ->capture_default_str();

  SceneCli animateScene;
  AnimateOptions animate;
  CLI::App *animateCommand = app.add_subcommand(
      "animate", "Render the scene over time as frames and one contact-sheet PNG");
  animateScene.size = "160x120";
  animateScene.add(*animateCommand);
  animateCommand->add_option("--frames", animate.frames, "Number of frames")
      ->check(CLI::Range(1, 1000))
      ->capture_default_str();
  animateCommand->add_option("--start", animate.start, "Clock at the first frame, seconds")
      ->check(kFinite)
      ->capture_default_str();
  animateCommand->add_option("--step", animate.step, "Clock advance per frame, seconds")
      ->check(kFinite)
      ->capture_default_str();
  animateCommand->add_option("--columns", animate.columns, "Frames per row of the contact sheet")
      ->check(CLI::Range(1, 1000))
      ->capture_default_str();
  animateCommand->add_option("--frames-dir", animate.framesDir,
                             "Folder for the frames (default: animation in --out)");
  animateCommand->add_option("--sheet", animate.sheet,
                             "Contact sheet PNG (default: animation_sheet.png in --out)");

  app.require_subcommand(0, 1);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError &e) {
    const int status = app.exit(e);
    return status == 0 ? kExitOk : kExitUsage;
  }

  const bool demo = app.get_subcommands().empty();
  if (demo && app.count("--out") == 0) {
    std::fputs(app.help().c_str(), stdout);
    std::fprintf(stderr,
                 "fogrender: nothing to do: give a subcommand, or --out DIR for the demo\n");
    return kExitUsage;
  }
  if (!previewSize.empty()) parseSize(previewSize, preview.width, preview.height);
  if (*sceneCommand && !scene.finish()) return kExitUsage;
  if (*animateCommand && !animateScene.finish()) return kExitUsage;
  animate.scene = animateScene.options;

  catchInterrupt();
  std::string error;
  const std::unique_ptr<TextureModule> module = TextureModule::load(global.texturesDir, error);
  if (!module) {
    std::fprintf(stderr, "fogrender: %s\n", error.c_str());
    return kExitFailed;
  }

  if (*paramsCommand) return runParams(*module, global, params);
  if (*previewCommand) return runPreview(*module, global, preview);
  if (*sceneCommand) return runScene(*module, global, scene.options);
  if (*animateCommand) return runAnimate(*module, global, animate);
  return runDemo(*module, global);
}

} // namespace
} // namespace fogrender

int main(int argc, char **argv) {
  try {
    return fogrender::run(argc, argv);
  } catch (const std::exception &e) {
    std::fprintf(stderr, "fogrender: %s\n", e.what());
  } catch (...) {
    std::fprintf(stderr, "fogrender: unexpected failure\n");
  }
  return fogrender::kExitFailed;
}
