// The Mist layer's script functions driven through the toolkit as a user
// drives them: the menu makes layers and opens the properties frame, the
// frame shows the layer's values, typing and Apply write them back, Close
// hides the frame, and the layer-stack popup acts on its own row.
#include "script_functions.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>
#include <vector>

#include "entry_points.h"
#include "fog_layer.h"
#include "temp_dir.h"
#include "ui_control.h"
#include "viewer_control.h"
#include "viewer_scene_fixture.h"

namespace {

constexpr const char *kFrame = "fogpropertiesframe";

class ScriptFunctionsTest : public ViewerSceneTest {
 protected:
  void SetUp() override {
    ViewerSceneTest::SetUp();
    viewerhost::setResourceSearchPath({FOG_LAYER_RESOURCES});
    viewerhost::resetPartCounts();
    viewerhost::setElevationRange(scene, 12.34, 100.0);
    copiesAtStart = viewerhost::liveCopies();
    pluginScript = nullptr; // parse the shipped script afresh
    ASSERT_NE(fogvlLayerInterfaceInit(), nullptr);
    context = viewerhost::sceneLayerContext(scene);
    ErrorReport error = nullptr;
    menu = uik_MenuExtract(uik_FindMenu(pluginScript, "vlfogmenu", &error),
                           viewerhost::scenePart(scene), &error);
    ASSERT_NE(menu, nullptr);
  }

  void TearDown() override {
    ViewerSceneTest::TearDown();
    viewerhost::setResourceSearchPath({});
  }

  // "New Mist Layer..." from the menu, answering the file prompt.
  FeatureLayer *newLayer(const std::string &fileName = "valley.fog") {
    EXPECT_TRUE(viewerhost::chooseItem(menu, "New Mist Layer...", context, {fileName}));
    auto stack = viewerhost::layerStack(scene);
    return stack.empty() ? nullptr : stack.front().layer;
  }

  // "Properties..." from the menu: the frame of the scene's top Mist layer.
  UikPart *showProperties(FeatureLayer *layer) {
    EXPECT_TRUE(viewerhost::chooseItem(menu, "Properties...", context));
    return viewerhost::findDisplayedFrame(kFrame, layer);
  }

  static std::vector<std::string> texts(const UikPart *frame) {
    std::vector<std::string> values;
    for (const auto &field : viewerhost::frameFields(frame)) values.push_back(field.text);
    return values;
  }

