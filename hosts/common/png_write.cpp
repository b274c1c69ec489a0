// png_write.cpp - the PNG writer of the stand-in hosts, on libpng. libpng
// reports errors by longjmp, so the function that sets the jump point holds
// only plain values and releases everything after it returns.
#include "png_write.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>

namespace {

// Writes one image to an open stream; false when libpng gave up part way.
bool writeImage(FILE *file, int32_t width, int32_t height, int colorType, int bytesPerPixel,
                const uint8_t *pixels) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (png == nullptr) {
    return false;
  }
  png_infop info = png_create_info_struct(png);
  if (info == nullptr) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
               colorType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  const size_t rowBytes = static_cast<size_t>(width) * static_cast<size_t>(bytesPerPixel);
  for (int32_t y = 0; y < height; ++y) {
    png_write_row(png, pixels + static_cast<size_t>(y) * rowBytes);
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

bool writeFile(const char *path, int32_t width, int32_t height, int colorType, int bytesPerPixel,
               const uint8_t *pixels) {
  // PNG caps each side at 2^31 - 1; libpng's own default limit is 1,000,000.
  if (path == nullptr || pixels == nullptr || width < 1 || height < 1 || width > 1000000 ||
      height > 1000000) {
    return false;
  }
  FILE *file = std::fopen(path, "wb");
  if (file == nullptr) {
    return false;
  }
  const bool written = writeImage(file, width, height, colorType, bytesPerPixel, pixels);
  // A full disk may only show when the buffered tail is flushed.
  const bool closed = std::fclose(file) == 0;
  return written && closed;
}

} // namespace

bool pngWriteRgb(const char *path, int32_t width, int32_t height, const uint8_t *pixels) {
  return writeFile(path, width, height, PNG_COLOR_TYPE_RGB, 3, pixels);
}

bool pngWriteRgba(const char *path, int32_t width, int32_t height, const uint8_t *pixels) {
  return writeFile(path, width, height, PNG_COLOR_TYPE_RGBA, 4, pixels);
}
