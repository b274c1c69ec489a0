// A Mist layer over a terrain in perspective, from inside and from outside
// the slab, checked pixel by pixel against the stencil marks and written as
// PNG files (tests/gl/fog_inside.png, fog_outside.png in the build tree) for
// a person to look at.
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "draw_test_scene.h"
#include "fog_draw.h"
#include "offscreen_context.h"
#include "png_write.h"

namespace {

using viewergl::OffscreenContext;
using viewergl::RgbImage;

constexpr int32_t kWidth = 320;
constexpr int32_t kHeight = 240;
constexpr double kExtent = 100.0; // ground and fog cover -kExtent..kExtent
const double kSky[3] = {0.55, 0.7, 0.9};
const double kFog[3] = {0.8, 0.8, 0.85};
constexpr double kDensity = 0.1;

double terrainHeight(double x, double y) {
  return 8.0 + 14.0 * std::sin(x / 23.0) * std::cos(y / 31.0) + 9.0 * std::sin((x + y) / 40.0);
}

// Rolling hills, shaded by a fixed light on the CPU so that no GL lighting
// state is involved; drawn with depth writes as a host draws its terrain.
void drawTerrain() {
  constexpr int kCells = 50;
  constexpr double kStep = 2.0 * kExtent / kCells;
  glEnable(GL_DEPTH_TEST);
  glDepthMask(GL_TRUE);
  glBegin(GL_QUADS);
  for (int j = 0; j < kCells; ++j) {
    for (int i = 0; i < kCells; ++i) {
      const double corners[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
      for (const auto &corner : corners) {
        const double x = -kExtent + (i + corner[0]) * kStep;
        const double y = -kExtent + (j + corner[1]) * kStep;
        const double z = terrainHeight(x, y);
        const double nx = terrainHeight(x - 1, y) - terrainHeight(x + 1, y);
        const double ny = terrainHeight(x, y - 1) - terrainHeight(x, y + 1);
        const double light =
            std::max(0.25, (0.5 * nx + 0.3 * ny + 2.0) / std::sqrt(nx * nx + ny * ny + 4.0) / 1.1);
        const double rise = (z + 15.0) / 46.0;
        glColor3d(light * (0.35 + 0.4 * rise), light * (0.55 - 0.1 * rise), light * 0.25);
        glVertex3d(x, y, z);
      }
    }
  }
  glEnd();
  glDisable(GL_DEPTH_TEST);
}

void clearFrame() {
  glClearColor(static_cast<float>(kSky[0]), static_cast<float>(kSky[1]),
               static_cast<float>(kSky[2]), 1.0f);
  glClearDepth(1.0);
  glClearStencil(0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
}

void perspectiveView(const double eye[3], const double target[3]) {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(55.0, static_cast<double>(kWidth) / kHeight, 1.0, 1000.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  gluLookAt(eye[0], eye[1], eye[2], target[0], target[1], target[2], 0.0, 0.0, 1.0);
}

// The stencil buffer, rows from the top like RgbImage.
std::vector<uint8_t> readStencil() {
  std::vector<uint8_t> bottomUp(static_cast<size_t>(kWidth) * kHeight);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, kWidth, kHeight, GL_STENCIL_INDEX, GL_UNSIGNED_BYTE, bottomUp.data());
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  std::vector<uint8_t> topDown(bottomUp.size());
  for (int y = 0; y < kHeight; ++y) {
    std::copy_n(bottomUp.begin() + static_cast<ptrdiff_t>(kHeight - 1 - y) * kWidth, kWidth,
                topDown.begin() + static_cast<ptrdiff_t>(y) * kWidth);
  }
  return topDown;
}

// One blend over an 8-bit pixel as an 8-bit blender does it: colour and
// alpha taken as 8-bit values, each product rounded to 8 bits.
int blendChannel(int dst, double src, double alpha) {
  const int a = static_cast<int>(std::lround(std::min(1.0, std::max(0.0, alpha)) * 255.0));
  const int s = static_cast<int>(std::lround(src * 255.0));
  const auto product = [](int x, int y) { return (x * y + 127) / 255; };
  return product(s, a) + product(dst, 255 - a);
}

std::string outputPath(const char *name) {
  const std::filesystem::path dir = std::filesystem::path(FOG_BUILD_DIR) / "tests" / "gl";
  std::filesystem::create_directories(dir);
  return (dir / name).string();
}

class FogViews : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    context = OffscreenContext::create(kWidth, kHeight, &why);
    ASSERT_NE(context, nullptr) << "no off-screen GL context: " << why;
    scene.width = kWidth;
    scene.height = kHeight;
  }

  // Terrain, then the layer drawn for an eye at `eyeElevation`.
  RgbImage render(const double eye[3], const double target[3], double eyeElevation, bool withFog,
                  double planeCount = 15) {
    clearFrame();
    perspectiveView(eye, target);
    drawTerrain();
    if (withFog) {
      DrawTestLayer layer(scene, 0, 25);
      layer.fog.xMin = -kExtent;
      layer.fog.yMin = -kExtent;
      layer.fog.xMax = kExtent;
      layer.fog.yMax = kExtent;
      layer.fog.density = kDensity;
      layer.fog.planeCount = planeCount;
      layer.fog.red = kFog[0];
      layer.fog.green = kFog[1];
      layer.fog.blue = kFog[2];
      EXPECT_EQ(layer.draw(eyeElevation), 0);
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    return context->readRgb();
  }

  std::unique_ptr<OffscreenContext> context;
  DrawTestScene scene;
};

TEST_F(FogViews, InsideTheSlabTheTintFillsExactlyTheUnmarkedPixels) {
  // Six planes, 5 apart, with the eye between the planes at 15 and 20: the
  // terrain near the eye and the view along the slab meet no plane.
  const double eye[3] = {-90, -60, 17.5};
  const double target[3] = {60, 80, 15};
  const RgbImage bare = render(eye, target, eye[2], false, 6);
  // The same frame with the layer told the eye is above the slab: the
  // planes exactly as drawn from inside, without marks or tint.
  const RgbImage planesOnly = render(eye, target, 500, true, 6);
  const RgbImage inside = render(eye, target, eye[2], true, 6);
  const std::vector<uint8_t> stencil = readStencil();
  ASSERT_TRUE(pngWriteRgb(outputPath("fog_inside.png").c_str(), inside.width, inside.height,
                          inside.pixels.data()));

  int marked = 0;
  int tinted = 0;
  int bad = 0;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const uint8_t *seen = inside.at(x, y);
      const uint8_t *planes = planesOnly.at(x, y);
      const uint8_t *ground = bare.at(x, y);
      bool ok = true;
      if (stencil[static_cast<size_t>(y) * kWidth + x] == 1) {
        ++marked;
        // A plane was drawn here: the pixel is the planes' colour, untinted.
        for (int k = 0; k < 3; ++k) {
          ok = ok && seen[k] == planes[k];
        }
      } else {
        ++tinted;
        // No plane reached this pixel, and the tint was laid over it once.
        for (int k = 0; k < 3; ++k) {
          ok = ok && planes[k] == ground[k] &&
               std::abs(seen[k] - blendChannel(ground[k], kFog[k], 2 * kDensity)) <= 1;
        }
      }
      if (!ok && bad++ < 5) {
        ADD_FAILURE() << "pixel (" << x << ", " << y << ") stencil "
                      << int(stencil[static_cast<size_t>(y) * kWidth + x]) << ": seen "
                      << int(seen[0]) << "," << int(seen[1]) << "," << int(seen[2])
                      << " planes only " << int(planes[0]) << "," << int(planes[1]) << ","
                      << int(planes[2]) << " bare " << int(ground[0]) << "," << int(ground[1])
                      << "," << int(ground[2]);
      }
    }
  }
  EXPECT_EQ(bad, 0);
  // The view must show both kinds of pixel for the check to mean anything.
  EXPECT_GT(marked, kWidth * kHeight / 50);
  EXPECT_GT(tinted, kWidth * kHeight / 50);
}

