// The earlier build's default slab: the same rounding to one decimal, but
// scaled back with a multiplication by 0.1, which gives a different double
// from the current build's division wherever the table's columns differ.
#include <gtest/gtest.h>

#include "default_slab_cases.h"
#include "fog_layer.h"
#include "layer_create.h"
#include "viewer_scene_fixture.h"

namespace {

using LayerCreateEarlierTest = ViewerSceneTest;

TEST_F(LayerCreateEarlierTest, DefaultSlabScalesBackWithATenth) {
  for (const DefaultSlabCase &c : kDefaultSlabCases) {
    SCOPED_TRACE(c.what);
    viewerhost::setElevationRange(scene, c.lower, c.upper);
    char *arguments[] = {nullptr};
    FeatureLayer *layer = fogvlLayerCreate(hostLayer(), 0, 0, arguments);
    ASSERT_NE(layer, nullptr);
    EXPECT_EQ(fogLayerOf(layer)->bottomElevation, c.earlierBottom);
    EXPECT_EQ(fogLayerOf(layer)->topElevation, c.earlierTop);
    EXPECT_EQ(fogLayer_release(layer), 0);
  }
}

TEST_F(LayerCreateEarlierTest, OtherDefaultsMatchTheCurrentBuild) {
  char *arguments[] = {const_cast<char *>("valley.fog")};
  FeatureLayer *layer = fogvlLayerCreate(hostLayer(), 0, 0, arguments);
  ASSERT_NE(layer, nullptr);
  const FogLayer &fog = *fogLayerOf(layer);
  EXPECT_EQ(fog.density, 0.1);
  EXPECT_EQ(fog.planeCount, 15.0);
  EXPECT_EQ(fog.red, 0.6);
  EXPECT_EQ(fog.visible, 1);
  EXPECT_STREQ(fog.fileName, "valley.fog");
  EXPECT_EQ(fogLayer_release(layer), 0);
  EXPECT_EQ(blocksLeft(), 0);
}

} // namespace
