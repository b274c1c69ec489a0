// view.cpp - checking views, the default view of a terrain and the viewing
// direction.
#include "view.h"

#include <algorithm>
#include <cmath>

namespace fogviewer {
namespace {

constexpr double kDegree = 3.14159265358979323846 / 180.0;

double roundTo(double value, double step) {
  return std::round(value / step) * step;
}

} // namespace

std::optional<std::string> checkView(const View &view) {
  for (double value : {view.x, view.y, view.z, view.heading, view.pitch})
    if (!std::isfinite(value)) return "every number of a view must be finite";
  if (!(view.pitch > -90.0 && view.pitch < 90.0))
    return "the pitch must lie between -90 and 90 degrees, both excluded";
  if (view.width < 1 || view.height < 1 || view.width > kMaxWindowSide ||
      view.height > kMaxWindowSide)
    return "the window must be 1 to " + std::to_string(kMaxWindowSide) + " pixels a side";
  return std::nullopt;
}

View defaultView(const Terrain &terrain) {
  View view;
  const double span = std::max(terrain.xSize, terrain.ySize);
  view.x = roundTo(-0.3 * terrain.xSize, 1.0);
  view.y = roundTo(-0.3 * terrain.ySize, 1.0);
  view.z = roundTo(terrain.upper + 0.45 * span, 1.0);
  const double toX = terrain.xSize / 2 - view.x;
  const double toY = terrain.ySize / 2 - view.y;
  const double toZ = (terrain.lower + terrain.upper) / 2 - view.z;
  view.heading = roundTo(std::atan2(toX, toY) / kDegree, 0.1);
  view.pitch = roundTo(std::atan2(toZ, std::hypot(toX, toY)) / kDegree, 0.1);
  return view;
}

Direction viewDirection(const View &view) {
  const double heading = view.heading * kDegree;
  const double pitch = view.pitch * kDegree;
  return {std::sin(heading) * std::cos(pitch), std::cos(heading) * std::cos(pitch),
          std::sin(pitch)};
}

} // namespace fogviewer
