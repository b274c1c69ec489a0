// The Mist layer's draw slots, checked call by call: scene queries and GL
// calls in order, with their arguments, recorded instead of drawn.
#include <GL/gl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <iomanip>
#include <limits>
#include <string>
#include <vector>

#include "draw_test_scene.h"
#include "fog_draw.h"
#include "recording_gl/recording_gl.h"

namespace {

using recordinggl::Call;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

void recordQuery(const char *operation) {
  recordinggl::record(operation);
}

double f(double value) {
  return static_cast<float>(value);
}

// What one frame must issue, built from the drawing's fixed order; the test
// tables supply the plane elevations and the other values literally.
struct Expected {
  double red = 0.6, green = 0.6, blue = 0.6;
  double alpha = f(0.1);                               // plane colour alpha as passed to glColor4f
  double tintAlpha = f(0.2);                           // tint alpha as passed to glColor4f
  std::vector<double> planeZ;                          // drawing order, offset already added
  double x0 = -10.0, y0 = -20.0, x1 = 30.0, y1 = 40.0; // offset already added
  bool inside = false;
  double width = 64.0, height = 64.0;
  bool tintQuad = true; // false when the window has no pixels
};

std::vector<Call> expectedCalls(const Expected &e) {
  std::vector<Call> c = {
      {"sceneOriginOffset", {}},
      {"glPushAttrib", {double(0xFFFFF)}},
      {"glEnable", {GL_DEPTH_TEST}},
      {"glEnable", {GL_BLEND}},
      {"glDisable", {GL_CULL_FACE}},
      {"glDepthMask", {GL_FALSE}},
      {"glBlendFunc", {GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA}},
      {"glDisable", {GL_LIGHTING}},
      {"glColor4f", {f(e.red), f(e.green), f(e.blue), e.alpha}},
  };
  if (e.inside) {
    c.insert(c.end(), {{"glClearStencil", {0}},
                       {"glEnable", {GL_STENCIL_TEST}},
                       {"glStencilFunc", {GL_ALWAYS, 1, 1}},
                       {"glStencilOp", {GL_KEEP, GL_KEEP, GL_REPLACE}}});
  }
  c.push_back({"glBegin", {GL_QUADS}});
  for (double z : e.planeZ) {
    c.insert(c.end(), {{"glVertex3d", {e.x0, e.y0, z}},
                       {"glVertex3d", {e.x0, e.y1, z}},
                       {"glVertex3d", {e.x1, e.y1, z}},
                       {"glVertex3d", {e.x1, e.y0, z}}});
  }
  c.push_back({"glEnd", {}});
  if (e.inside) {
    c.insert(c.end(), {{"glStencilFunc", {GL_NOTEQUAL, 1, 1}},
                       {"glStencilOp", {GL_KEEP, GL_KEEP, GL_KEEP}},
                       {"glColor4f", {f(e.red), f(e.green), f(e.blue), e.tintAlpha}},
                       {"sceneWindowSize", {}}});
    if (e.tintQuad) {
      const double w = e.width, h = e.height;
      c.insert(c.end(), {{"glMatrixMode", {GL_PROJECTION}},
                         {"glPushMatrix", {}},
                         {"glLoadIdentity", {}},
                         {"gluOrtho2D", {0, w, 0, h}},
                         {"glMatrixMode", {GL_MODELVIEW}},
                         {"glPushMatrix", {}},
                         {"glLoadIdentity", {}},
                         {"glBegin", {GL_QUADS}},
                         {"glVertex2d", {0, 0}},
                         {"glVertex2d", {0, h}},
                         {"glVertex2d", {w, h}},
                         {"glVertex2d", {w, 0}},
                         {"glEnd", {}},
                         {"glDisable", {GL_BLEND}},
                         {"glMatrixMode", {GL_PROJECTION}},
                         {"glPopMatrix", {}},
                         {"glMatrixMode", {GL_MODELVIEW}},
                         {"glPopMatrix", {}}});
    }
  }
  c.push_back({"glPopAttrib", {}});
  return c;
}

class FogDrawCalls : public ::testing::Test {
 protected:
  void SetUp() override {
    recordinggl::clear();
    scene.onQuery = &recordQuery;
  }

