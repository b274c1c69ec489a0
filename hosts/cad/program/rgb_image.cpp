// rgb_image.cpp - rasters, the all-or-nothing PNG write and contact sheets.
#include "rgb_image.h"

#include <algorithm>
#include <cstdio>

#include "png_write.h"

namespace fogrender {
namespace {

constexpr Rgb kSheetBackground{24, 24, 28};

} // namespace

RgbImage::RgbImage(int32_t w, int32_t h, Rgb fill) : width(w), height(h) {
  pixels.resize(size_t(w) * size_t(h) * 3);
  for (size_t i = 0; i < pixels.size(); i += 3) {
    pixels[i] = fill.red;
    pixels[i + 1] = fill.green;
    pixels[i + 2] = fill.blue;
  }
}

Rgb RgbImage::at(int32_t x, int32_t y) const {
  const size_t i = (size_t(y) * size_t(width) + size_t(x)) * 3;
  return {pixels[i], pixels[i + 1], pixels[i + 2]};
}

void RgbImage::set(int32_t x, int32_t y, Rgb colour) {
  const size_t i = (size_t(y) * size_t(width) + size_t(x)) * 3;
  pixels[i] = colour.red;
  pixels[i + 1] = colour.green;
  pixels[i + 2] = colour.blue;
}

RgbImage fromPlanarRows(const std::vector<uint8_t> &planar, int32_t width, int32_t height) {
  RgbImage image(width, height);
  const size_t rowBytes = size_t(width) * 3;
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t *row = planar.data() + rowBytes * size_t(y);
    for (int32_t x = 0; x < width; ++x)
      image.set(x, y, {row[x], row[width + x], row[2 * size_t(width) + x]});
  }
  return image;
}

bool writePng(const std::string &path, const RgbImage &image, std::string &error) {
  const std::string partial = path + ".partial";
  if (!pngWriteRgb(partial.c_str(), image.width, image.height, image.pixels.data())) {
    std::remove(partial.c_str());
    error = "cannot write " + path;
    return false;
  }
  if (std::rename(partial.c_str(), path.c_str()) != 0) {
    std::remove(partial.c_str());
    error = "cannot write " + path + " (renaming the finished file failed)";
    return false;
  }
  return true;
}

RgbImage contactSheet(const std::vector<RgbImage> &frames, int32_t columns, int32_t gap) {
  if (frames.empty() || columns < 1) return {};
  const int32_t w = frames.front().width;
  const int32_t h = frames.front().height;
  const auto count = static_cast<int32_t>(frames.size());
  columns = std::min(columns, count);
  const int32_t rows = (count + columns - 1) / columns;
  RgbImage sheet(columns * w + (columns + 1) * gap, rows * h + (rows + 1) * gap, kSheetBackground);
  for (int32_t i = 0; i < count; ++i) {
    const int32_t left = gap + (i % columns) * (w + gap);
    const int32_t top = gap + (i / columns) * (h + gap);
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x) sheet.set(left + x, top + y, frames[size_t(i)].at(x, y));
  }
  return sheet;
}

} // namespace fogrender