  LayerContext *context = nullptr;
  UikPart *menu = nullptr;
  int copiesAtStart = 0;
};

TEST_F(ScriptFunctionsTest, ShowEditApplyHideAndShowAgainUseOneCopy) {
  FeatureLayer *layer = newLayer();
  ASSERT_NE(layer, nullptr);
  FogLayer *fog = fogLayerOf(layer);
  EXPECT_STREQ(fog->fileName, "valley.fog");
  ASSERT_EQ(fog->argumentCount, 1);

  UikPart *frame = showProperties(layer);
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(viewerhost::frameSource(frame), viewerhost::scenePart(scene));
  EXPECT_EQ(fog->propertiesFrame, frame);
  EXPECT_EQ(texts(frame),
            (std::vector<std::string>{"0.1", "15", "56.2", "12.3", "0.6", "0.6", "0.6", "1"}));

  const int redraws = viewerhost::redrawCount(scene);
  ASSERT_TRUE(viewerhost::typeIntoField(frame, "density", "0.25"));
  ASSERT_TRUE(viewerhost::pressButton(frame, "apply"));
  EXPECT_EQ(fog->density, 0.25);
  EXPECT_EQ(fog->modified, 1);
  EXPECT_EQ(viewerhost::redrawCount(scene), redraws + 1);
  // Applying the same texts again changes nothing and does not clear the mark.
  ASSERT_TRUE(viewerhost::pressButton(frame, "apply"));
  EXPECT_EQ(fog->modified, 1);
  EXPECT_EQ(viewerhost::redrawCount(scene), redraws + 2);

  ASSERT_TRUE(viewerhost::pressButton(frame, "close"));
  EXPECT_FALSE(viewerhost::isDisplayed(frame));
  EXPECT_EQ(fog->propertiesShown, 0);
  EXPECT_EQ(fog->propertiesFrame, frame);

  // Shown again: the same copy, filled with the applied value.
  EXPECT_EQ(showProperties(layer), frame);
  EXPECT_EQ(viewerhost::fieldText(frame, "density"), "0.25");
  // Shown while on display: brought up again, still no new copy.
  EXPECT_EQ(showProperties(layer), frame);

  viewerhost::PartCounts counts = viewerhost::partCounts(kFrame);
  EXPECT_EQ(counts.finds, 1);
  EXPECT_EQ(counts.copies, 1);
  EXPECT_EQ(counts.displays, 3);
  EXPECT_EQ(counts.removals, 1);

  // Closing the modified layer asks once (answered no) and frees the copy.
  viewerhost::destroyScene(scene);
  scene = nullptr;
  EXPECT_EQ(viewerhost::questionsAsked().size(), 1u);
  EXPECT_EQ(viewerhost::partCounts(kFrame).frees, 1);
  EXPECT_EQ(viewerhost::liveCopies(), copiesAtStart);
  EXPECT_EQ(blocksLeft(), 0);
}

TEST_F(ScriptFunctionsTest, ApplyMarksModifiedOnlyWhenANumberDiffers) {
  struct Case {
    const char *field; // null: apply the texts as displayed
    const char *text;
    int modified;
    bool (*holds)(const FogLayer &);
  };
  const Case cases[] = {
      {nullptr, nullptr, 0,
       [](const FogLayer &f) { return f.density == 0.1 && f.planeCount == 15.0; }},
      {"density", "0.10", 0, [](const FogLayer &f) { return f.density == 0.1; }},
      {"show", "0", 0, [](const FogLayer &f) { return f.visible == 0; }},
      {"top", "  56.2e0 m", 0, [](const FogLayer &f) { return f.topElevation == 56.2; }},
      {"density", "abc", 1, [](const FogLayer &f) { return f.density == 0.0; }},
      {"planes", "7.5", 1, [](const FogLayer &f) { return f.planeCount == 7.5; }},
      {"blue", "0.6000000000000001", 1,
       [](const FogLayer &f) { return f.blue == 0.6000000000000001; }},
      {"bottom", "nan", 1, [](const FogLayer &f) { return std::isnan(f.bottomElevation); }},
      {"show", "-3", 0, [](const FogLayer &f) { return f.visible == -3; }},
      {"show", "99999999999999999999", 0, [](const FogLayer &f) { return f.visible == INT32_MAX; }},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.field != nullptr ? std::string(c.field) + " = " + c.text : "unchanged");
    FeatureLayer *layer = newLayer();
    ASSERT_NE(layer, nullptr);
    UikPart *frame = showProperties(layer);
    ASSERT_NE(frame, nullptr);
    if (c.field != nullptr) {
      ASSERT_TRUE(viewerhost::typeIntoField(frame, c.field, c.text));
    }
    const int redraws = viewerhost::redrawCount(scene);
    ASSERT_TRUE(viewerhost::pressButton(frame, "apply"));
    const FogLayer &fog = *fogLayerOf(layer);
    EXPECT_EQ(fog.modified, c.modified);
    EXPECT_TRUE(c.holds(fog));
    // The scene redraws whether or not anything changed.
    EXPECT_EQ(viewerhost::redrawCount(scene), redraws + 1);
  }
}

TEST_F(ScriptFunctionsTest, ShowWithoutAParsedScriptCanBeRetried) {
  FeatureLayer *layer = newLayer();
  UikScript *parsed = pluginScript;
  pluginScript = nullptr;
  EXPECT_EQ(showProperties(layer), nullptr);
  EXPECT_EQ(fogLayerOf(layer)->propertiesShown, 0);
  EXPECT_EQ(fogLayerOf(layer)->propertiesFrame, nullptr);

  pluginScript = parsed;
  UikPart *frame = showProperties(layer);
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(viewerhost::fieldText(frame, "planes"), "15");
}

