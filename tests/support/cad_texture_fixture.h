// cad_texture_fixture.h - a texture module (linked in, not loaded) in a bare
// stand-in CAD application, for the tests of the module's instance cache,
// transform, sample binding, clock, entry points and preview.
//
// Every test starts with the host reset, the module set up and its caches
// empty, and ends with the caches released, the allocator restored and the
// host reset again, so no instance or material outlives its test.
#ifndef FOG_TESTS_CAD_TEXTURE_FIXTURE_H
#define FOG_TESTS_CAD_TEXTURE_FIXTURE_H

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cad_control.h"
#include "entry_points.h"
#include "fog_params.h"
#include "instance_cache.h"

class CadTextureTest : public ::testing::Test {
 protected:
  static constexpr int32_t kModuleHandle = 41;

  void SetUp() override {
    cadhost::reset();
    initialize(0, 0, kModuleHandle);
    dlmTextureCleanup(0); // the first one in the process runs the set-up
    savedDialogMode_ = textureModuleDescription.dialogMode;
  }

  void TearDown() override {
    textureModuleDescription.dialogMode = savedDialogMode_;
    activeFogParams = &currentFogParams;
    textureInstance_setAllocator(nullptr);
    dlmTextureCleanup(0);
    cadhost::reset();
  }

  // Every cached instance, newest first.
  static std::vector<TextureInstance *> instances() {
    std::vector<TextureInstance *> all;
    TextureInstance *cursor = nullptr;
    while (textureInstance_next(&cursor)) all.push_back(cursor);
    return all;
  }

  static TextureSample sampleFor(int32_t materialId, uint32_t flags, int32_t windowId = 0) {
    TextureSample sample{};
    sample.flags = flags;
    sample.windowId = windowId;
    sample.materialId = materialId;
    return sample;
  }

  static TextureSample viewSample(int32_t materialId, int32_t windowId, float x, float y, float z) {
    TextureSample sample = sampleFor(materialId, SAMPLE_VIEW_POINT, windowId);
    sample.viewPoint[0] = x;
    sample.viewPoint[1] = y;
    sample.viewPoint[2] = z;
    return sample;
  }

  // A host material whose map 1 carries `text` as its parameter text. Mode 1
  // addresses the map by 3-D points, so its samples go through the transform.
  static XelMaterial *addMaterial(int32_t id, const std::string &name, const std::string &text,
                                  int32_t mode = 1) {
    cadhost::MaterialSpec described;
    described.id = id;
    described.name = name;
    cadhost::MapSpec map;
    map.name = name + " pattern";
    map.mode = mode;
    map.parameterText = text;
    described.map1 = map;
    return cadhost::addMaterial(described);
  }

 private:
  int32_t savedDialogMode_ = 0;
};

// An allocator that always fails, for instances that cannot be made.
inline void *failingAllocator(size_t, size_t) {
  return nullptr;
}

#endif
