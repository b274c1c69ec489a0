// default_slab_cases.h - scene elevation ranges and the fog slab a new Mist
// layer gets for them, in the current build and in the earlier build (which
// scales back by multiplying with 0.1 and so can land one unit in the last
// place away from the decimal). Expected values are exact doubles.
#pragma once

struct DefaultSlabCase {
  const char *what;
  double lower;
  double upper;
  double bottom;
  double top;
  double earlierBottom;
  double earlierTop;
};

inline constexpr DefaultSlabCase kDefaultSlabCases[] = {
    {"plain range", 12.34, 100, 12.3, 56.2, 12.3, 56.2},
    {"top rounds up", 123.45, 200, 123.5, 161.7, 123.5, 161.70000000000002},
    {"negative half rounds upward", -0.25, 0, -0.2, -0.1, -0.2, -0.1},
    {"positive half rounds upward", 0.25, 1, 0.3, 0.6, 0.30000000000000004, 0.60000000000000009},
    {"below a half rounds down", -0.26, -0.26, -0.3, -0.3, -0.30000000000000004,
     -0.30000000000000004},
    {"flat scene at zero", 0, 0, 0, 0, 0, 0},
    {"upper below lower", 100, 50, 100, 75, 100, 75},
    {"bottom differs only", 1.2, 1.8, 1.2, 1.5, 1.2000000000000002, 1.5},
    {"both differ", 0.7, 2.6, 0.7, 1.7, 0.70000000000000007, 1.7000000000000002},
};
