// The texture module's binding of the rendering library: loaded at the first
// material call, not before, and each operation served by the host's materials.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "cad_control.h"
#include "cad_host.h"

namespace {

bool renderingLibraryLoaded() {
  void *handle = dlopen("libcadrender.so", RTLD_NOW | RTLD_NOLOAD);
  if (handle != nullptr) dlclose(handle); // give back the reference the probe took
  return handle != nullptr;
}

// Each check runs in a fresh process, where nothing has called a material
// operation yet; the exit code names the first check that failed.
[[noreturn]] void firstCallLoadsTheLibrary() {
  if (renderingLibraryLoaded()) std::_Exit(1);
  XelMaterial *tabled = cadhost::addMaterial({.id = 3, .name = "first"});
  cadhost::addMaterial({.id = 4, .name = "second"});
  if (renderingLibraryLoaded()) std::_Exit(2); // setting up the host loads nothing
  if (xelMaterial_findFromId(3) != tabled) std::_Exit(3);
  if (!renderingLibraryLoaded()) std::_Exit(4);
  if (xelMaterial_getMap(tabled, -1, 0) != nullptr) std::_Exit(5);
  std::_Exit(0);
}

[[noreturn]] void loadingTheModuleLoadsNoRenderingLibrary() {
  void *module = dlopen(FOG_CAD_PLUGIN, RTLD_NOW | RTLD_LOCAL);
  if (module == nullptr) std::_Exit(1);
  if (renderingLibraryLoaded()) std::_Exit(2);
  std::_Exit(0);
}

TEST(RenderBindingLoad, FirstMaterialCallLoadsTheRenderingLibrary) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(firstCallLoadsTheLibrary(), ::testing::ExitedWithCode(0), "");
}

TEST(RenderBindingLoad, TheModuleDoesNotLinkTheRenderingLibrary) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(loadingTheModuleLoadsNoRenderingLibrary(), ::testing::ExitedWithCode(0), "");
}

class RenderBinding : public ::testing::Test {
 protected:
  void SetUp() override { cadhost::reset(); }
  void TearDown() override { cadhost::reset(); }
};

TEST_F(RenderBinding, EachOperationReachesTheHostsMaterials) {
  cadhost::MapSpec map;
  map.parameterText = "fog_density 0.25\nfog_thickness 2";
  XelMaterial *tabled = cadhost::addMaterial({.id = 21, .name = "Second map only", .map2 = map});

  EXPECT_EQ(xelMaterial_findFromId(21), tabled);
  EXPECT_EQ(xelMaterial_findFromId(22), nullptr);
  EXPECT_EQ(xelMaterial_getMap(tabled, 1, 0), nullptr);
  XelMap *second = xelMaterial_getMap(tabled, -1, 0);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second, tabled->maps[1]);
  EXPECT_EQ(cadhost::stringListMembers(xelMaterial_getMapUserData(second)),
            (std::vector<std::string>{"fog_density 0.25", "fog_thickness 2"}));

  const int32_t live = cadhost::liveMaterials();
  XelMaterial *created = xelMaterial_create();
  ASSERT_NE(created, nullptr);
  EXPECT_EQ(created->id, 0);
  EXPECT_EQ(cadhost::liveMaterials(), live + 1);
  xelMaterial_free(created);
  EXPECT_EQ(cadhost::liveMaterials(), live);
  cadhost::setMaterialCreateFailure(cadhost::kAlwaysFail);
  EXPECT_EQ(xelMaterial_create(), nullptr);

  // Only the rendering library's own operations count these calls: none was
  // answered by the binding itself.
  const struct {
    const char *operation;
    int32_t calls;
  } expected[] = {{"xelMaterial_findFromId", 2},
                  {"xelMaterial_getMap", 2},
                  {"xelMaterial_getMapUserData", 1},
                  {"xelMaterial_create", 2},
                  {"xelMaterial_free", 1}};
  for (const auto &e : expected) EXPECT_EQ(cadhost::callCount(e.operation), e.calls) << e.operation;
}

} // namespace