TEST_F(ScriptFunctionsTest, FieldsReadBackStoredNumbersAndColourAsPercentG) {
  FeatureLayer *layer = newLayer();
  UikPart *frame = showProperties(layer);
  ASSERT_NE(frame, nullptr);
  const std::pair<const char *, const char *> edits[] = {
      {"planes", "7.5"},     {"red", "0.123456789"}, {"green", "1e-07"},
      {"blue", "123456789"}, {"show", "-3"},
  };
  for (const auto &[field, text] : edits)
    ASSERT_TRUE(viewerhost::typeIntoField(frame, field, text));
  ASSERT_TRUE(viewerhost::pressButton(frame, "apply"));
  ASSERT_TRUE(viewerhost::pressButton(frame, "close"));
  ASSERT_EQ(showProperties(layer), frame);

  // The plane count comes back as stored, fraction included; the colour
  // carries at most six significant digits; any non-zero flag reads 1.
  EXPECT_EQ(viewerhost::fieldText(frame, "planes"), "7.5");
  EXPECT_EQ(viewerhost::fieldText(frame, "red"), "0.123457");
  EXPECT_EQ(viewerhost::fieldText(frame, "green"), "1e-07");
  EXPECT_EQ(viewerhost::fieldText(frame, "blue"), "1.23457e+08");
  EXPECT_EQ(viewerhost::fieldText(frame, "show"), "1");
  EXPECT_EQ(fogLayerOf(layer)->red, 0.123456789);

  ASSERT_TRUE(viewerhost::typeIntoField(frame, "show", "0"));
  ASSERT_TRUE(viewerhost::pressButton(frame, "apply"));
  EXPECT_EQ(showProperties(layer), frame);
  EXPECT_EQ(viewerhost::fieldText(frame, "show"), "0");
}

TEST_F(ScriptFunctionsTest, SetterWithFewerThanEightStringsChangesNothing) {
  TempDir dir;
  ASSERT_TRUE(dir.ok());
  const std::string path = dir.write("short.uis", R"(
frame shortframe "Short"
  field density "Density" from foggetfogdensity
  field planes "Planes" from foggetfoglayernumber
  button two "Apply two" calls fogsetfogproperties (density, planes)
  button none "Apply none" calls fogsetfogproperties
end
)");
  ErrorReport error = nullptr;
  UikScript *script =
      uik_ParseVa(nullptr, path.c_str(), nullptr, &error, 1, scriptFunctionTable, 0);
  ASSERT_NE(script, nullptr);

  FeatureLayer *layer = newLayer();
  UikPart *frame = uik_PartDup(uik_PartFind(script, "shortframe", &error), &error);
  uik_FrameContextSet(frame, layer, &error);
  uik_FrameDisplay(frame, &error);
  ASSERT_EQ(error, nullptr);
  ASSERT_TRUE(viewerhost::typeIntoField(frame, "density", "0.9"));

  const int redraws = viewerhost::redrawCount(scene);
  for (const char *button : {"two", "none"}) {
    ASSERT_TRUE(viewerhost::pressButton(frame, button));
    const FogLayer &fog = *fogLayerOf(layer);
    EXPECT_EQ(fog.density, 0.1) << button;
    EXPECT_EQ(fog.planeCount, 15.0) << button;
    EXPECT_EQ(fog.modified, 0) << button;
  }
  EXPECT_EQ(viewerhost::redrawCount(scene), redraws);
  uik_PartFree(frame, &error);
}

