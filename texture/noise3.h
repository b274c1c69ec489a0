// noise3.h - smooth lattice noise over 3-D space and its fractal sum, the
// fog texture's only source of variation.
//
// Random numbers are attached to the integer lattice by a 32-bit hash; the
// eight corners around a point are blended with cubic Hermite polynomials,
// one axis after the other (x, then y, then z). One evaluation gives a
// NoiseResult: three blended corner slopes and a value. fractalSum adds
// octaves of element 0 (the x slope) at doubling frequency and halving
// amplitude.
//
// Points are single precision; every other real is a double. The results
// are reproducible to the last bit: keep the order of operations as written.
// Nothing here allocates. The module-wide lattice remembers the last point it
// evaluated and is not reentrant: the host calls the module one call at a
// time.
#ifndef FOG_TEXTURE_NOISE3_H
#define FOG_TEXTURE_NOISE3_H

#include <array>
#include <cstdint>

// Element 0..2: the corners' x, y, z slopes blended with the value weights,
// each in [-1, 1]; element 3: the Hermite-interpolated value, in [-1.75, 1.75].
using NoiseResult = std::array<double, 4>;

// The lattice repeats every NOISE3_PERIOD cells, with coordinates kept in
// [-NOISE3_HALF_PERIOD, NOISE3_HALF_PERIOD].
inline constexpr double NOISE3_PERIOD = 1e9;
inline constexpr int32_t NOISE3_HALF_PERIOD = 500000000;

// Maps the 32-bit word n to a double in (-1, 1]; 1.0 - m * 2^-30 for the
// low 31 bits m of the scrambled word, so the result is exact.
double noise3Hash(uint32_t n) noexcept;

// Element j (0..3) of the random numbers of the lattice corner (x, y, z).
double noise3CornerHash(int element, int32_t x, int32_t y, int32_t z) noexcept;

// Truncation toward zero that is defined for every double: not-a-number
// gives 0 and values beyond the int32 range saturate.
int32_t noise3TruncateToInt32(double value) noexcept;

// Where one coordinate falls on the lattice.
struct Noise3Cell {
  int32_t lower;   // lattice coordinate at or below the coordinate, wrapped
  int32_t upper;   // its neighbour above, across the wrap
  double fraction; // coordinate - floor(coordinate); not a number for NaN or inf
};

// The lattice cell of one coordinate: the fractional part is taken before the
// coordinate is wrapped into the lattice's period.
Noise3Cell noise3Cell(double coordinate) noexcept;

// Value weights of the Hermite blend at t: h00 for the lower end, h01 for
// the upper end.
struct Noise3Weights {
  double h00;
  double h01;
};
Noise3Weights noise3Weights(double t) noexcept;

// Blends the results at the lower (L) and upper (U) end of one axis at t;
// the tangent of the value blend is element `axis` of each end.
NoiseResult noise3Blend(const NoiseResult &lower, const NoiseResult &upper, double t,
                        int axis) noexcept;

// The lattice with its one-point cache. The module has one (see
// noise3Evaluate); a fresh object starts as the module's does.
class Noise3Lattice {
 public:
  // The noise at the point. The reference designates the cache and stays
  // valid until the next evaluation; an exact repeat of the last point
  // returns the cache untouched.
  const NoiseResult &evaluate(const float point[3]) noexcept;

 private:
  void interpolate(NoiseResult &result, int corner, int level) const noexcept;

  double cachedPoint_[3] = {-100000.0, -100000.0, -100000.0};
  NoiseResult cachedResult_ = {0.0, 0.0, 0.0, 0.0};
  int32_t lower_[3] = {0, 0, 0};
  int32_t upper_[3] = {0, 0, 0};
  double fraction_[3] = {0.0, 0.0, 0.0};
};

// The module-wide lattice; alive from load to unload and never reset.
Noise3Lattice &noise3ModuleLattice() noexcept;

// noise3Evaluate on the module-wide lattice.
const NoiseResult &noise3Evaluate(const float point[3]) noexcept;

// Sum of element 0 of the noise over the whole octaves of levelOfDetail
// (amplitude 1, 0.5, ... at the point, twice the point, ...), plus the
// fractional remainder times the next octave. The point is not modified.
double fractalSum(Noise3Lattice &lattice, const float point[3], double levelOfDetail) noexcept;

// fractalSum on the module-wide lattice.
double fractalSum(const float point[3], double levelOfDetail) noexcept;

#endif
