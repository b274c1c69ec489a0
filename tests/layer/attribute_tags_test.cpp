// Attribute tag lists: each tag takes exactly its own arguments, in any order
// and number, unknown tags are skipped, and setting never marks a change.
#include "attribute_tags.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <iterator>
#include <limits>

#include "fog_layer.h"
#include "layer_create.h"
#include "viewer_control.h"
#include "viewer_scene_fixture.h"

namespace {

class AttributeTagsTest : public ViewerSceneTest {
 protected:
  void SetUp() override {
    ViewerSceneTest::SetUp();
    char *arguments[] = {const_cast<char *>("tags.fog")};
    layer = fogvlLayerCreate(hostLayer(), 0, 1, arguments);
    ASSERT_NE(layer, nullptr);
    fog = fogLayerOf(layer);
  }
  void TearDown() override {
    if (layer != nullptr) layer->methods->close(layer);
    ViewerSceneTest::TearDown();
  }

  FeatureLayer *layer = nullptr;
  FogLayer *fog = nullptr;
};

TEST_F(AttributeTagsTest, GetDeliversEachTagsValuesAndSkipsUnknownTags) {
  fog->density = 0.25;
  fog->planeCount = 15;
  fog->bottomElevation = -3.5;
  fog->topElevation = 40;
  fog->xMin = 1;
  fog->yMin = 2;
  fog->xMax = 3;
  fog->yMax = 4;
  fog->red = 1;
  fog->green = 0.5;
  fog->blue = 0;

  double density = 0, bottom = 0, top = 0, xMin = 0, yMin = 0, xMax = 0, yMax = 0;
  double color[3] = {};
  int32_t planes = 0;
  double again = 0;
  // 9 and 77 are no tags: each is skipped and the next argument read as a tag.
  EXPECT_EQ(layer->methods->attributesGet(
                layer, nullptr, 9, FOG_ATTRIBUTE_COLOR, color, FOG_ATTRIBUTE_RECTANGLE, &xMin,
                &yMin, &xMax, &yMax, FOG_ATTRIBUTE_PLANE_COUNT, &planes, 77,
                FOG_ATTRIBUTE_TOP_ELEVATION, &top, FOG_ATTRIBUTE_BOTTOM_ELEVATION, &bottom,
                FOG_ATTRIBUTE_DENSITY, &density, FOG_ATTRIBUTE_DENSITY, &again, FOG_ATTRIBUTE_END),
            0);
  EXPECT_EQ(color[0], 1);
  EXPECT_EQ(color[1], 0.5);
  EXPECT_EQ(color[2], 0);
  EXPECT_EQ(xMin, 1);
  EXPECT_EQ(yMin, 2);
  EXPECT_EQ(xMax, 3);
  EXPECT_EQ(yMax, 4);
  EXPECT_EQ(planes, 15);
  EXPECT_EQ(top, 40);
  EXPECT_EQ(bottom, -3.5);
  EXPECT_EQ(density, 0.25);
  EXPECT_EQ(again, 0.25);
}

TEST_F(AttributeTagsTest, GetTruncatesThePlaneCountTowardZeroAndSaturates) {
  constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
  constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
  const struct {
    double stored;
    int32_t delivered;
  } cases[] = {
      {2.9, 2},
      {-1.5, -1},
      {7.5, 7},
      {0.99, 0},
      {1e12, kMax},
      {-1e12, kMin},
      {std::numeric_limits<double>::quiet_NaN(), 0},
      {std::numeric_limits<double>::infinity(), kMax},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.stored);
    fog->planeCount = c.stored;
    int32_t planes = -12345;
    layer->methods->attributesGet(layer, nullptr, FOG_ATTRIBUTE_PLANE_COUNT, &planes,
                                  FOG_ATTRIBUTE_END);
    EXPECT_EQ(planes, c.delivered);
  }
}

