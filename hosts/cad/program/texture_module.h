// texture_module.h - the fog texture module as fogrender's renderer loads it:
// fog.so from the textures folder, opened with dlopen, its exports looked up
// by name, then initialize and a first dlmTextureCleanup, which sets the
// module up.
//
// The module stays loaded until the program ends: the host keeps the notice
// function the module registers, so the code must not go away under it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "cad_host.h"

namespace fogrender {

// The abort test of a preview: called before every pixel, non-zero stops.
using AbortTest = int32_t (*)(void);

class TextureModule {
 public:
  // Loads <texturesDir>/fog.so and sets it up (dialog mode 0, so the module
  // publishes its default parameter list). Null, with `error` saying why,
  // when the file cannot be loaded or lacks an export.
  static std::unique_ptr<TextureModule> load(const std::string &texturesDir, std::string &error);

  TextureModule(const TextureModule &) = delete;
  TextureModule &operator=(const TextureModule &) = delete;
  ~TextureModule();

  // The path the module was loaded from.
  const std::string &path() const { return path_; }

  // Shades one sample.
  void shade(TextureColor &color, const TextureSample &sample) const;
  // Drops every cached material instance; the next sample of a material
  // reads its parameter text again.
  void cleanup() const;
  // Forgets the prepared per-view transforms of every instance.
  void resetTransform() const;

  // The size the module prefers for its preview.
  void preferredPreviewSize(int32_t &width, int32_t &height) const;
  // Draws the preview into `planarRows` (3 x width x height bytes, each row
  // its red, then green, then blue bytes); 0 when complete, 0x8000 when the
  // abort test stopped it.
  int32_t display(uint8_t *planarRows, int32_t width, int32_t height, AbortTest abortTest) const;

  // The module's default parameter list, one member per parameter; empty
  // when the module published none.
  std::vector<std::string> defaultParameters() const;

 private:
  TextureModule() = default;

  using Initialize = int32_t (*)(int32_t, int32_t, int32_t);
  using Cleanup = void (*)(int32_t);
  using Procedure = TextureColor *(*)(TextureColor *, const TextureSample *);
  using ResetTransform = int32_t (*)(void);
  using Display = int32_t (*)(uint8_t *, int32_t *, AbortTest);

  std::string path_;
  Initialize initialize_ = nullptr;
  Cleanup cleanup_ = nullptr;
  Procedure procedure_ = nullptr;
  ResetTransform resetTransform_ = nullptr;
  Display display_ = nullptr;
  XelStringList *parameters_ = nullptr; // the module's dlmTextureParameters
};

} // namespace fogrender
