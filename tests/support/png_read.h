// png_read.h - reads a PNG file back as 8-bit RGB, for tests that check the
// pictures a program wrote: its size and the colour of chosen pixels.
//
// Header-only; the test executable links libpng (PNG::PNG). Any colour type
// and bit depth is converted to 8-bit RGB without alpha; a file that is not a
// readable PNG gives an image with ok() false.
#pragma once

#include <png.h>

#include <array>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

struct PngRgb {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint8_t> pixels; // 3 bytes per pixel, rows from the top

  bool ok() const { return width > 0 && height > 0; }
  std::array<uint8_t, 3> at(int32_t x, int32_t y) const {
    const size_t i = (size_t(y) * size_t(width) + size_t(x)) * 3;
    return {pixels[i], pixels[i + 1], pixels[i + 2]};
  }
};

namespace png_read_detail {

// Reads into `image` and `rows`, which live outside this frame so that a
// longjmp from libpng leaves them in a defined state.
inline bool readInto(png_structp png, png_infop info, FILE *file, PngRgb *image,
                     std::vector<png_bytep> *rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_init_io(png, file);
  png_read_info(png, info);
  png_set_expand(png);
  png_set_strip_16(png);
  png_set_strip_alpha(png);
  png_set_gray_to_rgb(png);
  png_read_update_info(png, info);
  image->width = static_cast<int32_t>(png_get_image_width(png, info));
  image->height = static_cast<int32_t>(png_get_image_height(png, info));
  image->pixels.resize(size_t(image->width) * size_t(image->height) * 3);
  rows->resize(size_t(image->height));
  for (int32_t y = 0; y < image->height; ++y)
    (*rows)[size_t(y)] = image->pixels.data() + size_t(y) * size_t(image->width) * 3;
  png_read_image(png, rows->data());
  png_read_end(png, nullptr);
  return true;
}

} // namespace png_read_detail

inline PngRgb readPngRgb(const std::string &path) {
  PngRgb image;
  FILE *file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return image;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  std::vector<png_bytep> rows;
  const bool read = info != nullptr && png_read_detail::readInto(png, info, file, &image, &rows);
  png_destroy_read_struct(png ? &png : nullptr, info ? &info : nullptr, nullptr);
  std::fclose(file);
  return read ? image : PngRgb{};
}