TEST_F(AttributeTagsTest, EmptyListsAndNullPointersChangeNothing) {
  const FogLayer before = *fog;
  EXPECT_EQ(layer->methods->attributesGet(layer, nullptr, FOG_ATTRIBUTE_END), 0);
  layer->methods->attributesSet(layer, nullptr, FOG_ATTRIBUTE_END);
  // A null colour pointer to set changes nothing, and null pointers to get
  // still use up their places in the list.
  layer->methods->attributesSet(layer, nullptr, FOG_ATTRIBUTE_COLOR, nullptr, FOG_ATTRIBUTE_END);
  double yMin = 0, yMax = 0, density = 0;
  layer->methods->attributesGet(layer, nullptr, FOG_ATTRIBUTE_RECTANGLE, nullptr, &yMin, nullptr,
                                &yMax, FOG_ATTRIBUTE_COLOR, nullptr, FOG_ATTRIBUTE_DENSITY,
                                &density, FOG_ATTRIBUTE_END);
  EXPECT_EQ(yMin, before.yMin);
  EXPECT_EQ(yMax, before.yMax);
  EXPECT_EQ(density, before.density);
  const double kept[] = {fog->density,      fog->planeCount, fog->bottomElevation,
                         fog->topElevation, fog->xMin,       fog->yMin,
                         fog->xMax,         fog->yMax,       fog->red,
                         fog->green,        fog->blue};
  const double was[] = {before.density,      before.planeCount, before.bottomElevation,
                        before.topElevation, before.xMin,       before.yMin,
                        before.xMax,         before.yMax,       before.red,
                        before.green,        before.blue};
  for (std::size_t i = 0; i < std::size(kept); ++i) EXPECT_EQ(kept[i], was[i]) << "field " << i;
}

TEST_F(AttributeTagsTest, SetStoresEachTagsValuesInOrderAndALaterTagWins) {
  const double orange[3] = {1, 0.5, 0};
  layer->methods->attributesSet(layer, nullptr, FOG_ATTRIBUTE_BOTTOM_ELEVATION, 5.0,
                                FOG_ATTRIBUTE_TOP_ELEVATION, 2.0, 9, FOG_ATTRIBUTE_RECTANGLE, 0.0,
                                10.0, 100.0, 110.0, FOG_ATTRIBUTE_PLANE_COUNT, 7,
                                FOG_ATTRIBUTE_COLOR, orange, FOG_ATTRIBUTE_DENSITY, 0.2,
                                FOG_ATTRIBUTE_DENSITY, 0.3, FOG_ATTRIBUTE_END);
  EXPECT_EQ(fog->bottomElevation, 5.0);
  EXPECT_EQ(fog->topElevation, 2.0); // stored as given, below the bottom
  EXPECT_EQ(fog->xMin, 0.0);
  EXPECT_EQ(fog->yMin, 10.0);
  EXPECT_EQ(fog->xMax, 100.0);
  EXPECT_EQ(fog->yMax, 110.0);
  EXPECT_EQ(fog->planeCount, 7.0);
  EXPECT_EQ(fog->red, 1.0);
  EXPECT_EQ(fog->green, 0.5);
  EXPECT_EQ(fog->blue, 0.0);
  EXPECT_EQ(fog->density, 0.3);

  // A rectangle set reads back through get in the same order.
  double r[4] = {-1, -1, -1, -1};
  layer->methods->attributesGet(layer, nullptr, FOG_ATTRIBUTE_RECTANGLE, &r[0], &r[1], &r[2], &r[3],
                                FOG_ATTRIBUTE_END);
  EXPECT_EQ(r[0], 0.0);
  EXPECT_EQ(r[1], 10.0);
  EXPECT_EQ(r[2], 100.0);
  EXPECT_EQ(r[3], 110.0);
}

TEST_F(AttributeTagsTest, SetNeverMarksTheLayerModified) {
  layer->methods->attributesSet(layer, nullptr, FOG_ATTRIBUTE_DENSITY, 0.9,
                                FOG_ATTRIBUTE_BOTTOM_ELEVATION, 1.0, FOG_ATTRIBUTE_TOP_ELEVATION,
                                2.0, FOG_ATTRIBUTE_END);
  EXPECT_EQ(fog->modified, 0);
  EXPECT_EQ(fog->iconCanvas, nullptr);
  EXPECT_EQ(viewerhost::redrawCount(scene), 0);
  EXPECT_EQ(layer->methods->close(layer), 0);
  layer = nullptr;
  EXPECT_TRUE(viewerhost::questionsAsked().empty());
  EXPECT_EQ(blocksLeft(), 0);
}

} // namespace
