// fog_shading.h - one shading point of the fog: pattern-space point, time and
// parameter block in, colour and transparency out.
//
// A first fractal sum displaces the point, the time drifts it along x and
// swirls it on a small ellipse in the y-z plane, and a second fractal sum
// there gives the fog's local amount. Thickness and contrast shape that into
// a density between the block's minimum and maximum; the colour is the fog
// colour weighted by the density. Runs for every shading point: it allocates
// nothing, and it shares the module-wide noise lattice, so it must not run on
// two threads at once.
#ifndef FOG_TEXTURE_FOG_SHADING_H
#define FOG_TEXTURE_FOG_SHADING_H

#include <bit>
#include <cstdint>

#include "cad_host.h"
#include "fog_params.h"

// Degrees to radians for the swirl: the double 0x3F91DF46A2529D44, a few
// units in the last place above pi/180, which the fog's motion was tuned with.
inline constexpr double FOG_SWIRL_DEGREES_TO_RADIANS =
    std::bit_cast<double>(uint64_t{0x3F91DF46A2529D44});

// Cuts levelOfDetail above 24 to 24 and a negative or not-a-number thickness
// or contrast to 0, in the block itself.
void clampFogParams(FogTextureParams &params) noexcept;

// Fills all four fields of `color` for the point (x, y, z) at `time` seconds.
// The clamps of clampFogParams are written back into `params`; no other field
// of the block is changed. Density and outputs are not clamped: parameters
// outside their nominal ranges give outputs outside 0..255.
void shadeFogPoint(TextureColor &color, FogTextureParams &params, const float point[3],
                   double time) noexcept;

#endif
