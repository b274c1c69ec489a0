// Cost of the per-point path: one noise evaluation (cache miss and hit), a
// fractal sum and a whole shading point, at the default level of detail
// and at the cap of 24 octaves.
#include <benchmark/benchmark.h>

#include "fog_shading.h"
#include "noise3.h"

namespace {

// Points along a line, so that consecutive evaluations miss the cache.
void nextPoint(float point[3]) {
  point[0] += 0.173f;
  point[1] += 0.071f;
  point[2] -= 0.037f;
}

void BM_Noise3EvaluateMiss(benchmark::State &state) {
  float point[3] = {0.25f, 0.5f, 0.75f};
  for (auto _ : state) {
    nextPoint(point);
    benchmark::DoNotOptimize(noise3Evaluate(point)[0]);
  }
}
BENCHMARK(BM_Noise3EvaluateMiss);

void BM_Noise3EvaluateHit(benchmark::State &state) {
  const float point[3] = {0.25f, 0.5f, 0.75f};
  for (auto _ : state) {
    benchmark::DoNotOptimize(noise3Evaluate(point)[0]);
  }
}
BENCHMARK(BM_Noise3EvaluateHit);

void BM_FractalSum(benchmark::State &state) {
  const double levelOfDetail = double(state.range(0));
  float point[3] = {0.25f, 0.5f, 0.75f};
  for (auto _ : state) {
    nextPoint(point);
    benchmark::DoNotOptimize(fractalSum(point, levelOfDetail));
  }
}
BENCHMARK(BM_FractalSum)->Arg(3)->Arg(24);

void BM_ShadeFogPoint(benchmark::State &state) {
  FogTextureParams params = fogParamDefaults;
  params.levelOfDetail = float(state.range(0));
  float point[3] = {0.25f, 0.5f, 0.75f};
  TextureColor color;
  double time = 0.0;
  for (auto _ : state) {
    nextPoint(point);
    time += 0.04;
    shadeFogPoint(color, params, point, time);
    benchmark::DoNotOptimize(color);
  }
}
BENCHMARK(BM_ShadeFogPoint)->Arg(3)->Arg(24);

} // namespace
