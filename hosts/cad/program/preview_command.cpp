// preview_command.cpp - "fogrender preview": the material editor's picture of
// the fog texture, drawn by the module into a buffer and written as PNG.
//
// The module calls the abort test before every pixel; this host uses it to
// move the progress bar and to stop when Ctrl-C has been pressed (or, for
// scripted checks, after a given number of pixels). A stopped picture is
// never written: the module leaves the rest of the buffer undrawn.
#include <cinttypes>
#include <cstdio>
#include <new>
#include <vector>

#include "commands.h"
#include "interrupt.h"
#include "progress_bar.h"

namespace fogrender {
namespace {

constexpr int32_t kPreviewAborted = 0x8000;

// What the abort test sees; the module's abort test takes no argument.
struct PreviewWatch {
  int64_t pixelsStarted = 0;
  int64_t abortAfter = -1;
  bool stopRequested = false;
  ProgressBar *bar = nullptr;
};

PreviewWatch *watch = nullptr;

int32_t previewAbortTest() {
  if (watch == nullptr) return 0;
  if (interrupted() || (watch->abortAfter >= 0 && watch->pixelsStarted >= watch->abortAfter)) {
    watch->stopRequested = true;
    return 1;
  }
  if (watch->bar != nullptr) watch->bar->update(watch->pixelsStarted);
  ++watch->pixelsStarted;
  return 0;
}

} // namespace

int runPreview(const TextureModule &module, const GlobalOptions &global,
               const PreviewOptions &options) {
  int32_t width = options.width;
  int32_t height = options.height;
  if (width <= 0 || height <= 0) module.preferredPreviewSize(width, height);
  const std::string path = outputPath(global, options.output, "texture_preview.png");
  if (path.empty()) return kExitFailed;

  std::vector<uint8_t> planar;
  try {
    planar.resize(size_t(width) * size_t(height) * 3);
  } catch (const std::bad_alloc &) {
    std::fprintf(stderr, "fogrender: no memory for a %dx%d preview\n", width, height);
    return kExitFailed;
  }

  std::printf("rendering the texture preview, %dx%d pixels\n", width, height);
  std::fflush(stdout);
  const int64_t total = int64_t(width) * height;
  int32_t result = 0;
  PreviewWatch state;
  state.abortAfter = options.abortAfter;
  {
    ProgressBar bar("preview", total, true);
    state.bar = &bar;
    watch = &state;
    result = module.display(planar.data(), width, height, &previewAbortTest);
    watch = nullptr;
    if (result == 0) bar.update(total);
  }

  if (result == kPreviewAborted && state.stopRequested) {
    std::fprintf(stderr,
                 "fogrender: preview stopped at pixel %" PRId64 " of %" PRId64
                 " (result 0x%X); %s was not written\n",
                 state.pixelsStarted, total, static_cast<unsigned>(result), path.c_str());
    return kExitInterrupted;
  }
  if (result != 0) {
    std::fprintf(stderr, "fogrender: the texture module did not finish the preview (result 0x%X)\n",
                 static_cast<unsigned>(result));
    return kExitFailed;
  }
  return savePicture(path, fromPlanarRows(planar, width, height)) ? kExitOk : kExitFailed;
}

} // namespace fogrender