TEST_F(ScriptFunctionsTest, CallsWithoutALayerDoNothingAndGiveNoList) {
  // Properties in a scene without a Mist layer shows nothing.
  EXPECT_TRUE(viewerhost::chooseItem(menu, "Properties...", context));
  EXPECT_EQ(viewerhost::partCounts(kFrame).finds, 0);

  // The frame without a context: empty fields, and Apply changes nothing.
  FeatureLayer *layer = newLayer();
  ErrorReport error = nullptr;
  UikPart *frame = uik_PartDup(uik_PartFind(pluginScript, kFrame, &error), &error);
  uik_FrameDisplay(frame, &error);
  EXPECT_EQ(texts(frame), std::vector<std::string>(8, ""));
  for (const char *field : {"density", "planes", "top", "bottom", "red", "green", "blue", "show"})
    viewerhost::typeIntoField(frame, field, "5");
  EXPECT_TRUE(viewerhost::pressButton(frame, "apply"));
  EXPECT_EQ(fogLayerOf(layer)->density, 0.1);
  uik_PartFree(frame, &error);

  // Every function in the table, in its fixed order, with a null context.
  const char *names[] = {"setvisibility",         "raisetotop",           "lowertobottom",
                         "deletelayer",           "fogcreatemodellayer",  "foghidefogproperties",
                         "fogshowfogproperties",  "fogsetfogproperties",  "foggetfogcolor",
                         "foggetfogdensity",      "foggetfoglayernumber", "foggetfogtopelevel",
                         "foggetfogbottomelevel", "foggetshowfog"};
  const int redraws = viewerhost::redrawCount(scene);
  const long blocks = blocksLeft();
  char value[] = "1";
  char *strings[8] = {value, value, value, value, value, value, value, value};
  size_t i = 0;
  for (; scriptFunctionTable[i].name != nullptr; ++i) {
    ASSERT_LT(i, std::size(names));
    EXPECT_STREQ(scriptFunctionTable[i].name, names[i]);
    EXPECT_EQ(scriptFunctionTable[i].function(nullptr, nullptr, 8, strings, &error), nullptr)
        << names[i];
    EXPECT_EQ(error, nullptr) << names[i];
  }
  EXPECT_EQ(i, std::size(names));
  EXPECT_EQ(scriptFunctionTable[i].function, nullptr);
  EXPECT_EQ(viewerhost::redrawCount(scene), redraws);
  EXPECT_EQ(blocksLeft(), blocks);
  EXPECT_EQ(viewerhost::layerStack(scene).size(), 1u);
}

TEST_F(ScriptFunctionsTest, PopupCommandsActOnTheirOwnRow) {
  FeatureLayer *lower = newLayer("lower.fog");
  FeatureLayer *upper = newLayer("upper.fog");
  ASSERT_NE(lower, nullptr);
  ASSERT_NE(upper, nullptr);
  const char *popupName = nullptr;
  UikScript *script = nullptr;
  lower->methods->popupGet(lower, &popupName, &script);
  ErrorReport error = nullptr;
  UikPart *popup = uik_PartFind(script, popupName, &error);
  ASSERT_NE(popup, nullptr);
  LayerContext *row = viewerhost::layerRowContext(lower);
  ASSERT_NE(row, nullptr);

  auto order = [this] {
    std::vector<FeatureLayer *> layers;
    for (const auto &entry : viewerhost::layerStack(scene)) layers.push_back(entry.layer);
    return layers;
  };
  EXPECT_TRUE(viewerhost::chooseItem(popup, "Raise to Top", row));
  EXPECT_EQ(order(), (std::vector<FeatureLayer *>{lower, upper}));
  EXPECT_TRUE(viewerhost::chooseItem(popup, "Show/Hide", row));
  EXPECT_FALSE(viewerhost::layerStack(scene)[0].shown);
  EXPECT_TRUE(viewerhost::layerStack(scene)[1].shown);
  EXPECT_TRUE(viewerhost::chooseItem(popup, "Lower to Bottom", row));
  EXPECT_EQ(order(), (std::vector<FeatureLayer *>{upper, lower}));

  // Properties opens the row's layer, not the top Mist layer of the scene.
  EXPECT_TRUE(viewerhost::chooseItem(popup, "Properties...", row));
  EXPECT_NE(viewerhost::findDisplayedFrame(kFrame, lower), nullptr);
  EXPECT_EQ(viewerhost::findDisplayedFrame(kFrame, upper), nullptr);

  // Delete closes the layer, frame copy and all; the popup stays harmless.
  EXPECT_TRUE(viewerhost::chooseItem(popup, "Delete", row));
  EXPECT_EQ(order(), (std::vector<FeatureLayer *>{upper}));
  EXPECT_EQ(viewerhost::findDisplayedFrame(kFrame), nullptr);
  EXPECT_EQ(viewerhost::liveCopies(), copiesAtStart);
  EXPECT_TRUE(viewerhost::chooseItem(popup, "Properties...", row));
  EXPECT_EQ(viewerhost::findDisplayedFrame(kFrame), nullptr);
}

