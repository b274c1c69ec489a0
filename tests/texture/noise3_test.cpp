// Lattice noise: hash, lattice cells and wrap, cached evaluation, fractal sum.
#include "noise3.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr float kInitialPoint[3] = {-100000.0f, -100000.0f, -100000.0f};
constexpr NoiseResult kInitialPointNoise = {-0.9799278797581792, 0.5928686438128352,
                                            0.780928093008697, -0.5175557555630803};

TEST(Noise3Hash, KnownWords) {
  struct Case {
    uint32_t n;
    double expected;
  };
  const Case cases[] = {
      {0u, -0.2817909838631749},
      {1u, -0.2263730512931943},
      {2u, 0.29363288078457117},
      {0xFFFFFFFFu, 0.9001262886449695},
  };
  for (const Case &c : cases) {
    EXPECT_EQ(noise3Hash(c.n), c.expected) << "n=" << c.n;
  }
}

TEST(Noise3Hash, CornerWordsUseTheirOwnMultipliers) {
  // At (1, 2, 3) the four words are 398, 480, 586 and 644; row 0 takes 67
  // for x and 59 for y.
  const uint32_t words[4] = {398, 480, 586, 644};
  for (int j = 0; j < 4; ++j) {
    EXPECT_EQ(noise3CornerHash(j, 1, 2, 3), noise3Hash(words[j])) << "element " << j;
  }
  // Wrapping products: no signed overflow (the sanitizer build checks).
  EXPECT_EQ(noise3CornerHash(3, INT32_MAX, INT32_MIN, -1),
            noise3Hash(103u * 0x7FFFFFFFu + 107u * 0x80000000u + 109u * 0xFFFFFFFFu));
}

TEST(Noise3Evaluate, KnownPoints) {
  struct Case {
    float point[3];
    NoiseResult expected;
  };
  const double h0 = -0.2817909838631749;
  const Case cases[] = {
      {{0, 0, 0}, {h0, h0, h0, h0}},
      {{1, 2, 3},
       {-0.7440137220546603, -0.8412958206608891, 0.34466946963220835, -0.8992333123460412}},
      {{0.5f, 0.5f, 0.5f},
       {0.017271631164476275, 0.15354207367636263, -0.40071463747881353, 0.008229024417232722}},
      {{0.25f, 0.5f, 0.75f},
       {-0.30745969899635384, -0.020589513201230147, -0.536362354189805, -0.12969070855820064}},
      {{-0.5f, 0, 0},
       {-0.13608322013169527, -0.21729374770075083, -0.460441374219954, 0.29754255060106516}},
  };
  for (const Case &c : cases) {
    const NoiseResult r = noise3Evaluate(c.point);
    for (int j = 0; j < 4; ++j) {
      EXPECT_EQ(r[j], c.expected[j]) << "point (" << c.point[0] << ", " << c.point[1] << ", "
                                     << c.point[2] << ") element " << j;
    }
  }
}

TEST(Noise3Evaluate, CacheStartsAtItsInitialPointWithZeros) {
  Noise3Lattice lattice;
  EXPECT_EQ(lattice.evaluate(kInitialPoint), (NoiseResult{0, 0, 0, 0}));
  const float origin[3] = {0, 0, 0};
  lattice.evaluate(origin);
  EXPECT_EQ(lattice.evaluate(kInitialPoint), kInitialPointNoise);
}

// Exits 0 when the module's lattice answers as a freshly loaded one.
[[noreturn]] void exitWithModuleLatticeCheck() {
  const bool first = noise3Evaluate(kInitialPoint) == NoiseResult{0, 0, 0, 0};
  const float elsewhere[3] = {1, 2, 3};
  noise3Evaluate(elsewhere);
  const bool later = noise3Evaluate(kInitialPoint) == kInitialPointNoise;
  std::exit(first && later ? 0 : 1);
}

TEST(Noise3Evaluate, ModuleLatticeStartsAtTheInitialPoint) {
  // A fresh process, so that the module's own lattice is as loaded.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(exitWithModuleLatticeCheck(), ::testing::ExitedWithCode(0), "");
}

