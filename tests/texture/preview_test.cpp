// The material editor's preview: the size question, default sizes, the
// planar row layout, abort before every pixel, byte conversion, the defaults
// shown whatever was shaded before, the host command, and a PNG to look at.
#include "preview.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "cad_texture_fixture.h"
#include "fog_params_compare.h"
#include "fog_shading.h"
#include "png_write.h"

namespace {

constexpr uint8_t kSentinel = 0xA5;

class PreviewTest : public CadTextureTest {
 protected:
  static std::vector<uint8_t> picture(int32_t width, int32_t height, int32_t *result = nullptr,
                                      PreviewAbortTest abortTest = nullptr) {
    const int32_t w = width > 0 ? width : 256;
    const int32_t h = height > 0 ? height : 256;
    // A few bytes past the end show that nothing is written beyond it.
    std::vector<uint8_t> image(size_t(3) * w * h + 8, kSentinel);
    int32_t size[2] = {width, height};
    const int32_t r = dlmTextureDisplay(image.data(), size, abortTest);
    EXPECT_EQ(size[0], width);
    EXPECT_EQ(size[1], height);
    if (result) *result = r;
    return image;
  }

  // The fog of the defaults at (u, v, 0), time 0, as preview bytes.
  static std::array<uint8_t, 3> defaultsAt(float u, float v) {
    FogTextureParams block = fogParamDefaults;
    TextureColor color{};
    const float point[3] = {u, v, 0.0f};
    shadeFogPoint(color, block, point, 0.0);
    return {previewByte(color.red), previewByte(color.green), previewByte(color.blue)};
  }

  static int32_t abortsAfter(int32_t pixels) {
    abortBudget_ = pixels;
    return 0;
  }
  static int32_t abortWhenBudgetSpent() { return abortBudget_-- <= 0 ? 1 : 0; }

