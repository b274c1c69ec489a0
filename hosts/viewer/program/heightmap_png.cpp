// heightmap_png.cpp - the PNG reader behind height maps, on libpng. libpng
// reports errors by longjmp: the function that sets the jump point keeps all
// it changes in a record owned by its caller, so nothing it holds is lost or
// left half-changed when libpng jumps back.
#include "heightmap_png.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <new>

namespace fogviewer {
namespace {

struct PngRead {
  FILE *file = nullptr;
  png_structp png = nullptr;
  png_infop info = nullptr;
  char message[256] = {};
  GreyImage *image = nullptr;
  std::vector<png_bytep> rows;
  std::vector<uint8_t> bytes;
};

void onError(png_structp png, png_const_charp text) {
  auto *read = static_cast<PngRead *>(png_get_error_ptr(png));
  std::snprintf(read->message, sizeof read->message, "%s", text != nullptr ? text : "damaged");
  png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

// Decodes into read.image; false when libpng gave up or the size is refused.
bool decode(PngRead &read) {
  if (setjmp(png_jmpbuf(read.png))) return false;
  png_init_io(read.png, read.file);
  png_set_user_limits(read.png, kMaxHeightMapSide, kMaxHeightMapSide);
  png_read_info(read.png, read.info);
  const png_uint_32 width = png_get_image_width(read.png, read.info);
  const png_uint_32 height = png_get_image_height(read.png, read.info);
  const int colourType = png_get_color_type(read.png, read.info);
  const int depth = png_get_bit_depth(read.png, read.info);

  if (colourType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(read.png);
  if (colourType == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(read.png);
  if (png_get_valid(read.png, read.info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(read.png);
  if ((colourType & PNG_COLOR_MASK_COLOR) != 0) png_set_rgb_to_gray_fixed(read.png, 1, -1, -1);
  png_set_strip_alpha(read.png);
  // Two-byte samples arrive most significant byte first.
  png_read_update_info(read.png, read.info);

  const int outDepth = png_get_bit_depth(read.png, read.info);
  const std::size_t rowBytes = png_get_rowbytes(read.png, read.info);
  read.bytes.resize(rowBytes * height);
  read.rows.resize(height);
  for (png_uint_32 y = 0; y < height; ++y) read.rows[y] = read.bytes.data() + rowBytes * y;
  png_read_image(read.png, read.rows.data());
  png_read_end(read.png, nullptr);

  GreyImage &image = *read.image;
  image.width = static_cast<int32_t>(width);
  image.height = static_cast<int32_t>(height);
  image.maxValue = outDepth == 16 ? 65535u : 255u;
  image.levels.resize(static_cast<std::size_t>(width) * height);
  for (png_uint_32 y = 0; y < height; ++y) {
    const png_bytep row = read.rows[y];
    for (png_uint_32 x = 0; x < width; ++x) {
      image.levels[static_cast<std::size_t>(y) * width + x] =
          outDepth == 16 ? static_cast<uint16_t>((row[2 * x] << 8) | row[2 * x + 1]) : row[x];
    }
  }
  return true;
}

} // namespace

bool readGreyPng(const std::string &path, GreyImage &image, std::string &error) {
  PngRead read;
  read.image = &image;
  read.file = std::fopen(path.c_str(), "rb");
  if (read.file == nullptr) {
    error = "cannot open " + path + ": " + std::strerror(errno);
    return false;
  }
  unsigned char signature[8] = {};
  if (std::fread(signature, 1, sizeof signature, read.file) != sizeof signature ||
      png_sig_cmp(signature, 0, sizeof signature) != 0) {
    std::fclose(read.file);
    error = path + " is not a PNG file";
    return false;
  }
  std::rewind(read.file);
  read.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &read, onError, onWarning);
  read.info = read.png != nullptr ? png_create_info_struct(read.png) : nullptr;
  bool ok = read.info != nullptr;
  if (!ok) {
    std::snprintf(read.message, sizeof read.message, "out of memory");
  } else {
    try {
      ok = decode(read);
    } catch (const std::bad_alloc &) {
      std::snprintf(read.message, sizeof read.message, "out of memory");
      ok = false;
    }
  }
  png_destroy_read_struct(&read.png, &read.info, nullptr);
  std::fclose(read.file);
  if (!ok) error = path + ": " + read.message;
  return ok;
}

} // namespace fogviewer
