// noise3.cpp - the lattice noise: hash, cell, Hermite weights and blend, the
// cached evaluation and the fractal sum.
#include "noise3.h"

#include <cmath>

namespace {

// Per element of a corner's random numbers: the multipliers of X, Y and Z
// that form the hashed word. Row 0 deliberately takes 67 for X and 59 for Y.
constexpr uint32_t kCornerMultipliers[4][3] = {
    {67, 59, 71},
    {73, 79, 83},
    {89, 97, 101},
    {103, 107, 109},
};

constexpr double kTwoToMinus30 = 9.313225746154785e-10;

// The module's lattice cache, constant-initialised with the module.
Noise3Lattice moduleLattice;

// Brings a lattice coordinate (an integral double) into the period. The
// rounded form is exact for magnitudes below about 2^53; beyond that, or for
// inf and NaN, it may land outside the period, and the exact remainder (or 0)
// is used instead so that the conversion to int32 stays defined.
double wrapLatticeCoordinate(double f) {
  const double half = NOISE3_HALF_PERIOD;
  if (f > half || f < -half) {
    f = f - std::floor(f * 1e-9 + 0.5) * NOISE3_PERIOD;
  }
  if (f >= -half && f <= half) {
    return f;
  }
  if (!std::isfinite(f)) {
    return 0.0;
  }
  double r = std::fmod(f, NOISE3_PERIOD);
  if (r > half) {
    r -= NOISE3_PERIOD;
  } else if (r < -half) {
    r += NOISE3_PERIOD;
  }
  return r;
}

} // namespace

double noise3Hash(uint32_t n) noexcept {
  n = n ^ (n << 13);
  uint32_t m = n * (n * n * 15731u + 789221u) - 771171059u;
  m = m & 0x7FFFFFFFu;
  return 1.0 - m * kTwoToMinus30;
}

double noise3CornerHash(int element, int32_t x, int32_t y, int32_t z) noexcept {
  const uint32_t *mul = kCornerMultipliers[element];
  // Unsigned arithmetic: the word wraps modulo 2^32 by design.
  const uint32_t word = mul[0] * static_cast<uint32_t>(x) + mul[1] * static_cast<uint32_t>(y) +
                        mul[2] * static_cast<uint32_t>(z);
  return noise3Hash(word);
}

int32_t noise3TruncateToInt32(double value) noexcept {
  if (std::isnan(value)) {
    return 0;
  }
  if (value >= 2147483648.0) {
    return INT32_MAX;
  }
  if (value <= -2147483649.0) {
    return INT32_MIN;
  }
  return static_cast<int32_t>(value);
}

Noise3Cell noise3Cell(double coordinate) noexcept {
  Noise3Cell cell;
  double f = std::floor(coordinate);
  cell.fraction = coordinate - f;
  f = wrapLatticeCoordinate(f);
  cell.lower = noise3TruncateToInt32(f);
  cell.upper = cell.lower == NOISE3_HALF_PERIOD ? -NOISE3_HALF_PERIOD : cell.lower + 1;
  return cell;
}

Noise3Weights noise3Weights(double t) noexcept {
  const double twoT = t + t;
  Noise3Weights w;
  w.h00 = (twoT - 3.0) * t * t + 1.0;
  w.h01 = (3.0 - twoT) * t * t;
  return w;
}

NoiseResult noise3Blend(const NoiseResult &lower, const NoiseResult &upper, double t,
                        int axis) noexcept {
  const Noise3Weights w = noise3Weights(t);
  NoiseResult r;
  for (int j = 0; j < 3; ++j) {
    r[j] = upper[j] * w.h01 + lower[j] * w.h00;
  }
  // Tangent weights h10 = ((t - 2) t + 1) t and h11 = (t - 1) t t, applied in
  // this grouping so that the value comes out bit for bit as tuned.
  r[3] = t * (((t - 2.0) * t + 1.0) * lower[axis] + ((t - 1.0) * upper[axis]) * t) +
         upper[3] * w.h01 + lower[3] * w.h00;
  return r;
}

void Noise3Lattice::interpolate(NoiseResult &result, int corner, int level) const noexcept {
  if (level == 0) {
    const int32_t x = (corner & 1) ? upper_[0] : lower_[0];
    const int32_t y = (corner & 2) ? upper_[1] : lower_[1];
    const int32_t z = (corner & 4) ? upper_[2] : lower_[2];
    for (int j = 0; j < 4; ++j) {
      result[j] = noise3CornerHash(j, x, y, z);
    }
    return;
  }
  const int axis = level - 1;
  NoiseResult lower;
  NoiseResult upper;
  interpolate(lower, corner, level - 1);
  interpolate(upper, corner | (1 << axis), level - 1);
  result = noise3Blend(lower, upper, fraction_[axis], axis);
}

const NoiseResult &Noise3Lattice::evaluate(const float point[3]) noexcept {
  const double p[3] = {point[0], point[1], point[2]};
  // Exact equality: a NaN coordinate never hits, and a cached NaN never matches.
  if (p[0] == cachedPoint_[0] && p[1] == cachedPoint_[1] && p[2] == cachedPoint_[2]) {
    return cachedResult_;
  }
  for (int axis = 0; axis < 3; ++axis) {
    cachedPoint_[axis] = p[axis];
    const Noise3Cell cell = noise3Cell(p[axis]);
    lower_[axis] = cell.lower;
    upper_[axis] = cell.upper;
    fraction_[axis] = cell.fraction;
  }
  interpolate(cachedResult_, 0, 3);
  return cachedResult_;
}

Noise3Lattice &noise3ModuleLattice() noexcept {
  return moduleLattice;
}

const NoiseResult &noise3Evaluate(const float point[3]) noexcept {
  return noise3ModuleLattice().evaluate(point);
}

double fractalSum(Noise3Lattice &lattice, const float point[3], double levelOfDetail) noexcept {
  float copy[3] = {point[0], point[1], point[2]};
  const int32_t octaves = noise3TruncateToInt32(levelOfDetail);
  double amplitude = 1.0;
  double sum = 0.0;
  for (int32_t i = 0; i < octaves; ++i) {
    const NoiseResult &r = lattice.evaluate(copy);
    sum = amplitude * r[0] + sum;
    amplitude = amplitude * 0.5;
    for (float &c : copy) {
      c = static_cast<float>(c * 2.0);
    }
  }
  const double fraction = levelOfDetail - octaves;
  if (fraction == 0.0) {
    return sum;
  }
  const NoiseResult &r = lattice.evaluate(copy);
  return (fraction * amplitude) * r[0] + sum;
}

double fractalSum(const float point[3], double levelOfDetail) noexcept {
  return fractalSum(noise3ModuleLattice(), point, levelOfDetail);
}