  DrawTestScene scene;
};

struct SlabCase {
  const char *name;
  double bottom, top, planeCount, eye;
  std::vector<double> planeZ;
  bool inside;
};

TEST_F(FogDrawCalls, PlanesRunFromTopToBottomAndTintOnlyFromInside) {
  const std::vector<double> none;
  const SlabCase cases[] = {
      {"fifteen planes",
       0,
       140,
       15,
       500,
       {140, 130, 120, 110, 100, 90, 80, 70, 60, 50, 40, 30, 20, 10, 0},
       false},
      {"one plane in the middle", 10, 20, 1, 500, {15}, false},
      {"two planes, top first", 10, 20, 2, 500, {20, 10}, false},
      {"2.9 truncates to two", 10, 20, 2.9, 500, {20, 10}, false},
      {"1.9 truncates to one", 10, 20, 1.9, 500, {15}, false},
      {"0.9 draws none", 10, 20, 0.9, 500, none, false},
      {"zero draws none", 10, 20, 0, 500, none, false},
      {"negative draws none", 10, 20, -3, 500, none, false},
      {"negative, eye inside: still tinted", 10, 20, -3, 15, none, true},
      {"0.9, eye inside: still tinted", 10, 20, 0.9, 15, none, true},
      {"eye inside", 10, 20, 2, 15, {20, 10}, true},
      {"eye at the top", 10, 20, 2, 20, {20, 10}, false},
      {"eye at the bottom", 10, 20, 2, 10, {20, 10}, false},
      {"eye just under the top", 10, 20, 2, std::nextafter(20.0, 0.0), {20, 10}, true},
      {"eye just over the bottom", 10, 20, 2, std::nextafter(10.0, 20.0), {20, 10}, true},
      {"eye below", 10, 20, 2, -5, {20, 10}, false},
      {"top below bottom runs upward", 100, 75, 6, 90, {75, 80, 85, 90, 95, 100}, false},
      {"flat slab", 0, 0, 3, 0, {0, 0, 0}, false},
      {"eye elevation NaN", 10, 20, 2, kNaN, {20, 10}, false},
  };
  for (const SlabCase &c : cases) {
    SCOPED_TRACE(c.name);
    recordinggl::clear();
    DrawTestLayer layer(scene, c.bottom, c.top);
    layer.fog.planeCount = c.planeCount;
    EXPECT_EQ(layer.draw(c.eye), 0);
    Expected e;
    e.planeZ = c.planeZ;
    e.inside = c.inside;
    EXPECT_THAT(recordinggl::calls(), ::testing::ElementsAreArray(expectedCalls(e)));
  }
}

TEST_F(FogDrawCalls, TintAlphaIsTwiceTheDensityUnclamped) {
  struct {
    double density, alpha, tintAlpha;
  } cases[] = {{0.1, f(0.1), f(0.2)}, {0.6, f(0.6), f(1.2)}, {0.0, 0.0, 0.0}, {-0.25, -0.25, -0.5}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.density);
    recordinggl::clear();
    DrawTestLayer layer(scene, 10, 20);
    layer.fog.planeCount = 1;
    layer.fog.density = c.density;
    layer.fog.red = 0.25;
    layer.fog.green = 0.1;
    layer.fog.blue = 1.5;
    layer.draw(15);
    Expected e;
    e.red = 0.25;
    e.green = 0.1;
    e.blue = 1.5;
    e.alpha = c.alpha;
    e.tintAlpha = c.tintAlpha;
    e.planeZ = {15};
    e.inside = true;
    EXPECT_THAT(recordinggl::calls(), ::testing::ElementsAreArray(expectedCalls(e)));
  }
}