TEST(Noise3Evaluate, RepeatReturnsTheCacheAndAnyOtherPointRefills) {
  Noise3Lattice lattice;
  const float p[3] = {0.25f, 0.5f, 0.75f};
  const float q[3] = {1, 2, 3};
  const NoiseResult &first = lattice.evaluate(p);
  const NoiseResult atP = first;
  EXPECT_EQ(&lattice.evaluate(p), &first);
  EXPECT_EQ(lattice.evaluate(p), atP);
  EXPECT_NE(lattice.evaluate(q), atP);
  EXPECT_EQ(lattice.evaluate(p), atP);
}

TEST(Noise3Evaluate, NonFiniteCoordinatesGiveNaNAndNeverHitTheCache) {
  Noise3Lattice lattice;
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  const float points[][3] = {{nan, 0, 0}, {0, inf, 0}, {0, 0, -inf}, {nan, nan, nan}};
  for (const auto &point : points) {
    for (int repeat = 0; repeat < 2; ++repeat) {
      const NoiseResult r = lattice.evaluate(point);
      for (int j = 0; j < 4; ++j) {
        EXPECT_TRUE(std::isnan(r[j])) << "element " << j;
      }
    }
  }
  const float origin[3] = {0, 0, 0};
  EXPECT_EQ(lattice.evaluate(origin)[3], -0.2817909838631749);
}

TEST(Noise3Cell, WrapsEveryBillionCells) {
  struct Case {
    double coordinate;
    int32_t lower;
    int32_t upper;
    double fraction;
  };
  const Case cases[] = {
      {500000000.0, 500000000, -500000000, 0.0},
      {1500000000.0, -500000000, -499999999, 0.0},
      {500000064.0, -499999936, -499999935, 0.0},
      {-500000032.0, 499999968, 499999969, 0.0},
      {-500000000.0, -500000000, -499999999, 0.0},
      {-0.5, -1, 0, 0.5},
      {2.75, 2, 3, 0.75},
  };
  for (const Case &c : cases) {
    const Noise3Cell cell = noise3Cell(c.coordinate);
    EXPECT_EQ(cell.lower, c.lower) << c.coordinate;
    EXPECT_EQ(cell.upper, c.upper) << c.coordinate;
    EXPECT_EQ(cell.fraction, c.fraction) << c.coordinate;
  }
}

TEST(Noise3Cell, WrappedPointUsesTheWrappedCorner) {
  // At a lattice point the result is that corner's hashes exactly.
  const float points[][3] = {{500000064.0f, 0, 0}, {0, -500000032.0f, 0}, {0, 0, 1500000000.0f}};
  const int32_t corners[][3] = {{-499999936, 0, 0}, {0, 499999968, 0}, {0, 0, -500000000}};
  for (int i = 0; i < 3; ++i) {
    const NoiseResult r = noise3Evaluate(points[i]);
    for (int j = 0; j < 4; ++j) {
      EXPECT_EQ(r[j], noise3CornerHash(j, corners[i][0], corners[i][1], corners[i][2]))
          << "point " << i << " element " << j;
    }
  }
}

TEST(Noise3Cell, HugeAndNonFiniteCoordinatesStayInThePeriod) {
  const double cases[] = {kNaN, kInf, -kInf, 1e30, -3.4e38, 9007199254740993.0 * 4096.0};
  for (double c : cases) {
    const Noise3Cell cell = noise3Cell(c);
    EXPECT_GE(cell.lower, -500000000) << c;
    EXPECT_LE(cell.lower, 500000000) << c;
  }
  EXPECT_TRUE(std::isnan(noise3Cell(kInf).fraction));
  EXPECT_TRUE(std::isnan(noise3Cell(kNaN).fraction));
}

TEST(Noise3TruncateToInt32, DefinedForEveryDouble) {
  struct Case {
    double value;
    int32_t expected;
  };
  const Case cases[] = {
      {kNaN, 0},
      {kInf, INT32_MAX},
      {-kInf, INT32_MIN},
      {-2.7, -2},
      {2.7, 2},
      {2147483647.9, INT32_MAX},
      {2147483648.0, INT32_MAX},
      {-2147483648.9, INT32_MIN},
      {-1e300, INT32_MIN},
  };
  for (const Case &c : cases) {
    EXPECT_EQ(noise3TruncateToInt32(c.value), c.expected) << c.value;
  }
}

