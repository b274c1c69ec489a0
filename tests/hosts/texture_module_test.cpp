// The texture module loaded from cad/fog.so as the CAD renderer loads it:
// lifecycle from load to cleanup, shading samples end to end through the
// stand-in host (materials, views, clock and notice), and the preview.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cad_control.h"
#include "cad_host.h"

namespace {

constexpr int32_t kModuleHandle = 7;

using Record = std::array<float, 4>;

// The fog of the default parameters at a few pattern points.
constexpr Record kOriginAtTime0{123.20397186279297f, 110.88357543945312f, 98.56317901611328f,
                                131.7960205078125f};
constexpr Record kOriginAtTime1{35.9576301574707f, 32.36186599731445f, 28.766103744506836f,
                                219.04237365722656f};
constexpr Record kPoint123AtTime0{117.63583374023438f, 105.87224578857422f, 94.1086654663086f,
                                  137.36416625976562f};

// The module's exports, found by name in a freshly loaded copy; unloaded
// again at the end so the next test meets a module that was never set up.
class TextureModuleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    cadhost::reset();
    ASSERT_EQ(dlopen(FOG_CAD_PLUGIN, RTLD_NOW | RTLD_NOLOAD), nullptr)
        << "the module must not be loaded yet";
    module_ = dlopen(FOG_CAD_PLUGIN, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(module_, nullptr) << dlerror();
    bind(initialize, "initialize");
    bind(cleanup, "dlmTextureCleanup");
    bind(procedure, "dlmTextureProcedure");
    bind(resetTransform, "dlmResetTransform");
    bind(display, "dlmTextureDisplay");
    bind(procInfo, "dlmProcInfo");
    bind(parameters, "dlmTextureParameters");
  }

  void TearDown() override {
    if (module_) {
      if (cleanup) cleanup(0); // releases the fallback material through the host
      dlclose(module_);
      EXPECT_EQ(dlopen(FOG_CAD_PLUGIN, RTLD_NOW | RTLD_NOLOAD), nullptr) << "not unloaded";
    }
    EXPECT_EQ(cadhost::liveMaterials(), 0);
    cadhost::reset();
  }

  template <typename T>
  void bind(T &slot, const char *name) {
    slot = reinterpret_cast<T>(dlsym(module_, name));
    ASSERT_NE(slot, nullptr) << name;
  }

  Record shade(const TextureSample &sample) {
    TextureColor color{-1, -1, -1, -1};
    EXPECT_EQ(procedure(&color, &sample), &color);
    return {color.red, color.green, color.blue, color.transparency};
  }

  static TextureSample viewSample(int32_t materialId, int32_t windowId, float x, float y, float z) {
    TextureSample sample{};
    sample.flags = SAMPLE_VIEW_POINT;
    sample.windowId = windowId;
    sample.materialId = materialId;
    sample.viewPoint[0] = x;
    sample.viewPoint[1] = y;
    sample.viewPoint[2] = z;
    return sample;
  }

  static void addMaterial(int32_t id, const std::string &text) {
    cadhost::MaterialSpec described{.id = id, .name = "Material " + std::to_string(id)};
    described.map1 = cadhost::MapSpec{.mode = 1, .parameterText = text};
    cadhost::addMaterial(described);
  }

  int32_t (*initialize)(int32_t, int32_t, int32_t) = nullptr;
  void (*cleanup)(int32_t) = nullptr;
  TextureColor *(*procedure)(TextureColor *, const TextureSample *) = nullptr;
  int32_t (*resetTransform)() = nullptr;
  int32_t (*display)(uint8_t *, int32_t *, int32_t (*)()) = nullptr;
  uint32_t *procInfo = nullptr;
  XelStringList *parameters = nullptr;

 private:
  void *module_ = nullptr;
};

// The libraries the file names as needed at load time.
std::vector<std::string> neededLibraries(const char *path) {
  std::vector<std::string> needed;
  const std::string command = std::string("readelf -d '") + path + "' 2>&1";
  std::unique_ptr<FILE, int (*)(FILE *)> pipe(popen(command.c_str(), "r"), pclose);
  if (!pipe) return needed;
  char line[512];
  while (std::fgets(line, sizeof line, pipe.get())) {
    const std::string text = line;
    const size_t open = text.find("Shared library: [");
    if (open == std::string::npos) continue;
    const size_t start = open + 17;
    needed.push_back(text.substr(start, text.find(']', start) - start));
  }
  return needed;
}

TEST_F(TextureModuleTest, TheFirstCleanupSetsTheModuleUpOnce) {
  EXPECT_EQ(*procInfo, 0u);
  EXPECT_EQ(*parameters, nullptr);
  EXPECT_EQ(initialize(-1, 99, kModuleHandle), 0);

  cleanup(0);
  EXPECT_EQ(*procInfo, 7u);
  ASSERT_NE(*parameters, nullptr);
  const std::vector<std::string> members = cadhost::stringListMembers(*parameters);
  ASSERT_EQ(members.size(), 12u);
  EXPECT_EQ(members.front(), "fog_relative_coords 1");
  EXPECT_EQ(members[3], "fog_primary_color_name Fog Color");

  const XelStringList published = *parameters;
  cleanup(0);
  EXPECT_EQ(*parameters, published);
  EXPECT_EQ(cadhost::stringListMembers(*parameters).size(), 12u);
}

