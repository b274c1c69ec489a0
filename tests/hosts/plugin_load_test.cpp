// The plug-ins load from their built files as the hosts load them, every
// entry point is found by name, and a Mist layer made through the loaded
// viewer plug-in (current and earlier build) carries the defaults worked out
// from the stand-in viewer's scene.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "viewer_scene_fixture.h"

namespace {

struct Plugin {
  const char *path;
  std::vector<const char *> exports;
};

const std::vector<const char *> kViewerEarlierExports = {
    "fogvlLayerInterfaceInit", "fogvlLayerGetTypeName", "fogvlLayerGetInterfaceFileTypeDef",
    "fogFileTitleIdentify",    "fogInstanceExtListGet", "fogvlLayerCreate",
    "fogvlLayerOpen"};

std::vector<const char *> viewerExports() {
  std::vector<const char *> names = kViewerEarlierExports;
  names.push_back("FOGShowFogProperties");
  return names;
}

void *openPlugin(const char *path) {
  void *handle = dlopen(path, RTLD_NOW | RTLD_LOCAL);
  EXPECT_NE(handle, nullptr) << path << ": " << dlerror();
  return handle;
}

TEST(PluginLoadTest, EveryEntryPointIsFoundByName) {
  const Plugin plugins[] = {
      {FOG_VIEWER_PLUGIN, viewerExports()},
      {FOG_VIEWER_EARLIER_PLUGIN, kViewerEarlierExports},
      {FOG_CAD_PLUGIN,
       {"initialize", "dlmTextureCleanup", "dlmTextureProcedure", "dlmResetTransform",
        "dlmTextureDisplay", "dlmProcInfo", "dlmTextureParameters"}},
  };
  for (const Plugin &plugin : plugins) {
    SCOPED_TRACE(plugin.path);
    void *handle = openPlugin(plugin.path);
    if (handle == nullptr) continue;
    for (const char *name : plugin.exports) EXPECT_NE(dlsym(handle, name), nullptr) << name;
    EXPECT_EQ(dlsym(handle, "fogLayer_setUp"), nullptr);
    dlclose(handle);
  }
}

struct LayerValues {
  double density = -1, bottom = -1, top = -1;
  int32_t planes = -1;
  double rectangle[4] = {-1, -1, -1, -1};
  double colour[3] = {-1, -1, -1};
};

// Reads a layer's numbers through its attribute slot, as the host does.
LayerValues valuesOf(FeatureLayer *layer) {
  LayerValues v;
  ErrorReport error = nullptr;
  layer->methods->attributesGet(layer, &error, 1, &v.density, 2, &v.planes, 3, &v.bottom, 4, &v.top,
                                5, &v.rectangle[0], &v.rectangle[1], &v.rectangle[2],
                                &v.rectangle[3], 6, v.colour, 0);
  return v;
}

using PluginLayerTest = ViewerSceneTest;

TEST_F(PluginLayerTest, LoadedPluginsCreateMistLayersWithSceneDefaults) {
  struct Build {
    const char *path;
    double bottom;
    double top;
  };
  // Elevations 0.25 .. 1: the earlier build scales back with * 0.1.
  const Build builds[] = {
      {FOG_VIEWER_PLUGIN, 0.3, 0.6},
      {FOG_VIEWER_EARLIER_PLUGIN, 0.30000000000000004, 0.60000000000000009},
  };
  viewerhost::setElevationRange(scene, 0.25, 1.0);
  viewerhost::setGroundExtents(scene, -5.0, 250.0, 10.0, 300.0);
  for (const Build &build : builds) {
    SCOPED_TRACE(build.path);
    void *handle = openPlugin(build.path);
    if (handle == nullptr) continue;
    auto create = reinterpret_cast<FeatureLayerConstructor>(dlsym(handle, "fogvlLayerCreate"));
    ASSERT_NE(create, nullptr);

    char *arguments[] = {const_cast<char *>("/data/valley.fog")};
    FeatureLayer *layer = create(hostLayer(), 0, 1, arguments);
    ASSERT_NE(layer, nullptr);
    ASSERT_NE(layer->methods, nullptr);
    ASSERT_NE(layer->methods->typeNameGet, nullptr);
    EXPECT_STREQ(layer->methods->typeNameGet(), "Mist");

    const LayerValues v = valuesOf(layer);
    EXPECT_EQ(v.bottom, build.bottom);
    EXPECT_EQ(v.top, build.top);
    EXPECT_EQ(v.density, 0.1);
    EXPECT_EQ(v.planes, 15);
    EXPECT_EQ(v.rectangle[0], -5.0);
    EXPECT_EQ(v.rectangle[1], 10.0);
    EXPECT_EQ(v.rectangle[2], 250.0);
    EXPECT_EQ(v.rectangle[3], 300.0);
    EXPECT_EQ(v.colour[0], 0.6);
    EXPECT_EQ(v.colour[1], 0.6);
    EXPECT_EQ(v.colour[2], 0.6);

    // An unchanged layer closes without a question and leaves nothing.
    EXPECT_EQ(layer->methods->close(layer), 0);
    EXPECT_TRUE(viewerhost::questionsAsked().empty());
    EXPECT_EQ(blocksLeft(), 0);
    dlclose(handle);
  }
}

} // namespace
