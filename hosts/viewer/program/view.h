// view.h - where the viewer looks from: the eye in scene coordinates, the
// direction as a compass heading (degrees clockwise from north, the +y axis)
// and a pitch (degrees above the horizontal, negative looking down), and
// the window size in pixels, which is the size of every rendered picture.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "terrain.h"

namespace fogviewer {

struct View {
  double x = 0.0;
  double y = 0.0;
  double z = 0.0; // eye elevation
  double heading = 0.0;
  double pitch = 0.0;
  int32_t width = 640;
  int32_t height = 480;
};

// Vertical field of view of every rendering, in degrees.
constexpr double kFieldOfViewDegrees = 50.0;
// Windows larger than this on a side are refused.
constexpr int32_t kMaxWindowSide = 4096;

// What is wrong with a view, or nothing: the window must be 1 to
// kMaxWindowSide pixels a side, the pitch strictly between -90 and 90 (the
// horizon must stay defined) and every number finite.
std::optional<std::string> checkView(const View &view);

// From beyond the south-west corner, above the highest ground, looking at
// the middle of the terrain.
View defaultView(const Terrain &terrain);

struct Direction {
  double x = 0.0;
  double y = 0.0;
  double z = 0.0;
};

// The unit vector the eye looks along.
Direction viewDirection(const View &view);

} // namespace fogviewer
