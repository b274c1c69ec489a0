// The module's entry points: the shading frame of dlmTextureProcedure (u,v
// or transformed point, time, shading), the release of the caches by
// dlmTextureCleanup, initialize and the capability bits.
#include <gtest/gtest.h>

#include <array>

#include "cad_texture_fixture.h"
#include "fog_shading.h"
#include "sample_instance.h"

namespace {

using EntryPointsTest = CadTextureTest;

using Record = std::array<float, 4>;

Record recordOf(const TextureColor &color) {
  return {color.red, color.green, color.blue, color.transparency};
}

Record shade(const TextureSample &sample) {
  TextureColor color{-1, -1, -1, -1};
  EXPECT_EQ(dlmTextureProcedure(&color, &sample), &color);
  return recordOf(color);
}

// The fog of the default parameters at the pattern point (1, 2, 3), time 0.
constexpr Record kDefaultsAt123{117.63583374023438f, 105.87224578857422f, 94.1086654663086f,
                                137.36416625976562f};

TEST_F(EntryPointsTest, AViewSampleIsShadedAtItsPatternPoint) {
  // Scale 2 carries the view point (2, 4, 6) to (1, 2, 3).
  cadhost::MaterialSpec described{.id = 8, .name = "Scaled"};
  described.map1 = cadhost::MapSpec{
      .mode = 1, .patternScale = {2.0, 2.0}, .parameterText = "fog_pattern_scale_z 2"};
  cadhost::addMaterial(described);
  cadhost::setView(4, {});
  EXPECT_EQ(shade(viewSample(8, 4, 2.0f, 4.0f, 6.0f)), kDefaultsAt123);
}

TEST_F(EntryPointsTest, WithUVAddressingThePointIsUVWhateverTheSampleSays) {
  // Scale, offset and relative origin would all move a 3-D point.
  cadhost::MaterialSpec described{.id = 9, .name = "Addressed by u,v"};
  described.map1 =
      cadhost::MapSpec{.mode = 0,
                       .patternScale = {2.0, 5.0},
                       .patternOffset = {7.0, 8.0},
                       .parameterText = "fog_relative_coords 1\nfog_pattern_offset_z 3"};
  cadhost::addMaterial(described);
  cadhost::setActivePoint({9.0, 9.0, 9.0});

  TextureSample sample = viewSample(9, 0, 40.0f, 50.0f, 60.0f);
  sample.flags |= SAMPLE_SCREEN_POINT;
  sample.relativeOrigin[0] = 3.0f;
  sample.u = 1.0f;
  sample.v = 2.0f;
  const Record viaUV = shade(sample);

  FogTextureParams block = fogParamDefaults;
  TextureColor expected{};
  const float point[3] = {1.0f, 2.0f, 0.0f};
  shadeFogPoint(expected, block, point, 0.0);
  EXPECT_EQ(viaUV, recordOf(expected));
}

TEST_F(EntryPointsTest, TheTimeIsReadThroughTheBlocksSource) {
  cadhost::publish(cadhost::Symbol::AnimatorSeconds);
  cadhost::setAnimationSeconds(1.0);
  addMaterial(10, "Drifting", "");
  cadhost::setView(4, {});
  // The fog of the defaults at the origin, one second in.
  EXPECT_EQ(
      shade(viewSample(10, 4, 0.0f, 0.0f, 0.0f)),
      (Record{35.9576301574707f, 32.36186599731445f, 28.766103744506836f, 219.04237365722656f}));
}

TEST_F(EntryPointsTest, SamplesThatCannotBeServedAreClear) {
  const Record clear{0.0f, 0.0f, 0.0f, 255.0f};
  addMaterial(11, "Unallocated", "");
  textureInstance_setAllocator(failingAllocator);
  EXPECT_EQ(shade(viewSample(11, 0, 1.0f, 2.0f, 3.0f)), clear);

  TextureColor color{-1, -1, -1, -1};
  EXPECT_EQ(dlmTextureProcedure(&color, nullptr), &color);
  EXPECT_EQ(recordOf(color), clear);
  TextureSample sample = viewSample(11, 0, 1.0f, 2.0f, 3.0f);
  EXPECT_EQ(dlmTextureProcedure(nullptr, &sample), nullptr);
}

TEST_F(EntryPointsTest, CleanupDropsEveryInstanceAndTheFallbackAndShadingGoesOn) {
  addMaterial(12, "Kept", "fog_contrast 0");
  const TextureSample known = viewSample(12, 0, 1.0f, 2.0f, 3.0f);
  const TextureSample unknown = viewSample(13, 0, 1.0f, 2.0f, 3.0f);
  const Record before = shade(known);
  shade(unknown);
  ASSERT_EQ(instances().size(), 2u);
  ASSERT_EQ(cadhost::liveMaterials(), 1);

  dlmTextureCleanup(0);
  EXPECT_TRUE(instances().empty());
  EXPECT_EQ(textureInstance_current(), nullptr);
  EXPECT_EQ(cadhost::liveMaterials(), 0);
  dlmTextureCleanup(0); // an empty cache

  // The material changed meanwhile; its new text is read for the new instance.
  addMaterial(12, "Kept", "fog_contrast 0\nfog_maximum_density 0.5");
  const Record after = shade(known);
  EXPECT_EQ(before, (Record{255.0f, 229.5f, 204.0f, 0.0f}));
  EXPECT_EQ(after, (Record{127.5f, 114.75f, 102.0f, 127.5f}));
  EXPECT_EQ(instances().size(), 1u);
}

TEST_F(EntryPointsTest, InitializeRecordsTheHandleAndTheSetUpSetsTheCapabilityBits) {
  for (int32_t handle : {0, -3, 99}) {
    EXPECT_EQ(initialize(123, -7, handle), 0);
    EXPECT_EQ(hostHandle, handle);
  }
  initialize(0, 0, kModuleHandle);
  EXPECT_EQ(dlmProcInfo.capabilities, 7u);
  dlmTextureCleanup(5); // later calls never run the set-up again
  EXPECT_EQ(textureModuleDescription.dialogMode, 0);
  EXPECT_EQ(textureModuleDescription.paramBlockSize, sizeof(FogTextureParams));
  EXPECT_EQ(activeFogParams, &currentFogParams);
}

} // namespace
