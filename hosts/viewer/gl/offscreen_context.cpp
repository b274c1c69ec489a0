// offscreen_context.cpp - the EGL set-up behind viewergl::OffscreenContext:
// Mesa's surfaceless platform, a compatibility-profile desktop GL context and
// a pbuffer as its framebuffer, and reading that framebuffer back.
#include "offscreen_context.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>

namespace viewergl {

namespace {

// The surfaceless display is one per process: EGL hands the same display to
// every caller, so it stays initialised once opened. Terminating it with the
// last context would pull it from under any other EGL user in the program,
// and Mesa unloads its driver then, losing track of memory it still holds.

void setError(std::string *error, std::string text) {
  if (error != nullptr) {
    *error = std::move(text);
  }
}

std::string eglFailure(const char *what) {
  char code[16];
  snprintf(code, sizeof code, "0x%04X", static_cast<unsigned>(eglGetError()));
  return std::string(what) + " failed (EGL error " + code + ")";
}

EGLDisplay openSurfacelessDisplay(std::string *error) {
  const char *clientExtensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
  if (clientExtensions == nullptr ||
      std::string(clientExtensions).find("EGL_MESA_platform_surfaceless") == std::string::npos) {
    setError(error, "EGL has no surfaceless platform (EGL_MESA_platform_surfaceless)");
    return EGL_NO_DISPLAY;
  }
  auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
      eglGetProcAddress("eglGetPlatformDisplayEXT"));
  if (getPlatformDisplay == nullptr) {
    setError(error, "eglGetPlatformDisplayEXT is not available");
    return EGL_NO_DISPLAY;
  }
  EGLDisplay display =
      getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
  if (display == EGL_NO_DISPLAY) {
    setError(error, eglFailure("eglGetPlatformDisplayEXT"));
    return EGL_NO_DISPLAY;
  }
  EGLint major = 0;
  EGLint minor = 0;
  if (eglInitialize(display, &major, &minor) != EGL_TRUE) {
    setError(error, eglFailure("eglInitialize"));
    return EGL_NO_DISPLAY;
  }
  return display;
}

// The driver may round sizes up; fewer bits than asked for is a failure.
bool framebufferHasRequiredBits(std::string *error) {
  struct Need {
    GLenum query;
    GLint bits;
    const char *name;
  };
  const Need needs[] = {{GL_RED_BITS, 8, "red"},      {GL_GREEN_BITS, 8, "green"},
                        {GL_BLUE_BITS, 8, "blue"},    {GL_ALPHA_BITS, 8, "alpha"},
                        {GL_DEPTH_BITS, 24, "depth"}, {GL_STENCIL_BITS, 8, "stencil"}};
  for (const Need &need : needs) {
    GLint bits = 0;
    glGetIntegerv(need.query, &bits);
    if (bits < need.bits) {
      setError(error, std::string("the framebuffer has ") + std::to_string(bits) + " " + need.name +
                          " bits, " + std::to_string(need.bits) + " needed");
      return false;
    }
  }
  return true;
}

} // namespace