// The export and the earlier build, loaded as the viewer loads them.
TEST_F(ScriptFunctionsTest, ShowPropertiesIsExportedExceptInTheEarlierBuild) {
  struct Build {
    const char *path;
    bool exportsShow;
  };
  for (const Build &build :
       {Build{FOG_VIEWER_PLUGIN, true}, Build{FOG_VIEWER_EARLIER_PLUGIN, false}}) {
    SCOPED_TRACE(build.path);
    void *plugin = dlopen(build.path, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(plugin, nullptr) << dlerror();
    auto init = reinterpret_cast<UikScript *(*)()>(dlsym(plugin, "fogvlLayerInterfaceInit"));
    auto create = reinterpret_cast<FeatureLayerConstructor>(dlsym(plugin, "fogvlLayerCreate"));
    auto show = reinterpret_cast<ScriptFunction>(dlsym(plugin, "FOGShowFogProperties"));
    ASSERT_NE(init, nullptr);
    ASSERT_NE(create, nullptr);
    ASSERT_NE(init(), nullptr);
    EXPECT_EQ(show != nullptr, build.exportsShow);

    char fileName[] = "loaded.fog";
    char *arguments[] = {fileName};
    FeatureLayer *layer = create(hostLayer(), 0, 1, arguments);
    ASSERT_NE(layer, nullptr);
    ASSERT_TRUE(viewerhost::addLayer(scene, layer));
    ErrorReport error = nullptr;
    if (show != nullptr) {
      EXPECT_EQ(show(nullptr, context, 0, nullptr, &error), nullptr);
    } else {
      // The function stays reachable through the plug-in's own menu.
      EXPECT_TRUE(viewerhost::chooseItem(layer->methods->menuGet(layer), "Properties...", context));
    }
    EXPECT_NE(viewerhost::findDisplayedFrame(kFrame, layer), nullptr);
    viewerhost::removeLayer(layer);
    layer->methods->close(layer);
    EXPECT_EQ(viewerhost::findDisplayedFrame(kFrame, layer), nullptr);
  }
}

TEST_F(ScriptFunctionsTest, BadScriptIsShownOnceWithFileAndLine) {
  const struct {
    const char *what;
    const char *script;
    const char *report; // after "<path>:"
  } cases[] = {
      {"syntax error", "frame fogpropertiesframe \"Mist\"\n  field density Density\nend\n",
       "2: expected the field's label in quotes, found Density"},
      {"unknown function",
       "frame fogpropertiesframe \"Mist\"\n"
       "  field density \"Density\" from foggetfogdensity\n"
       "  button apply \"Apply\" calls fogsetproperties (density)\n"
       "end\n",
       "3: expected the name of a registered script function, found \"fogsetproperties\""},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    ASSERT_TRUE(dir.ok());
    dir.write("vlfog.uis", c.script);
    viewerhost::setResourceSearchPath({dir.path().string()});
    pluginScript = nullptr;
    viewerhost::clearErrorLog();
    EXPECT_EQ(fogvlLayerInterfaceInit(), nullptr);
    EXPECT_EQ(viewerhost::errorLog(),
              std::vector<std::string>{dir.file("vlfog.uis") + ":" + c.report});
  }
}

} // namespace
