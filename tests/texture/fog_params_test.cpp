// The parameter block's defaults and the parameter table.
#include "fog_params.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(FogParamDefaults, HoldTheTunedValues) {
  const FogTextureParams &d = fogParamDefaults;
  EXPECT_EQ(d.relativeCoords, 1);
  EXPECT_EQ(double(d.driftSpeed), 0.30000001192092896);
  EXPECT_EQ(d.swirlSpeed, 90.0f);
  EXPECT_EQ(d.patternScaleZ, 1.0);
  EXPECT_EQ(d.patternOffsetZ, 0.0);
  const char name[20] = "Fog Color";
  EXPECT_EQ(std::memcmp(d.primaryColorName, name, sizeof name), 0);
  EXPECT_EQ(d.primaryColor[0], 1.0);
  EXPECT_EQ(d.primaryColor[1], 0.8999999761581421);
  EXPECT_EQ(d.primaryColor[2], 0.800000011920929);
  EXPECT_EQ(double(d.minimumDensity), 0.10000000149011612);
  EXPECT_EQ(d.maximumDensity, 1.0f);
  EXPECT_EQ(d.thickness, 1.0f);
  EXPECT_EQ(d.contrast, 1.0f);
  EXPECT_EQ(d.levelOfDetail, 3.0f);
  EXPECT_EQ(d.useUV, 1);
  EXPECT_EQ(d.animated, 0);
  EXPECT_EQ(d.timeSource, &staticZeroTime);
  EXPECT_EQ(*d.timeSource, 0.0);
}

TEST(FogParameterTable, TwelveRowsIntoTheWorkingBlockThenAZeroRow) {
  struct Row {
    const char *name;
    const void *field;
    int32_t type;
  };
  FogTextureParams &c = currentFogParams;
  const Row rows[FOG_PARAMETER_COUNT] = {
      {"fog_relative_coords", &c.relativeCoords, PARAM_INT32},
      {"fog_pattern_scale_z", &c.patternScaleZ, PARAM_DOUBLE},
      {"fog_pattern_offset_z", &c.patternOffsetZ, PARAM_DOUBLE},
      {"fog_primary_color_name", c.primaryColorName, PARAM_NAME20},
      {"fog_primary_color", c.primaryColor, PARAM_DOUBLE3},
      {"fog_minimum_density", &c.minimumDensity, PARAM_FLOAT},
      {"fog_maximum_density", &c.maximumDensity, PARAM_FLOAT},
      {"fog_drift_speed", &c.driftSpeed, PARAM_FLOAT},
      {"fog_swirl_speed", &c.swirlSpeed, PARAM_FLOAT},
      {"fog_thickness", &c.thickness, PARAM_FLOAT},
      {"fog_contrast", &c.contrast, PARAM_FLOAT},
      {"fog_level_of_detail", &c.levelOfDetail, PARAM_FLOAT},
  };
  for (int i = 0; i < FOG_PARAMETER_COUNT; ++i) {
    const ParameterDescriptor &d = fogParameterTable[i];
    ASSERT_NE(d.name, nullptr) << "row " << i;
    EXPECT_STREQ(d.name, rows[i].name);
    EXPECT_EQ(d.value, rows[i].field) << rows[i].name;
    EXPECT_EQ(d.type, rows[i].type) << rows[i].name;
    EXPECT_EQ(d.size, 0) << rows[i].name;
    EXPECT_EQ(d.count, nullptr) << rows[i].name;
  }
  const ParameterDescriptor &end = fogParameterTable[FOG_PARAMETER_COUNT];
  EXPECT_EQ(end.name, nullptr);
  EXPECT_EQ(end.value, nullptr);
  EXPECT_EQ(end.type, 0);
  EXPECT_EQ(end.size, 0);
  EXPECT_EQ(end.count, nullptr);
}

} // namespace
