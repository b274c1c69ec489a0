// rgb_image.h - fogrender's pictures: 8-bit RGB rasters, rows from the top,
// written as PNG files that appear only once complete, and the contact
// sheet that lays animation frames out in a grid.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace fogrender {

struct Rgb {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
};

struct RgbImage {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint8_t> pixels; // 3 bytes per pixel, rows from the top

  RgbImage() = default;
  RgbImage(int32_t w, int32_t h, Rgb fill = {});

  Rgb at(int32_t x, int32_t y) const;
  void set(int32_t x, int32_t y, Rgb colour);
};

// The module's preview layout (each row its red bytes, then its green, then
// its blue) as an interleaved image.
RgbImage fromPlanarRows(const std::vector<uint8_t> &planar, int32_t width, int32_t height);

// Writes the picture to "<path>.partial" and renames it to `path` only once
// the whole file is written, so a reader never finds a half-written PNG
// under the final name. False, with `error`, when that fails; the partial
// file is removed then.
bool writePng(const std::string &path, const RgbImage &image, std::string &error);

// Frames side by side, `columns` to a row, `gap` pixels apart on a dark
// background. All frames must have the size of the first.
RgbImage contactSheet(const std::vector<RgbImage> &frames, int32_t columns, int32_t gap);

} // namespace fogrender
