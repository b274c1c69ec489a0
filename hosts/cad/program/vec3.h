// vec3.h - the small vector arithmetic of fogrender's ray caster: points and
// directions in the scene's world (x east, y north, z up, in master units)
// and colours with components from 0 to 1.
#pragma once

#include <cmath>

namespace fogrender {

struct Vec3 {
  double x = 0.0;
  double y = 0.0;
  double z = 0.0;
};

inline Vec3 operator+(Vec3 a, Vec3 b) {
  return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline Vec3 operator-(Vec3 a, Vec3 b) {
  return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Vec3 operator*(Vec3 a, double s) {
  return {a.x * s, a.y * s, a.z * s};
}
inline Vec3 operator*(double s, Vec3 a) {
  return a * s;
}
inline Vec3 operator-(Vec3 a) {
  return {-a.x, -a.y, -a.z};
}
// Component by component, for colours.
inline Vec3 multiply(Vec3 a, Vec3 b) {
  return {a.x * b.x, a.y * b.y, a.z * b.z};
}

inline double dot(Vec3 a, Vec3 b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline Vec3 cross(Vec3 a, Vec3 b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline double length(Vec3 a) {
  return std::sqrt(dot(a, a));
}
// The unit vector along `a`; a zero vector stays zero.
inline Vec3 normalized(Vec3 a) {
  const double l = length(a);
  return l > 0.0 ? a * (1.0 / l) : a;
}

} // namespace fogrender