TEST_F(FogDrawCalls, DensityIsDoubledBeforeRoundingToFloat) {
  // Doubling commutes with rounding except on the float subnormal grid:
  // 1.5 x 2^-149 rounds to 2^-148, so doubling after rounding would give
  // 2^-147 where the doubled double rounds to 3 x 2^-149.
  const double density = std::ldexp(1.5, -149);
  ASSERT_NE(2.0f * static_cast<float>(density), static_cast<float>(density * 2.0));
  DrawTestLayer layer(scene, 10, 20);
  layer.fog.density = density;
  layer.draw(15);
  std::vector<double> alphas;
  for (const Call &call : recordinggl::calls()) {
    if (call.name == "glColor4f") {
      alphas.push_back(call.args[3]);
    }
  }
  EXPECT_THAT(alphas, ::testing::ElementsAre(f(density), std::ldexp(3.0, -149)));
}

TEST_F(FogDrawCalls, OriginOffsetMovesEveryVertexButNotTheInsideTest) {
  scene.dx = 1000;
  scene.dy = 2000;
  scene.dz = 5;
  scene.width = 320;
  scene.height = 200;
  // Slab 10..20 shifted would be 15..25: eye 22 lies inside only the shifted
  // slab, eye 12 only the unshifted one.
  struct {
    double eye;
    bool inside;
  } cases[] = {{22, false}, {12, true}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.eye);
    recordinggl::clear();
    DrawTestLayer layer(scene, 10, 20);
    layer.fog.planeCount = 3;
    layer.draw(c.eye);
    Expected e;
    e.planeZ = {25, 20, 15};
    e.x0 = 990;
    e.y0 = 1980;
    e.x1 = 1030;
    e.y1 = 2040;
    e.inside = c.inside;
    e.width = 320;
    e.height = 200;
    EXPECT_THAT(recordinggl::calls(), ::testing::ElementsAreArray(expectedCalls(e)));
  }
}

TEST_F(FogDrawCalls, HiddenLayerTouchesNeitherSceneNorGl) {
  DrawTestLayer layer(scene, 10, 20);
  layer.fog.visible = 0;
  for (double eye : {15.0, 500.0}) {
    EXPECT_EQ(layer.draw(eye), 0);
    const ViewPoint viewPoint{0, 0, eye};
    EXPECT_EQ(layer.methods.secondDraw(&layer.layer, 0, 0, 0, &viewPoint, 0, 0, nullptr), 0);
  }
  EXPECT_TRUE(recordinggl::calls().empty());
  EXPECT_EQ(scene.originOffsetCalls, 0);
  EXPECT_EQ(scene.windowSizeCalls, 0);
}

TEST_F(FogDrawCalls, SecondDrawIssuesTheSameFrame) {
  DrawTestLayer layer(scene, 10, 20);
  layer.fog.planeCount = 4;
  for (double eye : {15.0, 500.0}) {
    SCOPED_TRACE(eye);
    const ViewPoint viewPoint{7, 8, eye};
    recordinggl::clear();
    layer.methods.draw(&layer.layer, 0, 0, 0, &viewPoint, 0, 0, nullptr);
    const std::vector<Call> first = recordinggl::calls();
    recordinggl::clear();
    EXPECT_EQ(layer.methods.secondDraw(&layer.layer, 9, 9, 9, &viewPoint, 9, 9, &layer), 0);
    EXPECT_EQ(recordinggl::calls(), first);
    EXPECT_FALSE(first.empty());
  }
  EXPECT_EQ(layer.methods.reserved14, nullptr);
}

TEST_F(FogDrawCalls, WindowWithoutPixelsGetsNoTintQuad) {
  // An empty ortho box would be a GL error; with no pixels there is nothing
  // to cover, so the frame ends after asking for the size.
  const int32_t sizes[][2] = {{0, 64}, {64, 0}, {-1, -1}};
  for (const auto &size : sizes) {
    SCOPED_TRACE(testing::Message() << size[0] << " x " << size[1]);
    recordinggl::clear();
    scene.width = size[0];
    scene.height = size[1];
    DrawTestLayer layer(scene, 10, 20);
    layer.fog.planeCount = 1;
    layer.draw(15);
    Expected e;
    e.planeZ = {15};
    e.inside = true;
    e.tintQuad = false;
    EXPECT_THAT(recordinggl::calls(), ::testing::ElementsAreArray(expectedCalls(e)));
  }
}

