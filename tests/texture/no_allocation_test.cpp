// The per-point path (noise, fractal sums, shading, and the whole frame of a
// sample whose instance exists) makes no heap allocation. The allocation
// hooks (allocation_hooks.h) see every allocation of the executable.
#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <new>

#include "allocation_hooks.h"
#include "cad_texture_fixture.h"
#include "fog_shading.h"
#include "noise3.h"

namespace {

void *volatile escaped = nullptr;

TEST(PerPointPath, CounterSeesBothAllocators) {
  AllocationCounter counter;
  escaped = ::operator new(24);
  ::operator delete(escaped);
  escaped = std::malloc(24);
  std::free(escaped);
  escaped = std::calloc(3, 8);
  std::free(escaped);
  EXPECT_EQ(counter.count(), 3);
}

TEST(PerPointPath, AllocatesNothing) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float points[][3] = {
      {0, 0, 0}, {1, 2, 3}, {-0.5f, 0.25f, 7.5f}, {5e8f, -5e8f, 1e9f}, {nan, 0, 1}};
  const float levels[] = {3.0f, 0.0f, 30.0f, 2.5f, -1.0f};
  AllocationCounter counter;
  for (const auto &point : points) {
    noise3Evaluate(point);
    for (float level : levels) {
      FogTextureParams params = fogParamDefaults;
      params.levelOfDetail = level;
      params.contrast = level < 0 ? nan : 1.0f;
      TextureColor color;
      shadeFogPoint(color, params, point, 1.5);
      fractalSum(point, level);
    }
  }
  EXPECT_EQ(counter.count(), 0);
}

using PerSampleFrame = CadTextureTest;

TEST_F(PerSampleFrame, AKnownInstanceIsShadedWithoutAllocationOrHostCalls) {
  addMaterial(3, "Still", "fog_drift_speed 0\nfog_swirl_speed 0");
  addMaterial(4, "Drifting", "");
  cadhost::publish(cadhost::Symbol::AnimatorSeconds);
  cadhost::publish(cadhost::Symbol::SpotFunctions);
  cadhost::setView(6, {});
  TextureSample samples[] = {viewSample(3, 6, 1, 2, 3),
                             sampleFor(4, SAMPLE_SCREEN_POINT | SAMPLE_PERSPECTIVE, 6)};
  samples[1].screenPoint[0] = 100.0f;
  samples[1].screenPoint[1] = 50.0f;
  samples[1].screenPoint[2] = 0.25f;
  samples[1].screenW = 2.0f;
  TextureColor color{};
  for (const TextureSample &sample : samples) dlmTextureProcedure(&color, &sample);

  const char *hostOperations[] = {"xelCExpression_getValue", "xelMaterial_findFromId",
                                  "xelMaterial_getMap",      "xelView_getInfoFromWindow",
                                  "xelModelRef_getActive",   "dlmSystem_setFunction"};
  int32_t callsBefore[6];
  for (int i = 0; i < 6; ++i) callsBefore[i] = cadhost::callCount(hostOperations[i]);
  long allocations = 0;
  {
    AllocationCounter counter;
    for (int round = 0; round < 3; ++round) {
      cadhost::advanceAnimation(0.25);
      for (TextureSample &sample : samples) {
        sample.viewPoint[0] += 0.5f;
        sample.screenPoint[0] += 3.0f;
        dlmTextureProcedure(&color, &sample);
      }
    }
    allocations = counter.count();
  }
  EXPECT_EQ(allocations, 0);
  for (int i = 0; i < 6; ++i)
    EXPECT_EQ(cadhost::callCount(hostOperations[i]), callsBefore[i]) << hostOperations[i];
}

} // namespace
