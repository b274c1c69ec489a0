// The layer slots for the viewer's stack and scripts: the slot table, file
// name, command line, label, menu, popup, and what close releases.
#include "layer_methods.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "attribute_tags.h"
#include "entry_points.h"
#include "fog_draw.h"
#include "fog_file.h"
#include "fog_layer.h"
#include "layer_create.h"
#include "script_functions.h"
#include "stack_icon.h"
#include "temp_dir.h"
#include "ui_control.h"
#include "viewer_control.h"
#include "viewer_scene_fixture.h"

namespace {

ScriptFunction scriptFunction(const char *name) {
  for (const ScriptFunctionEntry *entry = scriptFunctionTable; entry->name != nullptr; ++entry) {
    if (std::strcmp(entry->name, name) == 0) return entry->function;
  }
  return nullptr;
}

class LayerMethodsTest : public ViewerSceneTest {
 protected:
  void SetUp() override {
    ViewerSceneTest::SetUp();
    savedSearchPath = viewerhost::resourceSearchPath();
    viewerhost::setResourceSearchPath({FOG_LAYER_RESOURCES});
    ASSERT_TRUE(dir.ok());
  }
  void TearDown() override {
    viewerhost::setResourceSearchPath(savedSearchPath);
    ViewerSceneTest::TearDown();
  }

  // A layer made with these argument strings; the first names its file.
  FeatureLayer *create(std::vector<const char *> strings) {
    if (strings.empty()) strings.push_back(nullptr);
    const int32_t count =
        strings.size() == 1 && strings[0] == nullptr ? 0 : static_cast<int32_t>(strings.size());
    FeatureLayer *layer =
        fogvlLayerCreate(hostLayer(), 0, count, const_cast<char **>(strings.data()));
    EXPECT_NE(layer, nullptr);
    return layer;
  }

  static int32_t close(FeatureLayer *layer) { return layer->methods->close(layer); }

  std::vector<std::string> savedSearchPath;
  TempDir dir;
};

TEST_F(LayerMethodsTest, SlotsAreTheMistFunctionsAndTheHostKeepsItsOwn) {
  FeatureLayer *layer = create({"valley.fog"});
  FeatureLayer *plain = scape_FeatureLayerCreate();
  ASSERT_NE(plain, nullptr);
  const FeatureLayerMethods &m = *layer->methods;
  const FeatureLayerMethods &host = *plain->methods;

  EXPECT_EQ(m.close, &fogLayer_close);
  EXPECT_EQ(m.draw, &fogLayer_draw);
  EXPECT_EQ(m.extListGetA, &fogInstanceExtListGet);
  EXPECT_EQ(m.extListGetB, &fogInstanceExtListGet);
  EXPECT_EQ(m.fileNameGet, &fogLayer_fileNameGet);
  EXPECT_EQ(m.typeNameGet, &fogvlLayerGetTypeName);
  EXPECT_EQ(m.save, &fogFile_save);
  EXPECT_EQ(m.stackIconGet, &fogLayer_stackIconGet);
  EXPECT_EQ(m.scriptCommandWrite, &fogLayer_scriptCommandWrite);
  EXPECT_EQ(m.labelGet, &fogLayer_labelGet);
  EXPECT_EQ(m.menuGet, &fogLayer_menuGet);
  EXPECT_EQ(m.popupGet, &fogLayer_popupGet);
  EXPECT_EQ(m.secondDraw, &fogLayer_secondDraw);
  EXPECT_EQ(m.reserved14, nullptr);
  EXPECT_EQ(m.attributesSet, &fogLayer_attributesSet);
  EXPECT_EQ(m.attributesGet, &fogLayer_attributesGet);
  EXPECT_EQ(m.hostSelect, host.hostSelect);
  EXPECT_EQ(m.hostBoundsGet, host.hostBoundsGet);
  EXPECT_EQ(m.hostRefresh, host.hostRefresh);
  EXPECT_EQ(m.hostTimeStep, host.hostTimeStep);
  EXPECT_EQ(m.hostPick, host.hostPick);

  EXPECT_STREQ(m.typeNameGet(), "Mist");
  EXPECT_EQ(m.extListGetA(), nullptr);
  scape_FeatureLayerFree(plain);
  EXPECT_EQ(close(layer), 0);
  EXPECT_EQ(blocksLeft(), 0);
}

TEST_F(LayerMethodsTest, FileNameGetHandsOutAFreshCopy) {
  FeatureLayer *named = create({"/data/valley.fog"});
  char *first = named->methods->fileNameGet(named);
  char *second = named->methods->fileNameGet(named);
  ASSERT_NE(first, nullptr);
  EXPECT_STREQ(first, "/data/valley.fog");
  EXPECT_NE(first, second);
  EXPECT_NE(first, fogLayerOf(named)->fileName);
  EXPECT_EQ(hmsc_HeapFree(first), 0);
  EXPECT_EQ(hmsc_HeapFree(second), 0);

  FeatureLayer *unnamed = create({});
  EXPECT_EQ(unnamed->methods->fileNameGet(unnamed), nullptr);
  EXPECT_EQ(close(named), 0);
  EXPECT_EQ(close(unnamed), 0);
  EXPECT_EQ(blocksLeft(), 0);
}

TEST_F(LayerMethodsTest, ScriptCommandLineListsEveryArgumentString) {
  const struct {
    const char *what;
    std::vector<const char *> strings;
    int32_t count; // -1: as many as strings
    const char *line;
  } cases[] = {
      {"no argument strings, a file name", {"valley.fog"}, 0, "\tADDFEATURELAYER \"Mist\" ;\n"},
      {"one", {"valley.fog"}, -1, "\tADDFEATURELAYER \"Mist\" \"valley.fog\" ;\n"},
      {"two",
       {"/data/valley.fog", "second"},
       -1,
       "\tADDFEATURELAYER \"Mist\" \"/data/valley.fog\" \"second\" ;\n"},
      {"a null entry", {"a.fog", nullptr}, -1, "\tADDFEATURELAYER \"Mist\" \"a.fog\" \"\" ;\n"},
  };
  const std::string path = dir.file("session.cmd");
  for (const auto &c : cases) {
    SCOPED_TRACE(c.what);
    const int32_t count = c.count < 0 ? static_cast<int32_t>(c.strings.size()) : c.count;
    FeatureLayer *layer =
        fogvlLayerCreate(hostLayer(), 0, count, const_cast<char **>(c.strings.data()));
    ASSERT_NE(layer, nullptr);
    HfioFile *file = hfio_Open(path.c_str(), "w", nullptr);
    ASSERT_NE(file, nullptr);
    layer->methods->scriptCommandWrite(layer, file);
    layer->methods->scriptCommandWrite(layer, nullptr);
    ASSERT_EQ(hfio_Close(file, nullptr), 0);
    EXPECT_EQ(TempDir::read(path), c.line);
    EXPECT_EQ(close(layer), 0);
  }
  EXPECT_EQ(blocksLeft(), 0);
}

TEST_F(LayerMethodsTest, LabelIsTheNamePartOfTheFileCutToItsBuffer) {
  const std::string longPath = "/data/" + std::string(10000, 'n') + ".fog";
  const struct {
    const char *what;
    const char *path;
    std::string label;
  } cases[] = {
      {"path", "/data/valley.fog", "valley"},
      {"bare name", "valley.fog", "valley"},
      {"no file name", nullptr, "Mist"},
      {"10000-character name", longPath.c_str(), std::string(255, 'n')},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.what);
    FeatureLayer *layer = create({c.path});
    char *label = layer->methods->labelGet(layer);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(std::string(label), c.label);
    EXPECT_EQ(hmsc_HeapFree(label), 0);
    EXPECT_EQ(close(layer), 0);
  }
  EXPECT_EQ(blocksLeft(), 0);
}