TEST_F(FogDrawCalls, MissingViewPointOrSceneFallsBackQuietly) {
  DrawTestLayer layer(scene, 10, 20);
  layer.fog.planeCount = 1;
  // No viewpoint: the eye's elevation is unknown, so no tint.
  EXPECT_EQ(layer.methods.draw(&layer.layer, 0, 0, 0, nullptr, 0, 0, nullptr), 0);
  Expected e;
  e.planeZ = {15};
  EXPECT_THAT(recordinggl::calls(), ::testing::ElementsAreArray(expectedCalls(e)));

  // No scene, or a layer without its record: nothing to place planes by.
  recordinggl::clear();
  layer.fog.scene = nullptr;
  EXPECT_EQ(layer.draw(15), 0);
  FeatureLayer bare{nullptr, &layer.methods, nullptr, 0};
  const ViewPoint viewPoint{0, 0, 15};
  EXPECT_EQ(layer.methods.draw(&bare, 0, 0, 0, &viewPoint, 0, 0, nullptr), 0);
  EXPECT_EQ(layer.methods.draw(nullptr, 0, 0, 0, &viewPoint, 0, 0, nullptr), 0);
  EXPECT_TRUE(recordinggl::calls().empty());
}

TEST(FogPlaneCount, ConversionSaturatesAndNaNGivesZero) {
  constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
  constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
  const struct {
    double count;
    int32_t truncated;
    int32_t drawn;
  } cases[] = {
      {kNaN, 0, 0},
      {-kNaN, 0, 0},
      {kInf, kMax, kFogMaxDrawnPlanes},
      {-kInf, kMin, 0},
      {1e300, kMax, kFogMaxDrawnPlanes},
      {-1e300, kMin, 0},
      {2147483647.0, kMax, kFogMaxDrawnPlanes},
      {2147483647.75, kMax, kFogMaxDrawnPlanes},
      {2147483648.0, kMax, kFogMaxDrawnPlanes},
      {2147483646.5, 2147483646, kFogMaxDrawnPlanes},
      {-2147483648.0, kMin, 0},
      {-2147483648.75, kMin, 0},
      {-2147483649.0, kMin, 0},
      {-2147483647.5, -2147483647, 0},
      {-0.5, 0, 0},
      {2.9, 2, 2},
      {15.0, 15, 15},
      {4095.99, 4095, 4095},
      {4096.0, 4096, 4096},
      {4097.0, 4097, kFogMaxDrawnPlanes},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(testing::Message() << std::setprecision(17) << c.count);
    EXPECT_EQ(fogLayer_truncatePlaneCount(c.count), c.truncated);
    EXPECT_EQ(fogLayer_planesDrawn(c.count), c.drawn);
  }
}

TEST_F(FogDrawCalls, HugeCountsDrawTheCappedStackFromTopToBottom) {
  ASSERT_EQ(kFogMaxDrawnPlanes, 4096);
  for (double count : {kInf, 1e10, 3e9, 5000.0}) {
    SCOPED_TRACE(count);
    recordinggl::clear();
    DrawTestLayer layer(scene, 0, 4095);
    layer.fog.planeCount = count;
    layer.draw(4000);
    std::vector<double> z;
    for (const Call &call : recordinggl::calls()) {
      if (call.name == "glVertex3d") {
        z.push_back(call.args[2]);
      }
    }
    // The capped stack spaces 4096 planes one unit apart over 0..4095.
    ASSERT_EQ(z.size(), 4u * 4096u);
    for (size_t plane = 0; plane < 4096; ++plane) {
      ASSERT_EQ(z[plane * 4], 4095.0 - static_cast<double>(plane)) << "plane " << plane;
    }
    EXPECT_EQ(recordinggl::calls().back(), (Call{"glPopAttrib", {}}));
  }
}

} // namespace
