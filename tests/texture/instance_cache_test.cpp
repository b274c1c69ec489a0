// The material instance cache: keys, the current instance, fresh instances,
// the per-view reset, the walk, release, long names and failed allocation.
#include "instance_cache.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "cad_texture_fixture.h"
#include "fog_params_compare.h"

namespace {

using InstanceCacheTest = CadTextureTest;

TextureInstance *instanceOf(FogTextureParams *params) {
  if (!params) return nullptr;
  return reinterpret_cast<TextureInstance *>(reinterpret_cast<char *>(params) -
                                             offsetof(TextureInstance, params));
}

TEST_F(InstanceCacheTest, LookupsMatchTheirKeysAndOnlySuccessMovesTheCurrentInstance) {
  TextureInstance *stone1 = instanceOf(textureInstance_create(5, 1, "Stone"));
  TextureInstance *stone2 = instanceOf(textureInstance_create(5, 2, "Stone"));
  TextureInstance *glass = instanceOf(textureInstance_create(0, 1, "Glass"));
  TextureInstance *preview = instanceOf(textureInstance_create(-1, 1, ""));
  ASSERT_TRUE(stone1 && stone2 && glass && preview);

  struct Case {
    const char *what;
    FogTextureParams *(*lookup)();
    TextureInstance *expected;
  };
  const Case cases[] = {
      {"id and map", [] { return textureInstance_find(5, 1); }, stone1},
      {"id, other map", [] { return textureInstance_find(5, 2); }, stone2},
      {"id without map 3", [] { return textureInstance_find(5, 3); }, nullptr},
      {"unknown id", [] { return textureInstance_find(6, 1); }, nullptr},
      {"name ignores the id", [] { return textureInstance_findByName("Stone", 2); }, stone2},
      {"name and map 1", [] { return textureInstance_findByName("Glass", 1); }, glass},
      {"name is case-sensitive", [] { return textureInstance_findByName("glass", 1); }, nullptr},
      {"name is the whole text", [] { return textureInstance_findByName("Glas", 1); }, nullptr},
      {"name, wrong map", [] { return textureInstance_findByName("Glass", 2); }, nullptr},
      {"empty name finds the preview", [] { return textureInstance_findByName("", 1); }, preview},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    textureInstance_find(-1, 1); // a known current instance before each lookup
    ASSERT_EQ(textureInstance_current(), preview);
    FogTextureParams *found = c.lookup();
    EXPECT_EQ(instanceOf(found), c.expected);
    EXPECT_EQ(textureInstance_current(), c.expected ? c.expected : preview);
  }
}

TEST_F(InstanceCacheTest, ANewInstanceIsFreshAndCopiesTheWholeActiveBlock) {
  // A time source away from staticZeroTime shows whether the copy reaches
  // the last field.
  static const double hostClock = 12.5;
  currentFogParams = fogParamDefaults;
  currentFogParams.contrast = 2.5f;
  currentFogParams.timeSource = &hostClock;
  activeFogParams = &currentFogParams;

  TextureInstance *instance = instanceOf(textureInstance_create(9, 2, "Slate"));
  ASSERT_NE(instance, nullptr);
  EXPECT_EQ(textureInstance_current(), instance);
  EXPECT_EQ(instances().front(), instance);
  EXPECT_EQ(instance->materialId, 9);
  EXPECT_EQ(instance->mapNumber, 2);
  EXPECT_STREQ(instance->materialName, "Slate");
  EXPECT_EQ(fogParamsDifference(instance->params, currentFogParams), "");
  EXPECT_EQ(instance->params.timeSource, &hostClock);
  for (int j = 0; j < 3; ++j) {
    EXPECT_EQ(instance->patternScale[j], 1.0);
    EXPECT_EQ(instance->patternOffset[j], 0.0);
  }
  EXPECT_EQ(instance->inverseScaleZ, 1.0f);
  EXPECT_EQ(instance->mapMode, 0);
  EXPECT_EQ(instance->relativeCoords, 0);
  EXPECT_EQ(instance->lastWindowId, -1);
  EXPECT_EQ(instance->lastAltRender, 2);
  EXPECT_EQ(instance->viewLocked, 0);
  EXPECT_EQ(instance->currentSlot, nullptr);
  for (const TransformSlot &slot : instance->transformSlots) EXPECT_EQ(slot.prepared, 0);

  // The copy is private: later changes of the working block do not reach it.
  currentFogParams.contrast = 7.0f;
  EXPECT_EQ(instance->params.contrast, 2.5f);

  // During a preview the active block is the defaults.
  activeFogParams = &fogParamDefaults;
  FogTextureParams *preview = textureInstance_create(-1, 1, "");
  ASSERT_NE(preview, nullptr);
  EXPECT_EQ(fogParamsDifference(*preview, fogParamDefaults), "");
}

TEST_F(InstanceCacheTest, TheWalkReturnsEveryInstanceNewestFirst) {
  TextureInstance *cursor = nullptr;
  EXPECT_EQ(textureInstance_next(&cursor), nullptr);
  EXPECT_EQ(cursor, nullptr);
  EXPECT_EQ(textureInstance_next(nullptr), nullptr);

  FogTextureParams *made[3];
  for (int i = 0; i < 3; ++i) made[i] = textureInstance_create(10 + i, 1, "M");
  FogTextureParams *walked[3];
  for (FogTextureParams *&params : walked) params = textureInstance_next(&cursor);
  EXPECT_EQ(walked[0], made[2]);
  EXPECT_EQ(walked[1], made[1]);
  EXPECT_EQ(walked[2], made[0]);
  EXPECT_EQ(textureInstance_next(&cursor), nullptr);
  EXPECT_EQ(cursor, nullptr);
}

TEST_F(InstanceCacheTest, ResetMakesEveryInstanceFreshAndKeepsTheRest) {
  EXPECT_EQ(dlmResetTransform(), 0); // empty cache

  TextureInstance *a = instanceOf(textureInstance_create(1, 1, "A"));
  TextureInstance *b = instanceOf(textureInstance_create(2, 1, "B"));
  for (TextureInstance *instance : {a, b}) {
    for (TransformSlot &slot : instance->transformSlots) {
      slot.prepared = 1;
      slot.translation[0] = 3.0;
    }
    instance->currentSlot = &instance->transformSlots[4];
    instance->lastWindowId = 17;
    instance->lastAltRender = 1;
    instance->viewLocked = 1;
    instance->params.thickness = 0.25f;
  }

  EXPECT_EQ(dlmResetTransform(), 0);
  for (TextureInstance *instance : {a, b}) {
    EXPECT_EQ(instance->lastWindowId, -1);
    EXPECT_EQ(instance->lastAltRender, 2);
    EXPECT_EQ(instance->viewLocked, 0);
    for (const TransformSlot &slot : instance->transformSlots) {
      EXPECT_EQ(slot.prepared, 0);
      EXPECT_EQ(slot.translation[0], 3.0);
    }
    EXPECT_EQ(instance->currentSlot, &instance->transformSlots[4]);
    EXPECT_EQ(instance->params.thickness, 0.25f);
  }
}

TEST_F(InstanceCacheTest, ReleasingTheCacheLeavesNothingToFind) {
  textureInstance_create(3, 1, "C");
  textureInstance_create(0, 2, "D");
  textureInstance_releaseAll();
  EXPECT_EQ(textureInstance_current(), nullptr);
  EXPECT_EQ(textureInstance_find(3, 1), nullptr);
  EXPECT_EQ(textureInstance_findByName("D", 2), nullptr);
  EXPECT_TRUE(instances().empty());
}

TEST_F(InstanceCacheTest, LongNamesAreKeptToTheirFirst255CharactersAndStillFound) {
  const std::string name255(255, 'n');
  const std::string long300 = name255 + std::string(45, 'x');
  struct Case {
    std::string created;
    std::string lookedUp;
    bool found;
  };
  const Case cases[] = {
      {name255, name255, true},
      {long300, long300, true},
      // Only the kept characters take part in the comparison.
      {long300, name255 + "y", true},
      {name255, name255.substr(0, 254), false},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.created.size());
    textureInstance_releaseAll();
    TextureInstance *made = instanceOf(textureInstance_create(0, 1, c.created.c_str()));
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(std::strlen(made->materialName), 255u);
    EXPECT_EQ(std::string(made->materialName), name255);
    EXPECT_EQ(instanceOf(textureInstance_findByName(c.lookedUp.c_str(), 1)),
              c.found ? made : nullptr);
  }
}

TEST_F(InstanceCacheTest, AnInstanceThatCannotBeAllocatedLeavesNoEntryAndNoCurrentInstance) {
  FogTextureParams *kept = textureInstance_create(1, 1, "Kept");
  textureInstance_setAllocator(failingAllocator);
  EXPECT_EQ(textureInstance_create(2, 1, "Lost"), nullptr);
  EXPECT_EQ(textureInstance_current(), nullptr);
  ASSERT_EQ(instances().size(), 1u);
  EXPECT_EQ(&instances().front()->params, kept);
}

} // namespace
