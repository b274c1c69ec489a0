// The PNG writer: what it writes reads back pixel for pixel, and it refuses
// what it cannot write instead of claiming success.
#include "png_write.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace {

std::string scratchPath(const char *name) {
  const std::filesystem::path dir = std::filesystem::path(FOG_BUILD_DIR) / "tests" / "png_write";
  std::filesystem::create_directories(dir);
  return (dir / name).string();
}

// Reads a PNG back in the given format; empty when it cannot be read.
std::vector<uint8_t> readBack(const std::string &path, png_uint_32 format, png_uint_32 *width,
                              png_uint_32 *height) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (png_image_begin_read_from_file(&image, path.c_str()) == 0) {
    return {};
  }
  image.format = format;
  std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
  if (png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr) == 0) {
    return {};
  }
  *width = image.width;
  *height = image.height;
  return pixels;
}

TEST(PngWrite, RgbAndRgbaReadBackUnchanged) {
  // 3 x 2, rows from the top, every byte different.
  std::vector<uint8_t> rgba(3 * 2 * 4);
  for (size_t i = 0; i < rgba.size(); ++i) {
    rgba[i] = static_cast<uint8_t>(i * 11 + 3);
  }
  std::vector<uint8_t> rgb;
  for (size_t i = 0; i < rgba.size(); i += 4) {
    rgb.insert(rgb.end(), rgba.begin() + static_cast<ptrdiff_t>(i),
               rgba.begin() + static_cast<ptrdiff_t>(i) + 3);
  }
  const struct {
    const char *file;
    bool alpha;
    const std::vector<uint8_t> &pixels;
  } cases[] = {{"rgb.png", false, rgb}, {"rgba.png", true, rgba}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.file);
    const std::string path = scratchPath(c.file);
    const bool written = c.alpha ? pngWriteRgba(path.c_str(), 3, 2, c.pixels.data())
                                 : pngWriteRgb(path.c_str(), 3, 2, c.pixels.data());
    ASSERT_TRUE(written);
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    const auto back = readBack(path, c.alpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB, &width, &height);
    EXPECT_EQ(width, 3u);
    EXPECT_EQ(height, 2u);
    EXPECT_EQ(back, c.pixels);
  }
}

TEST(PngWrite, RefusesWhatItCannotWrite) {
  const uint8_t pixels[12] = {};
  const std::string missingDir = scratchPath("no-such-dir") + "/sub/x.png";
  const std::string fine = scratchPath("refused.png");
  EXPECT_FALSE(pngWriteRgb(nullptr, 2, 2, pixels));
  EXPECT_FALSE(pngWriteRgb(fine.c_str(), 2, 2, nullptr));
  EXPECT_FALSE(pngWriteRgb(fine.c_str(), 0, 2, pixels));
  EXPECT_FALSE(pngWriteRgb(fine.c_str(), 2, -1, pixels));
  EXPECT_FALSE(pngWriteRgb(missingDir.c_str(), 2, 2, pixels));
  EXPECT_FALSE(pngWriteRgba(missingDir.c_str(), 1, 1, pixels));
}

TEST(PngWrite, AFullDeviceIsAFailure) {
  if (!std::filesystem::exists("/dev/full")) {
    GTEST_SKIP() << "no /dev/full here";
  }
  std::vector<uint8_t> pixels(64 * 64 * 3, 7);
  EXPECT_FALSE(pngWriteRgb("/dev/full", 64, 64, pixels.data()));
}

} // namespace
