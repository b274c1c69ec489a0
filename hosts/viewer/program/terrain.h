// terrain.h - the ground of the viewer's scene: a height field over a
// rectangle from (0, 0) to (xSize, ySize), with its elevation range. It is
// either the built-in procedural valley or a greyscale PNG height map, whose
// black is the lower and white the upper elevation. The scene reports the
// rectangle as its ground extents and the range as its elevation range.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace fogviewer {

struct Terrain {
  enum class Source { Procedural, HeightMap };

  Source source = Source::Procedural;
  std::string heightMapPath; // as the script named it; empty for the procedural one
  double xSize = 0.0;
  double ySize = 0.0;
  double lower = 0.0;
  double upper = 0.0;
  // Samples row by row from the north edge (y = ySize) to the south edge
  // (y = 0), each row from west (x = 0) to east (x = xSize).
  int32_t columns = 0;
  int32_t rows = 0;
  std::vector<double> heights;

  double height(int32_t column, int32_t row) const {
    return heights[static_cast<std::size_t>(row) * static_cast<std::size_t>(columns) +
                   static_cast<std::size_t>(column)];
  }
  double xOf(int32_t column) const { return xSize * column / (columns - 1); }
  double yOf(int32_t row) const { return ySize - ySize * row / (rows - 1); }
};

// The values a TERRAIN command gives; checked by checkTerrainSize.
struct TerrainSize {
  double xSize = 0.0;
  double ySize = 0.0;
  double lower = 0.0;
  double upper = 0.0;
};

// What is wrong with a ground size and elevation range, or nothing: both
// sizes must be above 0 and the lower elevation must not exceed the upper.
std::optional<std::string> checkTerrainSize(const TerrainSize &size);

// The built-in valley: hills around a winding valley whose floor lies at
// the lower elevation and whose highest point at the upper one.
Terrain proceduralTerrain(const TerrainSize &size);

// The height field of a PNG file; nothing, with the reason in `error`, when
// the file cannot be read as a picture of at least 2 x 2 pixels.
std::optional<Terrain> heightMapTerrain(const std::string &path, const TerrainSize &size,
                                        std::string &error);

} // namespace fogviewer
