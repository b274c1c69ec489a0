// offscreen_context.h - an OpenGL context without a window, for the stand-in
// viewer's program and for tests that render for real.
//
// The context comes from EGL on Mesa's surfaceless platform (no display
// server, no GPU needed: llvmpipe renders on the CPU). It is a compatibility
// profile context, so the fixed-function calls the layer plug-in makes work,
// and it draws into a pbuffer with 8-bit red, green, blue and alpha, a depth
// buffer of at least 24 bits and an 8-bit stencil buffer.
//
// Usage:
//   std::string why;
//   auto gl = viewergl::OffscreenContext::create(640, 480, &why);
//   if (!gl) { report why; }
//   ... draw with GL ...
//   viewergl::RgbImage frame = gl->readRgb();
//   pngWriteRgb(path, frame.width, frame.height, frame.pixels.data());
//
// Contexts are used from one thread. Several may exist at once; the one
// made current last receives the GL calls.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace viewergl {

// A picture read back from a context: rows from the top of the window,
// 3 bytes (red, green, blue) per pixel, no padding.
struct RgbImage {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint8_t> pixels;

  // The pixel in column x of row y, counted from the top; no bounds check.
  const uint8_t *at(int32_t x, int32_t y) const {
    return pixels.data() +
           (static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 3;
  }
};

class OffscreenContext {
 public:
  // A new context of width x height pixels (each 1 or more), already made
  // current. Null when EGL or the driver cannot give one with the buffers
  // described above; then *error, when given, says why.
  static std::unique_ptr<OffscreenContext> create(int32_t width, int32_t height,
                                                  std::string *error = nullptr);

  // Releases the context and its pbuffer. The EGL display stays open for
  // the next context.
  ~OffscreenContext();
  OffscreenContext(const OffscreenContext &) = delete;
  OffscreenContext &operator=(const OffscreenContext &) = delete;

  // Makes this context current on the calling thread; false when EGL refuses.
  bool makeCurrent();

  int32_t width() const { return width_; }
  int32_t height() const { return height_; }

  // Waits for drawing to finish and reads the whole colour buffer. This
  // context must be current, with no pixel pack buffer bound; the pixel
  // store settings are left as they were.
  RgbImage readRgb() const;

 private:
  OffscreenContext() = default;

  void *display_ = nullptr; // EGLDisplay
  void *surface_ = nullptr; // EGLSurface
  void *context_ = nullptr; // EGLContext
  int32_t width_ = 0;
  int32_t height_ = 0;
};

} // namespace viewergl
