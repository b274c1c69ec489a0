// fog_params_compare.h - field-by-field comparison of two FogTextureParams
// blocks for texture tests (padding bytes are not compared; reals by bit
// pattern, so NaNs compare too).
#ifndef FOG_TESTS_FOG_PARAMS_COMPARE_H
#define FOG_TESTS_FOG_PARAMS_COMPARE_H

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "fog_params.h"

template <typename T>
inline bool fogSameBits(const T &a, const T &b) {
  return std::memcmp(&a, &b, sizeof(T)) == 0;
}

// Names the fields in which `actual` differs from `expected`; empty when none.
inline std::string fogParamsDifference(const FogTextureParams &actual,
                                       const FogTextureParams &expected) {
  std::string out;
  const auto check = [&out](bool same, const char *field) {
    if (!same) {
      out += out.empty() ? "" : ", ";
      out += field;
    }
  };
  check(fogSameBits(actual.relativeCoords, expected.relativeCoords), "relativeCoords");
  check(fogSameBits(actual.driftSpeed, expected.driftSpeed), "driftSpeed");
  check(fogSameBits(actual.swirlSpeed, expected.swirlSpeed), "swirlSpeed");
  check(fogSameBits(actual.patternScaleZ, expected.patternScaleZ), "patternScaleZ");
  check(fogSameBits(actual.patternOffsetZ, expected.patternOffsetZ), "patternOffsetZ");
  check(fogSameBits(actual.primaryColorName, expected.primaryColorName), "primaryColorName");
  check(fogSameBits(actual.primaryColor, expected.primaryColor), "primaryColor");
  check(fogSameBits(actual.minimumDensity, expected.minimumDensity), "minimumDensity");
  check(fogSameBits(actual.maximumDensity, expected.maximumDensity), "maximumDensity");
  check(fogSameBits(actual.thickness, expected.thickness), "thickness");
  check(fogSameBits(actual.contrast, expected.contrast), "contrast");
  check(fogSameBits(actual.levelOfDetail, expected.levelOfDetail), "levelOfDetail");
  check(fogSameBits(actual.useUV, expected.useUV), "useUV");
  check(fogSameBits(actual.animated, expected.animated), "animated");
  check(actual.timeSource == expected.timeSource, "timeSource");
  return out;
}

#define EXPECT_FOG_PARAMS_EQ(actual, expected) \
  EXPECT_EQ(fogParamsDifference((actual), (expected)), "") << "fields that differ"

#endif
