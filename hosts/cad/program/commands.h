// commands.h - what fogrender can be asked to do, one function per
// subcommand, each given its parsed options and returning the program's exit
// status. Files go into the output folder under standard names unless an
// option names the file itself; every file written is announced on standard
// output as "wrote <path>", every failure on standard error.
#pragma once

#include <cstdint>
#include <string>

#include "camera.h"
#include "fog_render.h"
#include "rgb_image.h"
#include "texture_module.h"

namespace fogrender {

enum ExitStatus : int {
  kExitOk = 0,
  kExitFailed = 1,       // a file could not be read or written, the module failed
  kExitUsage = 2,        // the command line was wrong
  kExitInterrupted = 130 // Ctrl-C (or --abort-after) stopped a picture
};

struct GlobalOptions {
  std::string texturesDir; // where fog.so is loaded from
  std::string outDir = ".";
};

struct ParamsOptions {
  std::string output; // empty: print to standard output
};

struct PreviewOptions {
  std::string output; // empty: texture_preview.png in the output folder
  int32_t width = 0;  // 0: the size the module prefers
  int32_t height = 0;
  int64_t abortAfter = -1; // stop before this pixel, as Ctrl-C would; -1: never
};

struct SceneOptions {
  std::string materialFile; // empty: the module's default parameters
  std::string output;       // empty: scene_fog.png in the output folder
  int32_t width = 320;
  int32_t height = 240;
  double time = 0.0;          // seconds on the host's animation clock
  double patternScale = 12.0; // master units per pattern unit along x and y
  SampleKind sampleKind = SampleKind::ViewPoint;
  CameraPlacement camera;
};

struct AnimateOptions {
  SceneOptions scene; // its output and time are not used
  int32_t frames = 8;
  double start = 0.0;    // clock at the first frame, seconds
  double step = 0.25;    // clock advance per frame, seconds
  int32_t columns = 4;   // frames per row of the contact sheet
  std::string framesDir; // empty: "animation" in the output folder
  std::string sheet;     // empty: animation_sheet.png in the output folder
};

int runParams(const TextureModule &module, const GlobalOptions &global,
              const ParamsOptions &options);
int runPreview(const TextureModule &module, const GlobalOptions &global,
               const PreviewOptions &options);
int runScene(const TextureModule &module, const GlobalOptions &global, const SceneOptions &options);
int runAnimate(const TextureModule &module, const GlobalOptions &global,
               const AnimateOptions &options);
// Everything at once with built-in materials, into the output folder.
int runDemo(const TextureModule &module, const GlobalOptions &global);

// Shared by the commands: `explicitPath` when given, else `name` inside the
// output folder, which is created when missing. Empty, with a message on
// standard error, when the folder cannot be made.
std::string outputPath(const GlobalOptions &global, const std::string &explicitPath,
                       const std::string &name);
// Writes a picture and announces it; false after reporting a failure.
bool savePicture(const std::string &path, const RgbImage &image);

} // namespace fogrender
