// Creating a Mist layer: the default slab from the scene, the new layer's
// fields, the argument copies, and what creation leaves on the host heap,
// also when the heap runs out part-way.
#include "layer_create.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "default_slab_cases.h"
#include "fog_layer.h"
#include "viewer_scene_fixture.h"

namespace {

class LayerCreateTest : public ViewerSceneTest {
 protected:
  FeatureLayer *create(std::vector<const char *> arguments, int32_t count,
                       int32_t hostArgument = 0) {
    if (arguments.empty()) arguments.push_back(nullptr);
    return fogvlLayerCreate(hostLayer(), hostArgument, count,
                            const_cast<char **>(arguments.data()));
  }
};

TEST_F(LayerCreateTest, DefaultSlabFollowsTheSceneElevationRange) {
  for (const DefaultSlabCase &c : kDefaultSlabCases) {
    SCOPED_TRACE(c.what);
    viewerhost::setElevationRange(scene, c.lower, c.upper);
    FeatureLayer *layer = create({"slab.fog"}, 0);
    ASSERT_NE(layer, nullptr);
    EXPECT_EQ(fogLayerOf(layer)->bottomElevation, c.bottom);
    EXPECT_EQ(fogLayerOf(layer)->topElevation, c.top);
    EXPECT_EQ(fogLayer_release(layer), 0);
  }
}

TEST_F(LayerCreateTest, NewLayerHasTheDefaultsAndTheSceneRectangle) {
  viewerhost::setGroundExtents(scene, -5.0, 250.0, 10.0, 300.0);
  FeatureLayer *layer = create({"valley.fog"}, 0, 42);
  ASSERT_NE(layer, nullptr);
  const FogLayer &fog = *fogLayerOf(layer);

  EXPECT_EQ(fog.scene, scene);
  EXPECT_EQ(fog.hostLayer, hostLayer());
  EXPECT_EQ(fog.hostArgument, 42);
  EXPECT_EQ(fog.uiRoot, uik_GetTheRoot());
  EXPECT_EQ(fog.xMin, -5.0);
  EXPECT_EQ(fog.xMax, 250.0);
  EXPECT_EQ(fog.yMin, 10.0);
  EXPECT_EQ(fog.yMax, 300.0);
  EXPECT_EQ(fog.density, 0.1);
  EXPECT_EQ(fog.red, 0.6);
  EXPECT_EQ(fog.green, 0.6);
  EXPECT_EQ(fog.blue, 0.6);
  EXPECT_EQ(fog.planeCount, 15.0);
  EXPECT_EQ(fog.visible, 1);
  EXPECT_EQ(fog.modified, 0);
  EXPECT_EQ(fog.propertiesFrame, nullptr);
  EXPECT_EQ(fog.propertiesShown, 0);
  EXPECT_EQ(fog.iconCanvas, nullptr);
  EXPECT_EQ(fogLayer_release(layer), 0);
}

TEST_F(LayerCreateTest, FileNameAndArgumentStringsAreCopied) {
  struct Case {
    const char *what;
    std::vector<const char *> arguments;
    int32_t count;
    int32_t copiesKept;
  };
  const Case cases[] = {
      {"count 0 still names the file", {"valley.fog"}, 0, 0},
      {"count 2: path and a second string", {"/data/valley.fog", "second"}, 2, 2},
      {"no file name", {nullptr}, 0, 0},
      {"a null entry stays null", {"a.fog", nullptr, "c"}, 3, 3},
      {"a negative count makes no copies", {"a.fog"}, -1, 0},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    FeatureLayer *layer = create(c.arguments, c.count);
    ASSERT_NE(layer, nullptr);
    const FogLayer &fog = *fogLayerOf(layer);

    if (c.arguments[0] == nullptr) {
      EXPECT_EQ(fog.fileName, nullptr);
    } else {
      ASSERT_NE(fog.fileName, nullptr);
      EXPECT_STREQ(fog.fileName, c.arguments[0]);
      EXPECT_NE(fog.fileName, c.arguments[0]);
    }
    ASSERT_EQ(fog.argumentCount, c.copiesKept);
    EXPECT_EQ(fog.arguments == nullptr, c.copiesKept == 0);
    for (int32_t i = 0; i < c.copiesKept; ++i) {
      if (c.arguments[i] == nullptr) {
        EXPECT_EQ(fog.arguments[i], nullptr) << i;
        continue;
      }
      ASSERT_NE(fog.arguments[i], nullptr) << i;
      EXPECT_STREQ(fog.arguments[i], c.arguments[i]) << i;
      EXPECT_NE(fog.arguments[i], c.arguments[i]) << i;
    }
    EXPECT_EQ(fogLayer_release(layer), 0);
    EXPECT_EQ(blocksLeft(), 0);
  }
}

TEST_F(LayerCreateTest, ReleasingTheLayerFreesEverythingCreationMade) {
  FeatureLayer *layer = create({"/data/valley.fog", "second"}, 2);
  ASSERT_NE(layer, nullptr);
  EXPECT_GT(blocksLeft(), 0);
  EXPECT_EQ(fogLayer_release(layer), 0);
  EXPECT_EQ(blocksLeft(), 0);
  EXPECT_EQ(viewerhost::heapInvalidFrees(), 0u);
}

TEST_F(LayerCreateTest, HeapFailureAtAnyStepGivesNullAndLeavesNothing) {
  FeatureLayer *reference = create({"/data/valley.fog", "second"}, 2);
  ASSERT_NE(reference, nullptr);
  const long blocksOfALayer = blocksLeft();
  ASSERT_EQ(fogLayer_release(reference), 0);

  const std::size_t invalidFreesBefore = viewerhost::heapInvalidFrees();
  long failuresSeen = 0;
  for (std::size_t step = 1;; ++step) {
    SCOPED_TRACE(step);
    viewerhost::heapFailAllocation(step);
    FeatureLayer *layer = create({"/data/valley.fog", "second"}, 2);
    if (viewerhost::heapFailurePending()) {
      // Creation needed fewer allocations than `step`: every step is done.
      viewerhost::heapFailAllocation(0);
      ASSERT_NE(layer, nullptr);
      EXPECT_EQ(fogLayer_release(layer), 0);
      break;
    }
    ++failuresSeen;
    EXPECT_EQ(layer, nullptr);
    EXPECT_EQ(blocksLeft(), 0);
    if (layer != nullptr) fogLayer_release(layer);
    ASSERT_LT(step, 100u);
  }
  EXPECT_GE(failuresSeen, blocksOfALayer);
  EXPECT_EQ(viewerhost::heapInvalidFrees(), invalidFreesBefore);
}

TEST_F(LayerCreateTest, HostLayerWithoutASceneGivesNoLayer) {
  HostLayer *foreign = reinterpret_cast<HostLayer *>(&liveBlocksAtStart);
  char *arguments[] = {const_cast<char *>("valley.fog")};
  for (HostLayer *hostLayer : {static_cast<HostLayer *>(nullptr), foreign}) {
    EXPECT_EQ(fogvlLayerCreate(hostLayer, 0, 1, arguments), nullptr);
    EXPECT_EQ(blocksLeft(), 0);
  }
}

} // namespace