TEST_F(TextureModuleTest, ADialogModeSetUpPublishesNoDefaultListAndQueuesTheCommand) {
  initialize(0, 0, kModuleHandle);
  cleanup(2);
  EXPECT_EQ(*procInfo, 7u);
  EXPECT_EQ(*parameters, nullptr);
  cleanup(0);
  EXPECT_EQ(*parameters, nullptr);

  std::vector<uint8_t> image(3 * 8 * 8);
  int32_t size[2] = {8, 8};
  EXPECT_EQ(display(image.data(), size, nullptr), 0);
  EXPECT_EQ(display(image.data(), size, [] { return int32_t{1}; }), 0x8000);
  const std::vector<cadhost::QueuedCommand> commands = cadhost::commandLog();
  ASSERT_EQ(commands.size(), 2u);
  for (const cadhost::QueuedCommand &command : commands) {
    EXPECT_EQ(command.commandNumber, 0x79020000u);
    EXPECT_EQ(command.argumentText, "fog");
  }
}

TEST_F(TextureModuleTest, SamplesAreShadedEndToEndThroughTheHost) {
  // The rendering library is not a load-time dependency: the module binds it
  // when a material is first needed.
  for (const std::string &library : neededLibraries(FOG_CAD_PLUGIN))
    EXPECT_EQ(library.find("cadrender"), std::string::npos) << library;

  initialize(0, 0, kModuleHandle);
  cleanup(0);
  addMaterial(1, "");
  addMaterial(2, "fog_contrast 0");
  cadhost::setView(10, {{0.0, 0.0, 0.0}, {1, 0, 0, 0, 1, 0, 0, 0, 1}, 0});
  cadhost::setView(11, {{1.0, 2.0, 3.0}, {1, 0, 0, 0, 1, 0, 0, 0, 1}, 4});

  EXPECT_EQ(shade(viewSample(1, 10, 1.0f, 2.0f, 3.0f)), kPoint123AtTime0);
  EXPECT_EQ(shade(viewSample(1, 11, 0.0f, 0.0f, 0.0f)), kPoint123AtTime0);
  EXPECT_EQ(shade(viewSample(1, 10, 0.0f, 0.0f, 0.0f)), kOriginAtTime0);
  EXPECT_EQ(shade(viewSample(2, 10, 5.0f, 6.0f, 7.0f)), (Record{255.0f, 229.5f, 204.0f, 0.0f}));
  EXPECT_GT(cadhost::callCount("xelMaterial_findFromId"), 0);
  EXPECT_EQ(resetTransform(), 0);
  EXPECT_EQ(shade(viewSample(1, 11, 0.0f, 0.0f, 0.0f)), kPoint123AtTime0);
}

TEST_F(TextureModuleTest, AnimatedFogFollowsTheHostsClockUntilTheNotice) {
  initialize(0, 0, kModuleHandle);
  cleanup(0);
  addMaterial(1, "");
  cadhost::setView(10, {});
  cadhost::publish(cadhost::Symbol::AnimatorSeconds);
  cadhost::setAnimationSeconds(1.0);
  const TextureSample origin = viewSample(1, 10, 0.0f, 0.0f, 0.0f);

  EXPECT_EQ(shade(origin), kOriginAtTime1);
  cadhost::setAnimationSeconds(0.0);
  EXPECT_EQ(shade(origin), kOriginAtTime0);

  // The animator goes away: the module stops reading its clock.
  cadhost::setAnimationSeconds(1.0);
  cadhost::withdraw(cadhost::Symbol::AnimatorSeconds);
  EXPECT_EQ(cadhost::sendNotice("AnimaShr"), 1);
  EXPECT_EQ(shade(origin), kOriginAtTime0);

  // It comes back: the next sample binds the clock again.
  cadhost::publish(cadhost::Symbol::AnimatorSeconds);
  EXPECT_EQ(shade(origin), kOriginAtTime1);
}

TEST_F(TextureModuleTest, ShadingBeforeTheFirstCleanupSetsTheModuleUp) {
  initialize(0, 0, kModuleHandle);
  addMaterial(1, "");
  cadhost::setView(10, {});
  EXPECT_EQ(shade(viewSample(1, 10, 1.0f, 2.0f, 3.0f)), kPoint123AtTime0);
  EXPECT_EQ(*procInfo, 7u);
  EXPECT_NE(*parameters, nullptr);
}

TEST_F(TextureModuleTest, ThePreviewBeforeTheFirstCleanupAnswersTheDefaults) {
  int32_t size[2] = {0, 0};
  EXPECT_EQ(display(nullptr, size, nullptr), 0);
  EXPECT_EQ(size[0], 256);
  EXPECT_EQ(size[1], 256);

  size[0] = 2;
  size[1] = 1;
  std::vector<uint8_t> first(6, 0), second(6, 0);
  EXPECT_EQ(display(first.data(), size, nullptr), 0);
  EXPECT_EQ(display(second.data(), size, nullptr), 0);
  EXPECT_EQ(first, second);
  // Pixel 0 is the fog of the defaults at the origin, time 0.
  EXPECT_EQ(first[0], 123);
  EXPECT_EQ(first[2], 110);
  EXPECT_EQ(first[4], 98);
  EXPECT_EQ(cadhost::userAbortLog(), (std::vector<int32_t>{0, 1, 0, 1}));
}

} // namespace
