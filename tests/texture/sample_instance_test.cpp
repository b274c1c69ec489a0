// The instance for a sample: keys by id, map and name, material resolution
// through the ray tracer, the host and the fallback material, completion
// from the map, and the per-view bookkeeping.
#include "sample_instance.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <optional>
#include <string>

#include "cad_texture_fixture.h"
#include "fog_params_compare.h"
#include "point_transform.h"

namespace {

using SampleInstanceTest = CadTextureTest;

TEST_F(SampleInstanceTest, TheTwoMapsOfOneMaterialGetTwoInstances) {
  cadhost::MaterialSpec described;
  described.id = 5;
  described.name = "Marble";
  described.map1 = cadhost::MapSpec{.name = "one", .mode = 1, .parameterText = "fog_contrast 2"};
  described.map2 = cadhost::MapSpec{.name = "two", .mode = 1, .parameterText = "fog_contrast 3"};
  cadhost::addMaterial(described);

  const TextureSample first = sampleFor(5, SAMPLE_VIEW_POINT, 0);
  const TextureSample second = sampleFor(5, SAMPLE_VIEW_POINT | SAMPLE_SECOND_MAP, 0);
  FogTextureParams *one = textureInstance_forSample(&first);
  FogTextureParams *two = textureInstance_forSample(&second);
  ASSERT_TRUE(one && two);
  EXPECT_NE(one, two);
  EXPECT_EQ(one->contrast, 2.0f);
  EXPECT_EQ(two->contrast, 3.0f);
  EXPECT_EQ(textureInstance_current()->mapNumber, 2);
  EXPECT_EQ(textureInstance_forSample(&first), one);
  EXPECT_EQ(textureInstance_current()->mapNumber, 1);
  EXPECT_EQ(instances().size(), 2u);
}

TEST_F(SampleInstanceTest, SamplesWithoutAnIdShareOneInstancePerName) {
  addMaterial(9, "Glass", "fog_thickness 0.5");
  const TextureSample withId = sampleFor(9, SAMPLE_UV);
  FogTextureParams *byId = textureInstance_forSample(&withId);
  ASSERT_NE(byId, nullptr);

  // The host resolves id 0 to a material named like the one above: the
  // lookup by name finds the instance made for id 9.
  addMaterial(0, "Glass", "fog_thickness 0.75");
  const int32_t rayTracerQueries = cadhost::callCount("xelSystem_findXelDesc");
  const TextureSample withoutId = sampleFor(0, SAMPLE_UV);
  EXPECT_EQ(textureInstance_forSample(&withoutId), byId);
  EXPECT_EQ(byId->thickness, 0.5f);

  addMaterial(0, "Sand", "fog_thickness 0.25");
  FogTextureParams *sand = textureInstance_forSample(&withoutId);
  ASSERT_NE(sand, nullptr);
  EXPECT_EQ(sand->thickness, 0.25f);
  EXPECT_EQ(textureInstance_forSample(&withoutId), sand);
  EXPECT_EQ(instances().size(), 2u);
  EXPECT_EQ(cadhost::callCount("xelSystem_findXelDesc"), rayTracerQueries)
      << "id 0 never asks the ray tracer";
}

TEST_F(SampleInstanceTest, AMaterialWithAVeryLongNameFindsItsOwnInstance) {
  const std::string longName = std::string(255, 'L') + std::string(100, 'x');
  addMaterial(0, longName, "fog_contrast 2");
  const TextureSample sample = sampleFor(0, SAMPLE_UV);
  FogTextureParams *first = textureInstance_forSample(&sample);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(textureInstance_forSample(&sample), first);
  EXPECT_EQ(instances().size(), 1u);
  EXPECT_EQ(std::string(textureInstance_current()->materialName), std::string(255, 'L'));
}

TEST_F(SampleInstanceTest, UnresolvedIdsShareOneFallbackMaterialUntilCleanup) {
  const TextureSample a = sampleFor(41, SAMPLE_UV);
  const TextureSample b = sampleFor(42, SAMPLE_UV);
  FogTextureParams *first = textureInstance_forSample(&a);
  FogTextureParams *second = textureInstance_forSample(&b);
  ASSERT_TRUE(first && second);
  EXPECT_NE(first, second);
  for (TextureInstance *instance : instances())
    EXPECT_STREQ(instance->materialName, "Unknown material");
  EXPECT_EQ(instances()[0]->materialId, 42);
  EXPECT_EQ(instances()[1]->materialId, 41);
  EXPECT_EQ(cadhost::callCount("xelMaterial_create"), 1);
  EXPECT_EQ(cadhost::liveMaterials(), 1);

  dlmTextureCleanup(0);
  EXPECT_EQ(cadhost::liveMaterials(), 0);
  EXPECT_TRUE(instances().empty());
  EXPECT_NE(textureInstance_forSample(&a), nullptr);
  EXPECT_EQ(cadhost::callCount("xelMaterial_create"), 2);
}

TEST_F(SampleInstanceTest, WithoutAFallbackMaterialTheSampleGetsWhatItWouldHaveGiven) {
  const TextureSample a = sampleFor(41, SAMPLE_UV);
  FogTextureParams *withFallback = textureInstance_forSample(&a);
  ASSERT_NE(withFallback, nullptr);
  const FogTextureParams expected = *withFallback;
  dlmTextureCleanup(0);

  cadhost::setMaterialCreateFailure(cadhost::kAlwaysFail);
  FogTextureParams *without = textureInstance_forSample(&a);
  ASSERT_NE(without, nullptr);
  EXPECT_EQ(fogParamsDifference(*without, expected), "");
  EXPECT_STREQ(textureInstance_current()->materialName, "Unknown material");
  EXPECT_EQ(textureInstance_current()->relativeCoords, 1);
  EXPECT_EQ(textureInstance_forSample(&a), without);

  // An id-0 sample of no material is keyed by that name as well, and so
  // finds the instance above.
  const TextureSample noId = sampleFor(0, SAMPLE_UV);
  EXPECT_EQ(textureInstance_forSample(&noId), without);
  EXPECT_EQ(instances().size(), 1u);
}

TEST_F(SampleInstanceTest, TheRayTracerAnswersFirstWhenItIsRendering) {
  struct Case {
    const char *what;
    bool loaded, published;
    int32_t rayTracing;
    bool hasMaterial;
    const char *expectedName;
  };
  const Case cases[] = {
      {"ray tracer renders", true, true, 1, true, "Traced"},
      {"not loaded", false, true, 1, true, "Hosted"},
      {"variable missing", true, false, 1, true, "Hosted"},
      {"not rendering", true, true, 0, true, "Hosted"},
      {"no material of that id", true, true, 1, false, "Hosted"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    dlmTextureCleanup(0);
    cadhost::reset();
    addMaterial(5, "Hosted", "fog_contrast 2");
    if (c.hasMaterial) {
      cadhost::MaterialSpec traced{.id = 5, .name = "Traced"};
      traced.map1 = cadhost::MapSpec{.mode = 1, .parameterText = "fog_contrast 4"};
      cadhost::addRayTracerMaterial(traced);
    }
    cadhost::setRayTracerLoaded(c.loaded);
    cadhost::setRayTracingValue(c.rayTracing);
    if (c.published) cadhost::publish(cadhost::Symbol::RayTracing);
    const TextureSample sample = sampleFor(5, SAMPLE_UV);
    FogTextureParams *params = textureInstance_forSample(&sample);
    ASSERT_NE(params, nullptr);
    EXPECT_STREQ(textureInstance_current()->materialName, c.expectedName);
    EXPECT_EQ(params->contrast, std::string(c.expectedName) == "Traced" ? 4.0f : 2.0f);
  }
}

TEST_F(SampleInstanceTest, ANewInstanceTakesScaleOffsetAndModeFromThePatternMap) {
  struct Case {
    const char *what;
    std::optional<cadhost::MapSpec> map1, map2;
    std::array<double, 3> scale, offset;
    float inverseScaleZ;
    int32_t mapMode, relativeCoords, useUV;
  };
  const std::string text = "fog_pattern_scale_z 4\nfog_pattern_offset_z 6\nfog_relative_coords 0";
  const cadhost::MapSpec map{
      .mode = 2, .patternScale = {2, 3}, .patternOffset = {4, 5}, .parameterText = text};
  const cadhost::MapSpec uvMap{.mode = 0, .patternScale = {7, 8}, .parameterText = text};
  const Case cases[] = {
      {"map 1", map, std::nullopt, {2, 3, 4}, {4, 5, 6}, 0.25f, 2, 0, 0},
      {"map 1 addressed by u,v", uvMap, std::nullopt, {7, 8, 4}, {0, 0, 6}, 0.25f, 0, 0, 1},
      // The pattern map is map 2 when there is no map 1; the parameters of
      // map 1 (none) are the defaults, and u,v addressing stays on.
      {"map 2 only", std::nullopt, map, {2, 3, 1}, {4, 5, 0}, 1.0f, 2, 1, 1},
      {"no map", std::nullopt, std::nullopt, {1, 1, 1}, {0, 0, 0}, 1.0f, 0, 1, 1},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    dlmTextureCleanup(0);
    cadhost::MaterialSpec described{.id = 12, .name = "Mapped", .map1 = c.map1, .map2 = c.map2};
    cadhost::addMaterial(described);
    const TextureSample sample = sampleFor(12, SAMPLE_VIEW_POINT);
    FogTextureParams *params = textureInstance_forSample(&sample);
    ASSERT_NE(params, nullptr);
    const TextureInstance *instance = textureInstance_current();
    for (int j = 0; j < 3; ++j) {
      EXPECT_EQ(instance->patternScale[j], c.scale[j]) << j;
      EXPECT_EQ(instance->patternOffset[j], c.offset[j]) << j;
    }
    EXPECT_EQ(instance->inverseScaleZ, c.inverseScaleZ);
    EXPECT_EQ(instance->mapMode, c.mapMode);
    EXPECT_EQ(instance->relativeCoords, c.relativeCoords);
    EXPECT_EQ(params->useUV, c.useUV);
  }
}

TEST_F(SampleInstanceTest, MapOneDecidesUVAddressingAlsoForMapTwo) {
  cadhost::MaterialSpec described{.id = 3, .name = "Split"};
  described.map1 = cadhost::MapSpec{.mode = 0};
  described.map2 = cadhost::MapSpec{.mode = 2};
  cadhost::addMaterial(described);
  const TextureSample second = sampleFor(3, SAMPLE_VIEW_POINT | SAMPLE_SECOND_MAP);
  FogTextureParams *params = textureInstance_forSample(&second);
  ASSERT_NE(params, nullptr);
  EXPECT_EQ(params->useUV, 1);
}

TEST_F(SampleInstanceTest, AZeroPatternScaleZStillGivesFinitePoints) {
  addMaterial(14, "Flat", "fog_pattern_scale_z 0\nfog_pattern_offset_z 2");
  cadhost::setView(3, {{1.0, 1.0, 1.0}, {1, 0, 0, 0, 1, 0, 0, 0, 1}, 0});
  TextureSample sample = viewSample(14, 3, 2.0f, 3.0f, 5.0f);
  sample.relativeOrigin[2] = 4.0f;
  ASSERT_NE(textureInstance_forSample(&sample), nullptr);
  EXPECT_EQ(textureInstance_current()->inverseScaleZ, 0.0f);
  float point[3];
  transformSamplePoint(point, &sample);
  EXPECT_EQ(point[0], 3.0f);
  EXPECT_EQ(point[1], 4.0f);
  EXPECT_EQ(point[2], -2.0f);
}

TEST_F(SampleInstanceTest, TheViewIsSetUpOnlyWhenTheWindowChangesUntilLocked) {
  addMaterial(20, "Viewed", "");
  cadhost::setView(1, {{1.0, 0.0, 0.0}, {1, 0, 0, 0, 1, 0, 0, 0, 1}, 0});
  cadhost::setView(2, {{2.0, 0.0, 0.0}, {1, 0, 0, 0, 1, 0, 0, 0, 1}, 1});
  const auto setUps = [] { return cadhost::callCount("xelModelRef_getActive"); };
  const TextureSample in1 = viewSample(20, 1, 0, 0, 0);
  const TextureSample in2 = viewSample(20, 2, 0, 0, 0);

  textureInstance_forSample(&in1);
  TextureInstance *instance = textureInstance_current();
  EXPECT_EQ(setUps(), 1);
  EXPECT_EQ(instance->lastWindowId, 1);
  EXPECT_EQ(instance->lastAltRender, 0);
  textureInstance_forSample(&in1);
  EXPECT_EQ(setUps(), 1);
  textureInstance_forSample(&in2);
  EXPECT_EQ(setUps(), 2);
  EXPECT_EQ(instance->currentSlot, &instance->transformSlots[2]);
  textureInstance_forSample(&in1); // slot of view 0 is prepared: locked
  EXPECT_EQ(setUps(), 3);
  EXPECT_EQ(instance->viewLocked, 1);
  textureInstance_forSample(&in2);
  EXPECT_EQ(setUps(), 3);
  EXPECT_EQ(instance->currentSlot, &instance->transformSlots[1]);
}

TEST_F(SampleInstanceTest, AChangeOfAlternativeRenderResetsEveryInstance) {
  addMaterial(21, "A", "");
  addMaterial(22, "B", "");
  cadhost::setView(1, {});
  const TextureSample a = viewSample(21, 1, 0, 0, 0);
  const TextureSample b = viewSample(22, 1, 0, 0, 0);
  textureInstance_forSample(&a);
  TextureInstance *instanceA = textureInstance_current();
  textureInstance_forSample(&b);
  TextureInstance *instanceB = textureInstance_current();
  ASSERT_EQ(instanceB->lastWindowId, 1);

  TextureSample altA = a;
  altA.flags |= SAMPLE_ALT_RENDER;
  textureInstance_forSample(&altA);
  EXPECT_EQ(instanceB->lastWindowId, -1);
  EXPECT_EQ(instanceB->lastAltRender, 2);
  EXPECT_EQ(instanceB->transformSlots[1].prepared, 0);
  EXPECT_EQ(instanceA->lastWindowId, 1);
  EXPECT_EQ(instanceA->lastAltRender, 1);
  EXPECT_EQ(instanceA->viewLocked, 0);
  EXPECT_EQ(instanceA->transformSlots[1].prepared, 1);
}

TEST_F(SampleInstanceTest, AWindowIdOfMinusOneStillGetsASlotOnAFreshInstance) {
  addMaterial(23, "Odd", "");
  cadhost::setView(-1, {{5.0, 0.0, 0.0}, {1, 0, 0, 0, 1, 0, 0, 0, 1}, 2});
  const TextureSample sample = viewSample(23, -1, 1, 2, 3);
  ASSERT_NE(textureInstance_forSample(&sample), nullptr);
  TextureInstance *instance = textureInstance_current();
  EXPECT_EQ(instance->currentSlot, &instance->transformSlots[3]);
  float point[3];
  transformSamplePoint(point, &sample);
  EXPECT_EQ(point[0], 6.0f);

  dlmResetTransform();
  ASSERT_NE(textureInstance_forSample(&sample), nullptr);
  EXPECT_EQ(instance->transformSlots[3].prepared, 1);
}

TEST_F(SampleInstanceTest, AnInstanceThatCannotBeAllocatedGivesNoParameters) {
  addMaterial(24, "Heavy", "");
  textureInstance_setAllocator(failingAllocator);
  const TextureSample sample = viewSample(24, 0, 0, 0, 0);
  EXPECT_EQ(textureInstance_forSample(&sample), nullptr);
  EXPECT_EQ(textureInstance_current(), nullptr);
  EXPECT_TRUE(instances().empty());
}

} // namespace
