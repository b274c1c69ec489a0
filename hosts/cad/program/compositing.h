// compositing.h - how a fogged surface pixel is made: the fog's colour, which
// already carries its density, over the surface's own colour let through by
// the fog's transparency (255 clear, 0 opaque):
//   out = fog + surface x transparency / 255,
// clamped to 0..255 and cut to a byte the way the material editor's preview
// cuts its colours (a value that is not a number gives 0).
#pragma once

#include <cstdint>

#include "cad_host.h"
#include "rgb_image.h"
#include "vec3.h"

namespace fogrender {

inline uint8_t toByte(double value) {
  if (value > 255.0) return 255;
  if (!(value >= 0.0)) return 0;
  return static_cast<uint8_t>(value);
}

// `surface` holds components from 0 to 255.
inline Rgb composite(const TextureColor &fog, Vec3 surface) {
  const double through = double(fog.transparency) / 255.0;
  return {toByte(double(fog.red) + surface.x * through),
          toByte(double(fog.green) + surface.y * through),
          toByte(double(fog.blue) + surface.z * through)};
}

} // namespace fogrender
