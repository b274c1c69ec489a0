// The shading-point transform: per-view set-up (views, units, screen, host
// point, ray tracer, slots) and the per-sample carrying of view, screen and
// u,v points into pattern space.
#include "point_transform.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "cad_texture_fixture.h"

namespace {

struct Pattern {
  std::array<double, 3> scale{1.0, 1.0, 1.0};
  std::array<double, 3> offset{0.0, 0.0, 0.0};
  int32_t mapMode = 0;
  int32_t relativeCoords = 0;
  float inverseScaleZ = 1.0f;
};

class PointTransformTest : public CadTextureTest {
 protected:
  // A current instance with the given pattern, as the sample binding would
  // have completed it.
  static TextureInstance *makeCurrent(const Pattern &pattern) {
    textureInstance_create(77, 1, "Transform");
    TextureInstance *instance = textureInstance_current();
    for (int j = 0; j < 3; ++j) {
      instance->patternScale[j] = pattern.scale[j];
      instance->patternOffset[j] = pattern.offset[j];
    }
    instance->mapMode = pattern.mapMode;
    instance->relativeCoords = pattern.relativeCoords;
    instance->inverseScaleZ = pattern.inverseScaleZ;
    return instance;
  }

  static std::array<float, 3> carry(const TextureSample &sample) {
    setUpViewTransform(&sample);
    std::array<float, 3> point{-99.0f, -99.0f, -99.0f};
    transformSamplePoint(point.data(), &sample);
    return point;
  }
};

using Point = std::array<float, 3>;

TEST_F(PointTransformTest, ViewPointsThroughScaleOffsetRotationUnitsAndOrigins) {
  const std::array<double, 9> quarterTurn{0.0, 1.0, 0.0, -1.0, 0.0, 0.0, 0.0, 0.0, 1.0};
  struct Case {
    const char *what;
    Pattern pattern;
    cadhost::ViewInfo view;
    double uorPerMaster, uorPerSub;
    std::array<double, 3> activePoint;
    Point viewPoint;
    Point relativeOrigin;
    Point expected;
  };
  const Case cases[] = {
      {"identity",
       {},
       {},
       1.0,
       1.0,
       {0, 0, 0},
       {3.25f, -7.5f, 11.0f},
       {5, 5, 5},
       {3.25f, -7.5f, 11.0f}},
      {"scale 2", {{2, 2, 2}}, {}, 1.0, 1.0, {0, 0, 0}, {2, 4, 6}, {}, {1, 2, 3}},
      {"scale 2, offset 1",
       {{2, 2, 2}, {1, 1, 1}},
       {},
       1.0,
       1.0,
       {0, 0, 0},
       {2, 4, 6},
       {},
       {0, 1, 2}},
      {"relative origin",
       {.relativeCoords = 1, .inverseScaleZ = 0.5f},
       {},
       1.0,
       1.0,
       {0, 0, 0},
       {2, 4, 6},
       {1, 1, 2},
       {1, 3, 5}},
      {"master units", {}, {}, 1000.0, 10.0, {0, 0, 0}, {1000, 2000, -500}, {}, {1, 2, -0.5f}},
      {"sub-units for map mode 2",
       {.mapMode = 2},
       {},
       1000.0,
       10.0,
       {0, 0, 0},
       {10, 20, 30},
       {},
       {1, 2, 3}},
      {"host point 54 in pattern units, taken away last",
       {},
       {},
       2.0,
       1.0,
       {10, 20, 30},
       {12, 20, 30},
       {},
       {1, 0, 0}},
      {"view origin and rotation",
       {},
       {{10, 0, 0}, quarterTurn, 2},
       1.0,
       1.0,
       {0, 0, 0},
       {1, 2, 3},
       {},
       {8, 1, 3}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    textureInstance_releaseAll();
    cadhost::setView(5, c.view);
    cadhost::setUorPerMaster(c.uorPerMaster);
    cadhost::setUorPerSub(c.uorPerSub);
    cadhost::setActivePoint(c.activePoint);
    makeCurrent(c.pattern);
    TextureSample sample = viewSample(77, 5, c.viewPoint[0], c.viewPoint[1], c.viewPoint[2]);
    for (int j = 0; j < 3; ++j) sample.relativeOrigin[j] = c.relativeOrigin[j];
    EXPECT_EQ(carry(sample), c.expected);
  }
}

TEST_F(PointTransformTest, ThePointIsRoundedToSinglePrecisionAfterEachStep) {
  // 2^24 + 1 is no float: a coordinate that holds it between two steps
  // comes out as 2^24, and the next step then leaves 0 instead of 1.
  constexpr double kTwoTo24 = 16777216.0;
  struct Case {
    const char *what;
    double offsetX;
    Point viewPoint;
    Point relativeOrigin;
    std::array<double, 3> activePoint;
    Point expected;
  };
  const Case cases[] = {
      {"after rotation and translation",
       -kTwoTo24,
       {1, 0, 0},
       {16777216.0f, 0, 0},
       {0, 0, 0},
       {0, 0, 0}},
      {"after the relative origin", -kTwoTo24, {0, 0, 0}, {-1, 0, 0}, {kTwoTo24, 0, 0}, {0, 0, 0}},
      // inverseScaleZ x relativeOrigin z is a double product: 1.5 - (1/3 as a
      // float) x 3 is just below 0.5, where a product rounded to single
      // precision first (1.0) would give 0.5.
      {"z of the relative origin",
       0.0,
       {0, 0, 1.5f},
       {0, 0, 3},
       {0, 0, 0},
       {0, 0, 0.49999997019767761f}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    textureInstance_releaseAll();
    cadhost::setView(5, {});
    cadhost::setActivePoint(c.activePoint);
    makeCurrent(
        {.offset = {c.offsetX, 0.0, 0.0}, .relativeCoords = 1, .inverseScaleZ = float(1.0 / 3.0)});
    TextureSample sample = viewSample(77, 5, c.viewPoint[0], c.viewPoint[1], c.viewPoint[2]);
    for (int j = 0; j < 3; ++j) sample.relativeOrigin[j] = c.relativeOrigin[j];
    EXPECT_EQ(carry(sample), c.expected);
  }
}

TEST_F(PointTransformTest, TheFirstPointBitTheSampleCarriesDecides) {
  cadhost::setActivePoint({1.0, 2.0, 4.0});
  cadhost::setView(5, {{6.0, 7.0, 8.0}, {1, 0, 0, 0, 1, 0, 0, 0, 1}, 0});
  TextureInstance *instance = makeCurrent({.relativeCoords = 1});

  // View point over screen point.
  TextureSample both = viewSample(77, 5, 1.0f, 1.0f, 1.0f);
  both.flags |= SAMPLE_SCREEN_POINT;
  both.screenPoint[0] = 500.0f;
  both.screenW = 1.0f;
  EXPECT_EQ(carry(both), (Point{6.0f, 6.0f, 5.0f}));

  // u,v: no rotation, no translation and no relative correction; only the
  // host point is taken away.
  TextureSample uv = sampleFor(77, SAMPLE_UV, 5);
  uv.u = 0.75f;
  uv.v = 0.5f;
  uv.relativeOrigin[0] = 100.0f;
  EXPECT_EQ(carry(uv), (Point{-0.25f, -1.5f, -4.0f}));

  // No point at all: the view origin, with the relative correction.
  TextureSample none = sampleFor(77, 0, 5);
  none.relativeOrigin[2] = 1.0f;
  EXPECT_EQ(carry(none), (Point{5.0f, 5.0f, 3.0f}));
  EXPECT_NE(instance->currentSlot, nullptr);
}

TEST_F(PointTransformTest, ScreenPointsWithAndWithoutTheSpotTable) {
  const std::array<float, 16> toView{2, 0, 0, 9, 0, 3, 0, 9, 0, 0, 4, 9, 10, 20, 30, 9};
  struct Case {
    const char *what;
    bool table;
    uint32_t flags;
    cadhost::ScreenRect rect;
    float nearDepth, farDepth;
    Point screen;
    float w;
    Point expected;
  };
  const Case cases[] = {
      // Without a table the screen is 256 x 256 with depth 0..1; its centre
      // carries to the translation, here the view origin (6, 7, 8).
      {"centre without a table", false, 0, {}, 0, 1, {128, 128, 0.5f}, 1, {6, 7, 8}},
      {"corner without a table", false, 0, {}, 0, 1, {256, 0, 1}, 1, {7, 6, 9}},
      {"table rectangle and depth", true, 0, {0, 100, 50, 0}, 0, 2, {75, 25, 1.5f}, 2, {7, 7, 9}},
      {"equal edges give no extent", true, 0, {40, 40, 50, 0}, 0, 2, {75, 25, 1.5f}, 2, {6, 7, 9}},
      {"perspective",
       true,
       SAMPLE_PERSPECTIVE,
       {0, 100, 50, 0},
       0,
       2,
       {75, 25, 1.5f},
       2,
       {28, 47, 72}},
      {"perspective without a table keeps a zero matrix",
       false,
       SAMPLE_PERSPECTIVE,
       {},
       0,
       1,
       {75, 25, 1.5f},
       2,
       {6, 7, 8}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    textureInstance_releaseAll();
    cadhost::reset();
    cadhost::setView(5, {{6.0, 7.0, 8.0}, {1, 0, 0, 0, 1, 0, 0, 0, 1}, 0});
    cadhost::setScreenRect(c.rect);
    cadhost::setDepthRange(c.nearDepth, c.farDepth);
    cadhost::setScreenToView(toView);
    if (c.table) cadhost::publish(cadhost::Symbol::SpotFunctions);
    makeCurrent({});
    TextureSample sample = sampleFor(77, SAMPLE_SCREEN_POINT | c.flags, 5);
    for (int j = 0; j < 3; ++j) sample.screenPoint[j] = c.screen[j];
    sample.screenW = c.w;
    EXPECT_EQ(carry(sample), c.expected);
    EXPECT_EQ(cadhost::callCount("rendloadSpotFuncs[126]"),
              c.table && (c.flags & SAMPLE_PERSPECTIVE) ? 1 : 0);
  }
}

TEST_F(PointTransformTest, APreparedSlotIsSelectedAndLockedButNeverRecomputed) {
  cadhost::setView(5, {{1.0, 0.0, 0.0}, {1, 0, 0, 0, 1, 0, 0, 0, 1}, 0});
  cadhost::setView(6, {{2.0, 0.0, 0.0}, {1, 0, 0, 0, 1, 0, 0, 0, 1}, 3});
  TextureInstance *instance = makeCurrent({});

  const TextureSample first = viewSample(77, 5, 0, 0, 0);
  EXPECT_EQ(carry(first), (Point{1, 0, 0}));
  EXPECT_EQ(instance->currentSlot, &instance->transformSlots[1]);
  EXPECT_EQ(carry(viewSample(77, 6, 0, 0, 0)), (Point{2, 0, 0}));
  EXPECT_EQ(instance->currentSlot, &instance->transformSlots[4]);
  EXPECT_EQ(instance->viewLocked, 0);

  // The view moves, but its slot is already prepared.
  cadhost::setView(5, {{50.0, 0.0, 0.0}, {1, 0, 0, 0, 1, 0, 0, 0, 1}, 0});
  const int32_t setUpsBefore = cadhost::callCount("xelParams_getActive");
  EXPECT_EQ(carry(first), (Point{1, 0, 0}));
  EXPECT_EQ(instance->currentSlot, &instance->transformSlots[1]);
  EXPECT_EQ(instance->viewLocked, 1);
  EXPECT_EQ(cadhost::callCount("xelParams_getActive"), setUpsBefore);
}

TEST_F(PointTransformTest, WindowlessAndUnnumberedViewsUseSlotZero) {
  // Window 0 is the preview's: no view is asked for. Views the host numbers
  // outside 0..7 have no slot of their own and are taken as no window.
  struct Case {
    int32_t windowId;
    int32_t viewNumber;
  };
  const Case cases[] = {{0, 0}, {5, 8}, {5, 12}, {5, -5}, {5, 2147483647}, {-1, 3}};
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::Message() << c.windowId << " " << c.viewNumber);
    textureInstance_releaseAll();
    cadhost::reset();
    cadhost::setView(c.windowId, {{9.0, 9.0, 9.0}, {0, 1, 0, -1, 0, 0, 0, 0, 1}, c.viewNumber});
    TextureInstance *instance = makeCurrent({});
    const bool numbered = c.windowId != 0 && c.viewNumber >= 0 && c.viewNumber <= 7;
    const Point expected = numbered ? Point{7, 10, 12} : Point{1, 2, 3};
    EXPECT_EQ(carry(viewSample(77, c.windowId, 1, 2, 3)), expected);
    EXPECT_EQ(instance->currentSlot, &instance->transformSlots[numbered ? c.viewNumber + 1 : 0]);
    EXPECT_EQ(cadhost::callCount("xelView_getInfoFromWindow"), c.windowId == 0 ? 0 : 1);
  }
}

TEST_F(PointTransformTest, ZeroPatternScalesFlattenTheirAxisWithoutInfinities) {
  cadhost::setView(5, {{4.0, 6.0, 8.0}, {1, 0, 0, 0, 1, 0, 0, 0, 1}, 0});
  TextureInstance *instance = makeCurrent({{2.0, 0.0, 0.0}, {0.0, 1.5, 2.5}});
  const Point point = carry(viewSample(77, 5, 2, 4, 6));
  const TransformSlot &slot = *instance->currentSlot;
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(slot.rotation[i * 3 + 1], 0.0);
    EXPECT_EQ(slot.rotation[i * 3 + 2], 0.0);
  }
  EXPECT_EQ(point, (Point{3.0f, -1.5f, -2.5f}));
}

TEST_F(PointTransformTest, TheRayTracersAlternativeReplacesOriginAndRotationIndependently) {
  const std::array<double, 9> quarterTurn{0.0, 1.0, 0.0, -1.0, 0.0, 0.0, 0.0, 0.0, 1.0};
  struct Case {
    const char *what;
    bool altFlag, loaded, needPublished;
    int32_t need;
    bool origin, rotation;
    Point expected;
  };
  const Case cases[] = {
      {"both replaced", true, true, true, 1, true, true, {98, 201, 303}},
      {"origin only", true, true, true, 1, true, false, {101, 202, 303}},
      {"rotation only", true, true, true, 1, false, true, {8, 21, 33}},
      {"no alternative flag", false, true, true, 1, true, true, {11, 22, 33}},
      {"ray tracer not loaded", true, false, true, 1, true, true, {11, 22, 33}},
      {"no need published", true, true, false, 1, true, true, {11, 22, 33}},
      {"need is 0", true, true, true, 0, true, true, {11, 22, 33}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    textureInstance_releaseAll();
    cadhost::reset();
    cadhost::setView(5, {{10.0, 20.0, 30.0}, {1, 0, 0, 0, 1, 0, 0, 0, 1}, 0});
    cadhost::setRayTracerLoaded(c.loaded);
    cadhost::setNeedAltTransformValue(c.need);
    if (c.needPublished) cadhost::publish(cadhost::Symbol::NeedAltTransform);
    cadhost::setAltRenderOrigin({100.0, 200.0, 300.0});
    cadhost::setAltRenderTransform(quarterTurn);
    if (c.origin) cadhost::publish(cadhost::Symbol::AltRenderOrigin);
    if (c.rotation) cadhost::publish(cadhost::Symbol::AltRenderTransform);
    makeCurrent({});
    TextureSample sample = viewSample(77, 5, 1, 2, 3);
    if (c.altFlag) sample.flags |= SAMPLE_ALT_RENDER;
    EXPECT_EQ(carry(sample), c.expected);
  }
}

TEST_F(PointTransformTest, WithoutAChosenSlotThePointIsTheOrigin) {
  makeCurrent({});
  const TextureSample sample = viewSample(77, 5, 1, 2, 3);
  Point point{7, 7, 7};
  transformSamplePoint(point.data(), &sample);
  EXPECT_EQ(point, (Point{0, 0, 0}));
}

} // namespace
