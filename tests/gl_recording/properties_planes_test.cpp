// A plane count typed into the properties frame reaches the drawing as its
// integer part: "7.5" is stored and shown as 7.5 and draws seven planes.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "entry_points.h"
#include "fog_layer.h"
#include "recording_gl/recording_gl.h"
#include "ui_control.h"
#include "viewer_control.h"
#include "viewer_scene_fixture.h"

namespace {

class PropertiesPlanesTest : public ViewerSceneTest {
 protected:
  void TearDown() override {
    ViewerSceneTest::TearDown();
    viewerhost::setResourceSearchPath({});
  }
};

TEST_F(PropertiesPlanesTest, FractionalPlaneCountFromTheFrameDrawsItsIntegerPart) {
  viewerhost::setResourceSearchPath({FOG_LAYER_RESOURCES});
  pluginScript = nullptr;
  ASSERT_NE(fogvlLayerInterfaceInit(), nullptr);
  viewerhost::setElevationRange(scene, 0.0, 120.0);
  LayerContext *context = viewerhost::sceneLayerContext(scene);
  ErrorReport error = nullptr;
  UikPart *menu = uik_FindMenu(pluginScript, "vlfogmenu", &error);
  ASSERT_TRUE(viewerhost::chooseItem(menu, "New Mist Layer...", context, {"valley.fog"}));
  FeatureLayer *layer = viewerhost::layerStack(scene).at(0).layer;
  ASSERT_TRUE(viewerhost::chooseItem(menu, "Properties...", context));
  UikPart *frame = viewerhost::findDisplayedFrame("fogpropertiesframe", layer);
  ASSERT_NE(frame, nullptr);

  ASSERT_TRUE(viewerhost::typeIntoField(frame, "planes", "7.5"));
  ASSERT_TRUE(viewerhost::pressButton(frame, "apply"));
  ASSERT_TRUE(viewerhost::chooseItem(menu, "Properties...", context));
  EXPECT_EQ(viewerhost::fieldText(frame, "planes"), "7.5");
  EXPECT_EQ(fogLayerOf(layer)->planeCount, 7.5);

  // The eye above the slab (0..60): planes only, no tint.
  recordinggl::clear();
  const ViewPoint eye{0.0, 0.0, 500.0};
  layer->methods->draw(layer, 0.0, 0.0, 0.0, &eye, 0.0, 0.0, nullptr);
  std::vector<double> elevations;
  for (const recordinggl::Call &call : recordinggl::calls())
    if (call.name == "glVertex3d") elevations.push_back(call.args.at(2));
  ASSERT_EQ(elevations.size(), 7u * 4u);
  EXPECT_EQ(std::set<double>(elevations.begin(), elevations.end()).size(), 7u);
  EXPECT_EQ(elevations.front(), 60.0);
  EXPECT_EQ(elevations.back(), 0.0);
}

} // namespace
