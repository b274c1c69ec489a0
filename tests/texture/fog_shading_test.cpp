// Fog shading: colour and transparency of a shading point, and the clamps
// written back into the parameter block.
#include "fog_shading.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "fog_params_compare.h"
#include "noise3.h"

namespace {

struct Record {
  double red, green, blue, transparency;
};

void expectRecord(const TextureColor &color, const Record &expected, const char *what) {
  EXPECT_EQ(double(color.red), expected.red) << what;
  EXPECT_EQ(double(color.green), expected.green) << what;
  EXPECT_EQ(double(color.blue), expected.blue) << what;
  EXPECT_EQ(double(color.transparency), expected.transparency) << what;
}

TEST(FogShading, SwirlConstantIsTheTunedDouble) {
  EXPECT_EQ(FOG_SWIRL_DEGREES_TO_RADIANS, 0.017453292519943334);
}

TEST(FogShading, KnownRecords) {
  struct Case {
    const char *what;
    std::function<void(FogTextureParams &)> change;
    float point[3];
    double time;
    Record expected;
  };
  const auto same = [](FogTextureParams &) {};
  const Record fullDensity = {255, 229.5, 204, 0};
  const Case cases[] = {
      {"origin at time 0",
       same,
       {0, 0, 0},
       0.0,
       {123.20397186279297, 110.88357543945312, 98.56317901611328, 131.7960205078125}},
      {"origin at time 1",
       same,
       {0, 0, 0},
       1.0,
       {35.9576301574707, 32.36186599731445, 28.766103744506836, 219.04237365722656}},
      {"(1, 2, 3) at time 0",
       same,
       {1, 2, 3},
       0.0,
       {117.63583374023438, 105.87224578857422, 94.1086654663086, 137.36416625976562}},
      {"level of detail 0",
       [](FogTextureParams &p) { p.levelOfDetail = 0; },
       {0.3f, 7, -2},
       0.5,
       {25.5, 22.94999885559082, 20.400001525878906, 229.5}},
      {"contrast 0", [](FogTextureParams &p) { p.contrast = 0; }, {0, 0, 0}, 0.0, fullDensity},
      {"contrast 0 elsewhere",
       [](FogTextureParams &p) { p.contrast = 0; },
       {-4, 0.5f, 9},
       3.0,
       fullDensity},
      {"thickness 100",
       [](FogTextureParams &p) { p.thickness = 100; },
       {0, 0, 0},
       0.0,
       fullDensity},
      {"equal densities",
       [](FogTextureParams &p) { p.minimumDensity = p.maximumDensity = 0.5f; },
       {0, 0, 0},
       0.0,
       {127.5, 114.75, 102, 127.5}},
      {"equal densities elsewhere",
       [](FogTextureParams &p) { p.minimumDensity = p.maximumDensity = 0.5f; },
       {1, 2, 3},
       7.0,
       {127.5, 114.75, 102, 127.5}},
      {"density 2",
       [](FogTextureParams &p) {
         p.minimumDensity = 0;
         p.maximumDensity = 2;
         p.thickness = 100;
       },
       {0, 0, 0},
       0.0,
       {510, 459, 408, -255}},
      {"level of detail 30",
       [](FogTextureParams &p) { p.levelOfDetail = 30; },
       {0, 0, 0},
       0.0,
       {114.85101318359375, 103.36590576171875, 91.88080596923828, 140.14898681640625}},
      {"thickness -1 and contrast NaN",
       [](FogTextureParams &p) {
         p.thickness = -1;
         p.contrast = std::numeric_limits<float>::quiet_NaN();
       },
       {0, 0, 0},
       0.0,
       fullDensity},
  };
  for (const Case &c : cases) {
    FogTextureParams params = fogParamDefaults;
    c.change(params);
    TextureColor color = {-1, -1, -1, -1};
    shadeFogPoint(color, params, c.point, c.time);
    expectRecord(color, c.expected, c.what);
  }
}

TEST(FogShading, SecondPointOfTheOriginGivesTheSecondSum) {
  // The origin at time 0 moves to this point before the second sum.
  const float second[3] = {2.4931342601776123f, 1.0931341648101807f, -2.4931342601776123f};
  EXPECT_EQ(fractalSum(second, 3.0), -0.4257253662207904);
}

// The default block's shading of `point` at `time`, formed step by step:
// the displaced point in single precision, then the swirl's y term cy and
// z term sz each either kept as a double or rounded to single precision.
struct SwirlRounding {
  bool cyToFloat;
  bool szToFloat;
};

Record defaultRecordWith(const float point[3], double time, SwirlRounding rounding) {
  const FogTextureParams &d = fogParamDefaults;
  const double levelOfDetail = d.levelOfDetail;
  const double a = std::fabs(fractalSum(point, levelOfDetail));
  const float x1 = float((double(point[0]) + a) + 2.0);
  const float y1 = float((double(point[1]) + a) + 0.5);
  const float z1 = float((double(point[2]) - 2.0) - a);
  const double angle = (double(d.swirlSpeed) * time) * 0.017453292519943334;
  const double cyDouble = std::cos(angle) * double(0.1f);
  const double szDouble = std::sin(angle) * double(0.14f);
  const double cy = rounding.cyToFloat ? double(float(cyDouble)) : cyDouble;
  const double sz = rounding.szToFloat ? double(float(szDouble)) : szDouble;
  const float moved[3] = {float(double(x1) - double(d.driftSpeed) * time), float(cy + double(y1)),
                          float(sz + double(z1))};

  const float base = float(std::fabs(fractalSum(moved, levelOfDetail)) * double(d.thickness));
  double shaped = std::pow(double(base), double(d.contrast));
  if (shaped > 1.0) shaped = 1.0;
  const double density =
      shaped * (double(d.maximumDensity) - double(d.minimumDensity)) + double(d.minimumDensity);
  return {float((density * d.primaryColor[0]) * 255.0),
          float((density * d.primaryColor[1]) * 255.0),
          float((density * d.primaryColor[2]) * 255.0), float((1.0 - density) * 255.0)};
}

bool sameRecord(const Record &a, const Record &b) {
  return a.red == b.red && a.green == b.green && a.blue == b.blue &&
         a.transparency == b.transparency;
}

TEST(FogShading, SwirlTermsAreRoundedAsTuned) {
  // cy is stored in single precision and sz is not. At these points and
  // times the other choice moves the second point by a unit in the last
  // place and so changes the record.
  struct Case {
    const char *what;
    float point[3];
    double time;
    SwirlRounding other;
  };
  const SwirlRounding tuned = {true, false};
  const Case cases[] = {
      {"cy kept as a double", {0.25f, 0, 0}, 0.375, {false, false}},
      {"sz rounded to single precision", {0, 0, 2}, 0.6875, {true, true}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    const Record expected = defaultRecordWith(c.point, c.time, tuned);
    ASSERT_FALSE(sameRecord(defaultRecordWith(c.point, c.time, c.other), expected))
        << "the case must tell the roundings apart";
    FogTextureParams params = fogParamDefaults;
    TextureColor color = {-1, -1, -1, -1};
    shadeFogPoint(color, params, c.point, c.time);
    expectRecord(color, expected, c.what);
  }
}

TEST(FogShading, ClampsAreWrittenBackAndNothingElseChanges) {
  struct Case {
    float levelOfDetail, thickness, contrast;
    float expectedLevel, expectedThickness, expectedContrast;
  };
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const Case cases[] = {
      {30, -1, nan, 24, 0, 0},
      {24, 2, 0.5f, 24, 2, 0.5f},
      {-2, nan, -3, -2, 0, 0},
  };
  for (const Case &c : cases) {
    FogTextureParams params = fogParamDefaults;
    params.levelOfDetail = c.levelOfDetail;
    params.thickness = c.thickness;
    params.contrast = c.contrast;
    FogTextureParams expected = params;
    expected.levelOfDetail = c.expectedLevel;
    expected.thickness = c.expectedThickness;
    expected.contrast = c.expectedContrast;
    TextureColor color;
    const float point[3] = {0.5f, 0.25f, 2};
    shadeFogPoint(color, params, point, 0.25);
    EXPECT_FOG_PARAMS_EQ(params, expected) << " at level " << c.levelOfDetail;
  }
}

} // namespace