TEST_F(LayerMethodsTest, MenuAndPopupComeFromThePluginScript) {
  FeatureLayer *layer = create({"valley.fog"});
  pluginScript = nullptr;
  EXPECT_EQ(layer->methods->menuGet(layer), nullptr);

  ASSERT_NE(fogvlLayerInterfaceInit(), nullptr);
  UikPart *menu = layer->methods->menuGet(nullptr);
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(viewerhost::itemLabels(menu),
            (std::vector<std::string>{"New Mist Layer...", "Properties..."}));

  // The viewer's current scene decides, not the layer's.
  viewerhost::setCurrentScene(nullptr);
  EXPECT_EQ(layer->methods->menuGet(layer), nullptr);
  viewerhost::setCurrentScene(scene);

  const char *name = nullptr;
  UikScript *script = nullptr;
  layer->methods->popupGet(layer, &name, &script);
  EXPECT_STREQ(name, "vlfog_stacker_popup");
  EXPECT_EQ(script, pluginScript);
  const char *again = nullptr;
  layer->methods->popupGet(layer, &again, nullptr);
  EXPECT_EQ(again, name); // one constant, not a copy
  layer->methods->popupGet(layer, nullptr, nullptr);
  EXPECT_EQ(close(layer), 0);
  EXPECT_TRUE(viewerhost::errorLog().empty());
}

// Close frees the layer's frame copy whether it is on display or hidden, and
// leaves nothing of the layer on the heap.
TEST_F(LayerMethodsTest, CloseReleasesTheFrameCopyTheHostLayerAndTheRecord) {
  ASSERT_NE(fogvlLayerInterfaceInit(), nullptr);
  ScriptFunction show = scriptFunction("fogshowfogproperties");
  ScriptFunction hide = scriptFunction("foghidefogproperties");
  ASSERT_NE(show, nullptr);
  ASSERT_NE(hide, nullptr);

  for (const bool hidden : {false, true}) {
    SCOPED_TRACE(hidden ? "hidden frame" : "frame on display");
    viewerhost::resetPartCounts();
    const int copiesBefore = viewerhost::liveCopies();
    FeatureLayer *layer = create({"valley.fog", "second"});
    ASSERT_TRUE(viewerhost::addLayer(scene, layer));
    show(nullptr, viewerhost::sceneLayerContext(scene), 0, nullptr, nullptr);
    ASSERT_NE(viewerhost::findDisplayedFrame("fogpropertiesframe", layer), nullptr);
    if (hidden) hide(nullptr, layer, 0, nullptr, nullptr);

    EXPECT_EQ(close(layer), 0);
    EXPECT_EQ(viewerhost::partCounts("fogpropertiesframe").frees, 1);
    EXPECT_EQ(viewerhost::liveCopies(), copiesBefore);
    EXPECT_EQ(viewerhost::findDisplayedFrame("fogpropertiesframe"), nullptr);
    EXPECT_TRUE(viewerhost::layerStack(scene).empty());
  }
  EXPECT_TRUE(viewerhost::questionsAsked().empty());
  EXPECT_EQ(viewerhost::heapInvalidFrees(), 0u);
  EXPECT_EQ(blocksLeft(), 0);
}

} // namespace