  static inline int32_t abortBudget_ = 0;
};

TEST_F(PreviewTest, TheSizeQuestionAnswersTheDefaultsAndTouchesNothingElse) {
  EXPECT_EQ(dlmTextureDisplay(nullptr, nullptr, nullptr), 0);
  int32_t size[2] = {3, 4};
  EXPECT_EQ(dlmTextureDisplay(nullptr, size, nullptr), 0);
  EXPECT_EQ(size[0], 256);
  EXPECT_EQ(size[1], 256);
  EXPECT_TRUE(instances().empty());
  EXPECT_TRUE(cadhost::userAbortLog().empty());
  EXPECT_TRUE(cadhost::commandLog().empty());
}

TEST_F(PreviewTest, SizesThatAreNotPositiveTakeTheDefaults) {
  int32_t result = -1;
  const std::vector<uint8_t> defaulted = picture(0, -5, &result);
  EXPECT_EQ(result, 0);
  // 256 x 256 pixels, 768 bytes a row, u and v stepping by 0.5 / 256.
  const struct {
    size_t row, column;
  } corners[] = {{0, 0}, {0, 255}, {255, 0}, {255, 255}, {100, 37}};
  for (const auto &corner : corners) {
    SCOPED_TRACE(testing::Message() << corner.row << "," << corner.column);
    const std::array<uint8_t, 3> expected =
        defaultsAt(float(corner.column) / 512.0f, float(corner.row) / 512.0f);
    for (size_t channel = 0; channel < 3; ++channel)
      EXPECT_EQ(defaulted[768 * corner.row + 256 * channel + corner.column], expected[channel]);
  }
  for (size_t i = size_t(3) * 256 * 256; i < defaulted.size(); ++i)
    EXPECT_EQ(defaulted[i], kSentinel);

  std::vector<uint8_t> noPair(size_t(3) * 256 * 256, kSentinel);
  EXPECT_EQ(dlmTextureDisplay(noPair.data(), nullptr, nullptr), 0);
  EXPECT_TRUE(std::equal(noPair.begin(), noPair.end(), defaulted.begin()));
}

TEST_F(PreviewTest, RowsArePlanarAndPixelsStepThroughUAndV) {
  const std::vector<uint8_t> image = picture(2, 2);
  const float points[4][2] = {{0.0f, 0.0f}, {0.25f, 0.0f}, {0.0f, 0.25f}, {0.25f, 0.25f}};
  for (int pixel = 0; pixel < 4; ++pixel) {
    SCOPED_TRACE(pixel);
    const int row = pixel / 2;
    const int column = pixel % 2;
    const std::array<uint8_t, 3> expected = defaultsAt(points[pixel][0], points[pixel][1]);
    for (int channel = 0; channel < 3; ++channel)
      EXPECT_EQ(image[size_t(6 * row + 2 * channel + column)], expected[size_t(channel)]);
  }
  EXPECT_EQ(image[12], kSentinel);
}

TEST_F(PreviewTest, UAndVAreSumsOfSinglePrecisionSteps) {
  // With 1000 pixels along a side the step 0.5 / 1000 is no float, and
  // adding it up in single precision drifts from k x step by enough to
  // change the bytes of some pixels.
  struct Case {
    int32_t width, height;
  };
  for (const Case c : {Case{1000, 1}, Case{1, 1000}}) {
    const bool alongU = c.width > 1;
    SCOPED_TRACE(alongU ? "u" : "v");
    const std::vector<uint8_t> image = picture(c.width, c.height);
    const int32_t pixels = alongU ? c.width : c.height;
    const float step = float(0.5 / pixels);
    const auto bytesAt = [alongU](float along) {
      return alongU ? defaultsAt(along, 0.0f) : defaultsAt(0.0f, along);
    };
    int32_t telling = 0; // pixels where a product would give other bytes
    float along = 0.0f;
    for (int32_t k = 0; k < pixels; ++k) {
      const std::array<uint8_t, 3> expected = bytesAt(along);
      if (bytesAt(float(k) * step) != expected) ++telling;
      for (size_t channel = 0; channel < 3; ++channel) {
        const size_t at = alongU ? channel * size_t(c.width) + size_t(k) : 3 * size_t(k) + channel;
        ASSERT_EQ(image[at], expected[channel]) << "pixel " << k;
      }
      along = along + step;
    }
    EXPECT_GT(telling, 0) << "the case must tell a sum from a product";
  }
}

TEST_F(PreviewTest, TheAbortTestRunsBeforeEveryPixelAndStopsThePicture) {
  struct Case {
    int32_t pixelsDrawn;
    int32_t expectedResult;
  };
  // A 4 x 2 picture: the first row's bytes are 0..11, the second's 12..23.
  const Case cases[] = {{0, PREVIEW_ABORTED}, {3, PREVIEW_ABORTED}, {5, PREVIEW_ABORTED}, {8, 0}};
  const std::vector<uint8_t> whole = picture(4, 2);
  for (const Case &c : cases) {
    SCOPED_TRACE(c.pixelsDrawn);
    cadhost::reset();
    abortsAfter(c.pixelsDrawn);
    int32_t result = -1;
    const std::vector<uint8_t> image = picture(4, 2, &result, abortWhenBudgetSpent);
    EXPECT_EQ(result, c.expectedResult);
    for (int pixel = 0; pixel < 8; ++pixel) {
      const size_t row = size_t(pixel / 4);
      const size_t column = size_t(pixel % 4);
      for (size_t channel = 0; channel < 3; ++channel) {
        const size_t at = 12 * row + 4 * channel + column;
        EXPECT_EQ(image[at], pixel < c.pixelsDrawn ? whole[at] : kSentinel) << "pixel " << pixel;
      }
    }
    EXPECT_EQ(cadhost::userAbortLog(), (std::vector<int32_t>{0, 1}));
    EXPECT_TRUE(cadhost::userAbortEnabled());
    EXPECT_EQ(activeFogParams, &currentFogParams);
  }
}

TEST_F(PreviewTest, ColourComponentsBecomeBytes) {
  const float inf = std::numeric_limits<float>::infinity();
  const struct {
    float component;
    uint8_t byte;
  } cases[] = {{255.7f, 255}, {123.9f, 123}, {-3.0f, 0},
               {0.2f, 0},     {255.0f, 255}, {254.99f, 254},
               {inf, 255},    {-inf, 0},     {std::numeric_limits<float>::quiet_NaN(), 0},
               {-0.5f, 0}};
  for (const auto &c : cases) EXPECT_EQ(previewByte(c.component), c.byte) << c.component;
}

TEST_F(PreviewTest, ThePreviewShowsTheDefaultsWhateverWasShadedBefore) {
  const FogTextureParams defaultsBefore = fogParamDefaults;
  // Contrast 0 would make every pixel the full fog colour.
  addMaterial(30, "Dense", "fog_contrast 0\nfog_primary_color 0 0 1", 0);
  TextureSample sample = sampleFor(30, SAMPLE_UV);
  TextureColor color{};
  dlmTextureProcedure(&color, &sample);
  ASSERT_EQ(currentFogParams.contrast, 0.0f);

  const std::vector<uint8_t> afterMaterial = picture(16, 16);
  const std::vector<uint8_t> again = picture(16, 16);
  dlmTextureCleanup(0);
  const std::vector<uint8_t> fresh = picture(16, 16);
  EXPECT_EQ(afterMaterial, again);
  EXPECT_EQ(afterMaterial, fresh);
  const std::array<uint8_t, 3> origin = defaultsAt(0.0f, 0.0f);
  EXPECT_EQ(afterMaterial[0], origin[0]);
  EXPECT_EQ(afterMaterial[16], origin[1]);
  EXPECT_EQ(afterMaterial[32], origin[2]);

  EXPECT_EQ(activeFogParams, &currentFogParams);
  EXPECT_EQ(fogParamsDifference(fogParamDefaults, defaultsBefore), "");
  ASSERT_NE(textureInstance_find(-1, 1), nullptr);
  EXPECT_STREQ(textureInstance_current()->materialName, "");
  EXPECT_EQ(textureInstance_current()->relativeCoords, 0);
}

TEST_F(PreviewTest, TheHostCommandFollowsEveryPreviewInDialogMode) {
  for (int32_t dialogMode : {0, 3}) {
    SCOPED_TRACE(dialogMode);
    cadhost::reset();
    textureModuleDescription.dialogMode = dialogMode;
    picture(2, 1);
    abortsAfter(0);
    picture(2, 1, nullptr, abortWhenBudgetSpent);
    const std::vector<cadhost::QueuedCommand> commands = cadhost::commandLog();
    ASSERT_EQ(commands.size(), dialogMode ? 2u : 0u);
    for (const cadhost::QueuedCommand &command : commands) {
      EXPECT_EQ(command.queue, 0);
      EXPECT_EQ(command.commandNumber, 0x79020000u);
      EXPECT_EQ(command.argumentText, "fog");
      EXPECT_EQ(command.flags, 1);
    }
  }
}

TEST_F(PreviewTest, APreviewWithoutItsInstanceIsNotDrawnAndNotReportedComplete) {
  const FogTextureParams defaultsBefore = fogParamDefaults;
  textureInstance_setAllocator(failingAllocator);
  int32_t result = -1;
  const std::vector<uint8_t> image = picture(4, 4, &result);
  EXPECT_EQ(result, PREVIEW_ABORTED);
  for (uint8_t byte : image) ASSERT_EQ(byte, kSentinel);
  EXPECT_EQ(activeFogParams, &currentFogParams);
  EXPECT_EQ(fogParamsDifference(fogParamDefaults, defaultsBefore), "");
  EXPECT_TRUE(cadhost::userAbortLog().empty());
  EXPECT_TRUE(instances().empty());
}

// Leaves the default preview behind as a PNG for a person to look at.
TEST_F(PreviewTest, TheDefaultPreviewIsWrittenAsPNG) {
  int32_t size[2] = {0, 0};
  std::vector<uint8_t> planar(size_t(3) * 256 * 256);
  ASSERT_EQ(dlmTextureDisplay(planar.data(), size, nullptr), 0);
  std::vector<uint8_t> interleaved(planar.size());
  for (size_t row = 0; row < 256; ++row)
    for (size_t column = 0; column < 256; ++column)
      for (size_t channel = 0; channel < 3; ++channel)
        interleaved[(row * 256 + column) * 3 + channel] =
            planar[row * 768 + channel * 256 + column];
  const std::string path = std::string(FOG_BUILD_DIR) + "/texture_preview_default.png";
  EXPECT_TRUE(pngWriteRgb(path.c_str(), 256, 256, interleaved.data()));
  // Fog, not a flat colour: the red bytes vary across the picture.
  const auto [low, high] = std::minmax_element(planar.begin(), planar.begin() + 256);
  EXPECT_LT(*low, *high);
}

} // namespace
