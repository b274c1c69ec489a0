// A Mist layer's whole life with the plug-in loaded from its built file, as
// the viewer runs it: init, create, draw, edit in the properties frame, save,
// write the session line, open, close with the save question; afterwards the
// viewer's heap holds what it held before.
#include <GL/gl.h>
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "offscreen_context.h"
#include "temp_dir.h"
#include "ui_control.h"
#include "viewer_control.h"
#include "viewer_scene_fixture.h"

namespace {

using InitFn = UikScript *(*)();
using LayerFn = FeatureLayer *(*)(HostLayer *, int32_t, int32_t, char **);

constexpr int32_t kSize = 32;

class LifecycleTest : public ViewerSceneTest {
 protected:
  void SetUp() override {
    ViewerSceneTest::SetUp();
    ASSERT_TRUE(dir.ok());
    savedSearchPath = viewerhost::resourceSearchPath();
    // The build puts the plug-in's resources beside it, where a host looks.
    viewerhost::setResourceSearchPath(
        {(std::filesystem::path(FOG_VIEWER_PLUGIN).parent_path() / "resources").string()});
    // Not closed again: the toolkit keeps the parsed script and its calls
    // into the plug-in for the rest of the process, as a viewer does.
    plugin = dlopen(FOG_VIEWER_PLUGIN, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(plugin, nullptr) << dlerror();
    init = reinterpret_cast<InitFn>(dlsym(plugin, "fogvlLayerInterfaceInit"));
    create = reinterpret_cast<LayerFn>(dlsym(plugin, "fogvlLayerCreate"));
    open = reinterpret_cast<LayerFn>(dlsym(plugin, "fogvlLayerOpen"));
    ASSERT_TRUE(init != nullptr && create != nullptr && open != nullptr);
  }
  void TearDown() override {
    viewerhost::setResourceSearchPath(savedSearchPath);
    ViewerSceneTest::TearDown();
  }

  static double density(FeatureLayer *layer) {
    double value = -1;
    layer->methods->attributesGet(layer, nullptr, 1, &value, 0);
    return value;
  }

  // Types a density into the layer's shown properties frame and applies it.
  static void applyDensity(FeatureLayer *layer, const char *text) {
    UikPart *frame = viewerhost::findDisplayedFrame("fogpropertiesframe", layer);
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(viewerhost::typeIntoField(frame, "density", text));
    ASSERT_TRUE(viewerhost::pressButton(frame, "apply"));
  }

  void *plugin = nullptr;
  InitFn init = nullptr;
  LayerFn create = nullptr;
  LayerFn open = nullptr;
  std::vector<std::string> savedSearchPath;
  TempDir dir;
};

TEST_F(LifecycleTest, InitCreateDrawSaveOpenClose) {
  std::string why;
  auto gl = viewergl::OffscreenContext::create(kSize, kSize, &why);
  ASSERT_NE(gl, nullptr) << why;
  viewerhost::setElevationRange(scene, 12.34, 100);
  viewerhost::setGroundExtents(scene, 0, 100, 0, 100);
  const int copiesAtStart = viewerhost::liveCopies();

  UikScript *script = init();
  ASSERT_NE(script, nullptr);
  EXPECT_EQ(init(), script);

  const std::string path = dir.file("valley.fog");
  char *arguments[] = {const_cast<char *>(path.c_str())};
  FeatureLayer *made = create(viewerhost::sceneHostLayer(scene), 0, 1, arguments);
  ASSERT_NE(made, nullptr);
  ASSERT_TRUE(viewerhost::addLayer(scene, made));

  // Seen from straight above the slab, over a black frame: grey fog.
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, 100, 0, 100, 1, 1000);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glTranslated(0, 0, -500);
  const ViewPoint eye = {50, 50, 500};
  EXPECT_EQ(made->methods->draw(made, 0, 0, 0, &eye, 0, 0, nullptr), 0);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  const viewergl::RgbImage frame = gl->readRgb();
  const uint8_t *centre = frame.at(kSize / 2, kSize / 2);
  EXPECT_GT(centre[0], 0);
  EXPECT_LT(centre[0], 153); // never more than the fog colour itself
  EXPECT_EQ(centre[0], centre[1]);
  EXPECT_EQ(centre[1], centre[2]);

  // The user opens the properties from the layer menu and changes the
  // density; the layer is saved and written into the session.
  UikPart *menu = made->methods->menuGet(made);
  ASSERT_NE(menu, nullptr);
  ASSERT_TRUE(viewerhost::chooseItem(menu, "Properties...", viewerhost::sceneLayerContext(scene)));
  applyDensity(made, "0.25");
  EXPECT_EQ(density(made), 0.25);
  EXPECT_EQ(made->methods->save(made), 0);
  EXPECT_EQ(TempDir::read(path),
            "12.300000\n56.200000\n0.600000\n0.600000\n0.600000\n0.250000\n15.000000\n");

  const std::string session = dir.file("session.cmd");
  HfioFile *file = hfio_Open(session.c_str(), "w", nullptr);
  ASSERT_NE(file, nullptr);
  made->methods->scriptCommandWrite(made, file);
  ASSERT_EQ(hfio_Close(file, nullptr), 0);
  EXPECT_EQ(TempDir::read(session), "\tADDFEATURELAYER \"Mist\" \"" + path + "\" ;\n");

  FeatureLayer *opened = open(viewerhost::sceneHostLayer(scene), 0, 1, arguments);
  ASSERT_NE(opened, nullptr);
  EXPECT_EQ(density(opened), 0.25);
  char *label = opened->methods->labelGet(opened);
  ASSERT_NE(label, nullptr);
  EXPECT_STREQ(label, "valley");
  hmsc_HeapFree(label);

  // Changed again and closed with its frame on display: the question is
  // asked once, the yes writes the file, the frame copy goes with the layer.
  applyDensity(made, "0.5");
  viewerhost::queueAnswer(true);
  EXPECT_EQ(made->methods->close(made), 0);
  EXPECT_EQ(viewerhost::questionsAsked(),
            std::vector<std::string>{"Save Mist Layer " + path + "?"});
  EXPECT_EQ(TempDir::read(path),
            "12.300000\n56.200000\n0.600000\n0.600000\n0.600000\n0.500000\n15.000000\n");
  EXPECT_EQ(opened->methods->close(opened), 0);

  EXPECT_EQ(viewerhost::questionsAsked().size(), 1u);
  EXPECT_TRUE(viewerhost::errorLog().empty());
  EXPECT_TRUE(viewerhost::layerStack(scene).empty());
  EXPECT_EQ(viewerhost::liveCopies(), copiesAtStart);
  EXPECT_EQ(viewerhost::heapInvalidFrees(), 0u);
  EXPECT_EQ(blocksLeft(), 0);
}

} // namespace
