// terrain.cpp - the two kinds of ground: the built-in procedural valley and
// height maps read from PNG files.
#include "terrain.h"

#include <algorithm>
#include <cmath>

#include "heightmap_png.h"

namespace fogviewer {
namespace {

constexpr int32_t kProceduralSamples = 161;

double smoothStep(double edge0, double edge1, double x) {
  const double t = std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0);
  return t * t * (3.0 - 2.0 * t);
}

// Hills in 0..1 over the unit square (u east, v north), cut by a valley
// that winds from south to north.
double valleyShape(double u, double v) {
  const double hills = 0.55 + 0.20 * std::sin(3.1 * u + 0.4) * std::cos(2.3 * v - 0.3) +
                       0.14 * std::sin(7.9 * u + 3.1 * v) * std::cos(5.3 * v - 1.1) +
                       0.07 * std::sin(17.0 * u - 13.0 * v + 1.3) +
                       0.035 * std::sin(31.0 * u + 23.0 * v) * std::sin(29.0 * v - 7.0 * u);
  const double riverX = 0.5 + 0.16 * std::sin(4.2 * v + 0.5);
  const double fromRiver = std::abs(u - riverX);
  const double valley = smoothStep(0.025, 0.24, fromRiver);
  return hills * (0.06 + 0.94 * valley);
}

// Scales the samples so that they span lower..upper exactly.
void fitToRange(Terrain &terrain) {
  const auto [low, high] = std::minmax_element(terrain.heights.begin(), terrain.heights.end());
  const double from = *low;
  const double span = *high - *low;
  for (double &h : terrain.heights) {
    const double t = span > 0.0 ? (h - from) / span : 0.0;
    h = terrain.lower + t * (terrain.upper - terrain.lower);
  }
}

Terrain withSize(const TerrainSize &size) {
  Terrain terrain;
  terrain.xSize = size.xSize;
  terrain.ySize = size.ySize;
  terrain.lower = size.lower;
  terrain.upper = size.upper;
  return terrain;
}

} // namespace

std::optional<std::string> checkTerrainSize(const TerrainSize &size) {
  if (!(size.xSize > 0.0) || !(size.ySize > 0.0)) return "the ground size must be above 0";
  if (!(size.lower <= size.upper))
    return "the lower elevation must not be above the upper elevation";
  return std::nullopt;
}

Terrain proceduralTerrain(const TerrainSize &size) {
  Terrain terrain = withSize(size);
  terrain.source = Terrain::Source::Procedural;
  terrain.columns = kProceduralSamples;
  terrain.rows = kProceduralSamples;
  terrain.heights.resize(static_cast<std::size_t>(kProceduralSamples) * kProceduralSamples);
  for (int32_t row = 0; row < terrain.rows; ++row) {
    const double v = 1.0 - static_cast<double>(row) / (terrain.rows - 1);
    for (int32_t column = 0; column < terrain.columns; ++column) {
      const double u = static_cast<double>(column) / (terrain.columns - 1);
      terrain.heights[static_cast<std::size_t>(row) * terrain.columns + column] = valleyShape(u, v);
    }
  }
  fitToRange(terrain);
  return terrain;
}

std::optional<Terrain> heightMapTerrain(const std::string &path, const TerrainSize &size,
                                        std::string &error) {
  GreyImage image;
  if (!readGreyPng(path, image, error)) return std::nullopt;
  if (image.width < 2 || image.height < 2) {
    error = path + ": a height map needs at least 2 x 2 pixels";
    return std::nullopt;
  }
  Terrain terrain = withSize(size);
  terrain.source = Terrain::Source::HeightMap;
  terrain.heightMapPath = path;
  terrain.columns = image.width;
  terrain.rows = image.height;
  terrain.heights.resize(image.levels.size());
  for (std::size_t i = 0; i < image.levels.size(); ++i) {
    const double t = static_cast<double>(image.levels[i]) / image.maxValue;
    terrain.heights[i] = size.lower + t * (size.upper - size.lower);
  }
  return terrain;
}

} // namespace fogviewer