TEST(Noise3Blend, TheValueBlendsTangentTermKeepsItsGrouping) {
  // The value is t × (((t − 2) t + 1) × L[a] + ((t − 1) × U[a]) × t), then
  // + U[3] h01 + L[3] h00, every step a double rounded in that order. For
  // these ends (hash values) and fractions, forming the tangent weights
  // h10 and h11 first, or adding the tangent term last, rounds differently.
  struct Case {
    int axis;
    double t, lowerSlope, upperSlope, lowerValue, upperValue;
  };
  const Case cases[] = {
      {0, 0.45300000905990601, 0.46800525393337011, 0.94648929219692945, 0.074142868630588055,
       0.63275230955332518},
      {1, 0.48800000548362732, 0.27054234128445387, 0.53983717691153288, -0.49454942066222429,
       0.47946895565837622},
      {2, 0.18600000441074371, 0.91013939213007689, -0.1635814206674695, -0.11850566882640123,
       -0.32132636848837137},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.axis);
    // The slopes of the other axes are there to be ignored by the tangent.
    NoiseResult lower = {0.125, -0.375, 0.625, c.lowerValue};
    NoiseResult upper = {-0.875, 0.5, -0.25, c.upperValue};
    lower[size_t(c.axis)] = c.lowerSlope;
    upper[size_t(c.axis)] = c.upperSlope;

    const double t = c.t;
    const double twoT = t + t;
    const double h00 = (twoT - 3.0) * t * t + 1.0;
    const double h01 = (3.0 - twoT) * t * t;
    const double lowerTangent = ((t - 2.0) * t + 1.0) * c.lowerSlope;
    const double upperTangent = ((t - 1.0) * c.upperSlope) * t;
    const double tangentTerm = t * (lowerTangent + upperTangent);
    const double expected = tangentTerm + c.upperValue * h01 + c.lowerValue * h00;

    const double h10 = ((t - 2.0) * t + 1.0) * t;
    const double h11 = (t - 1.0) * t * t;
    const double weightsFirst =
        h10 * c.lowerSlope + h11 * c.upperSlope + c.upperValue * h01 + c.lowerValue * h00;
    const double tangentLast = c.upperValue * h01 + c.lowerValue * h00 + tangentTerm;
    ASSERT_NE(weightsFirst, expected) << "the case must tell the groupings apart";
    ASSERT_NE(tangentLast, expected) << "the case must tell the groupings apart";

    EXPECT_EQ(noise3Blend(lower, upper, t, c.axis)[3], expected);
  }
}

TEST(FractalSum, KnownSums) {
  struct Case {
    float point[3];
    double levelOfDetail;
    double expected;
  };
  const Case cases[] = {
      {{0, 0, 0}, 0.0, 0.0},
      {{0, 0, 0}, 1.0, -0.2817909838631749},
      {{0, 0, 0}, 2.5, -0.45791034877765924},
      {{0, 0, 0}, 3.0, -0.4931342217605561},
      {{0, 0, 0}, -0.5, 0.14089549193158746},
      {{0.25f, 0.5f, 0.75f}, 1.0, -0.30745969899635384},
      {{0.25f, 0.5f, 0.75f}, 2.5, -0.2627816951198838},
  };
  for (const Case &c : cases) {
    EXPECT_EQ(fractalSum(c.point, c.levelOfDetail), c.expected)
        << "point (" << c.point[0] << ", " << c.point[1] << ", " << c.point[2] << ") level "
        << c.levelOfDetail;
  }
}

TEST(FractalSum, LevelZeroEvaluatesNoNoise) {
  const float origin[3] = {0, 0, 0};
  Noise3Lattice untouched;
  EXPECT_EQ(fractalSum(untouched, origin, 0.0), 0.0);
  // The cache still holds its initial point.
  EXPECT_EQ(untouched.evaluate(kInitialPoint), (NoiseResult{0, 0, 0, 0}));

  Noise3Lattice used;
  fractalSum(used, origin, 1.0);
  EXPECT_EQ(used.evaluate(kInitialPoint), kInitialPointNoise);
}

TEST(FractalSum, OutOfRangeLevelsAreDefined) {
  const float origin[3] = {0, 0, 0};
  EXPECT_TRUE(std::isnan(fractalSum(origin, kNaN)));
  // No whole octave; the (large negative) remainder scales the noise at the point.
  EXPECT_EQ(fractalSum(origin, -1e10), (-1e10 + 2147483648.0) * -0.2817909838631749);
}

} // namespace