TEST_F(FogViews, AboveTheSlabNothingIsMarkedAndTheSkyStaysClear) {
  const double eye[3] = {-140, -140, 80};
  const double target[3] = {0, 0, 0};
  const RgbImage bare = render(eye, target, eye[2], false);
  const RgbImage outside = render(eye, target, eye[2], true);
  const std::vector<uint8_t> stencil = readStencil();
  ASSERT_TRUE(pngWriteRgb(outputPath("fog_outside.png").c_str(), outside.width, outside.height,
                          outside.pixels.data()));

  // The frame's top rows look above the horizon, where no plane below the
  // eye can appear: only a tint could change them.
  constexpr int kSkyRows = 4;
  int marks = 0;
  int changed = 0;
  int skyChanged = 0;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      marks += stencil[static_cast<size_t>(y) * kWidth + x] != 0 ? 1 : 0;
      const bool same = std::equal(bare.at(x, y), bare.at(x, y) + 3, outside.at(x, y));
      changed += same ? 0 : 1;
      skyChanged += (y < kSkyRows && !same) ? 1 : 0;
    }
  }
  EXPECT_EQ(marks, 0);
  EXPECT_EQ(skyChanged, 0);
  EXPECT_GT(changed, kWidth * kHeight / 4);
}

} // namespace