std::unique_ptr<OffscreenContext> OffscreenContext::create(int32_t width, int32_t height,
                                                           std::string *error) {
  if (width < 1 || height < 1) {
    setError(error, "the context size must be at least 1 x 1");
    return nullptr;
  }
  EGLDisplay display = openSurfacelessDisplay(error);
  if (display == EGL_NO_DISPLAY) {
    return nullptr;
  }
  // From here on the object owns what has been made, and its destructor
  // releases it on every early return.
  std::unique_ptr<OffscreenContext> result(new OffscreenContext());
  result->display_ = display;
  result->width_ = width;
  result->height_ = height;

  if (eglBindAPI(EGL_OPENGL_API) != EGL_TRUE) {
    setError(error, eglFailure("eglBindAPI(EGL_OPENGL_API)"));
    return nullptr;
  }
  const EGLint configAttributes[] = {EGL_SURFACE_TYPE,
                                     EGL_PBUFFER_BIT,
                                     EGL_RENDERABLE_TYPE,
                                     EGL_OPENGL_BIT,
                                     EGL_RED_SIZE,
                                     8,
                                     EGL_GREEN_SIZE,
                                     8,
                                     EGL_BLUE_SIZE,
                                     8,
                                     EGL_ALPHA_SIZE,
                                     8,
                                     EGL_DEPTH_SIZE,
                                     24,
                                     EGL_STENCIL_SIZE,
                                     8,
                                     EGL_NONE};
  EGLConfig config = nullptr;
  EGLint configCount = 0;
  if (eglChooseConfig(display, configAttributes, &config, 1, &configCount) != EGL_TRUE ||
      configCount < 1) {
    setError(error, "no EGL config with RGBA8, 24-bit depth and 8-bit stencil for a pbuffer");
    return nullptr;
  }
  const EGLint contextAttributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                      EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
  result->context_ = eglCreateContext(display, config, EGL_NO_CONTEXT, contextAttributes);
  if (result->context_ == EGL_NO_CONTEXT) {
    result->context_ = nullptr;
    setError(error, eglFailure("eglCreateContext (compatibility profile)"));
    return nullptr;
  }
  const EGLint surfaceAttributes[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
  result->surface_ = eglCreatePbufferSurface(display, config, surfaceAttributes);
  if (result->surface_ == EGL_NO_SURFACE) {
    result->surface_ = nullptr;
    setError(error, eglFailure("eglCreatePbufferSurface"));
    return nullptr;
  }
  if (!result->makeCurrent()) {
    setError(error, eglFailure("eglMakeCurrent"));
    return nullptr;
  }
  if (!framebufferHasRequiredBits(error)) {
    return nullptr;
  }
  glViewport(0, 0, width, height);
  return result;
}

OffscreenContext::~OffscreenContext() {
  EGLDisplay display = display_;
  if (display == nullptr) {
    return;
  }
  if (eglGetCurrentContext() == static_cast<EGLContext>(context_) && context_ != nullptr) {
    eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
  }
  if (surface_ != nullptr) {
    eglDestroySurface(display, static_cast<EGLSurface>(surface_));
  }
  if (context_ != nullptr) {
    eglDestroyContext(display, static_cast<EGLContext>(context_));
  }
}

bool OffscreenContext::makeCurrent() {
  EGLSurface surface = static_cast<EGLSurface>(surface_);
  return eglMakeCurrent(static_cast<EGLDisplay>(display_), surface, surface,
                        static_cast<EGLContext>(context_)) == EGL_TRUE;
}

RgbImage OffscreenContext::readRgb() const {
  RgbImage image;
  image.width = width_;
  image.height = height_;
  const size_t rowBytes = static_cast<size_t>(width_) * 3;
  std::vector<uint8_t> bottomUp(rowBytes * static_cast<size_t>(height_));

  // Tightly packed rows whatever the caller's pixel store settings are.
  glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glPixelStorei(GL_PACK_ROW_LENGTH, 0);
  glPixelStorei(GL_PACK_SKIP_ROWS, 0);
  glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
  glPixelStorei(GL_PACK_SWAP_BYTES, GL_FALSE);
  glPixelStorei(GL_PACK_LSB_FIRST, GL_FALSE);
  glReadPixels(0, 0, width_, height_, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
  glPopClientAttrib();

  // GL counts rows from the bottom of the window; pictures start at the top.
  image.pixels.resize(bottomUp.size());
  for (int32_t y = 0; y < height_; ++y) {
    const uint8_t *source = bottomUp.data() + static_cast<size_t>(height_ - 1 - y) * rowBytes;
    std::copy(source, source + rowBytes, image.pixels.data() + static_cast<size_t>(y) * rowBytes);
  }
  return image;
}

} // namespace viewergl
