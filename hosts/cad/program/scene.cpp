// scene.cpp - ray intersection and lighting of fogrender's small world.
#include "scene.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace fogrender {
namespace {

constexpr double kAmbient = 0.28;
constexpr double kSunlight = 0.72;
// Shadow rays start this far off the surface so that they do not meet it.
constexpr double kSurfaceOffset = 1e-6;
constexpr double kNearestHit = 1e-9;

const Vec3 kGroundLight{0.42, 0.56, 0.30};
const Vec3 kGroundDark{0.34, 0.47, 0.25};
const Vec3 kSkyHorizon{0.80, 0.86, 0.92};
const Vec3 kSkyZenith{0.30, 0.50, 0.82};

std::optional<double> hitSphere(const Ray &ray, const Sphere &sphere) {
  const Vec3 toOrigin = ray.origin - sphere.centre;
  const double b = dot(toOrigin, ray.direction);
  const double c = dot(toOrigin, toOrigin) - sphere.radius * sphere.radius;
  const double discriminant = b * b - c;
  if (discriminant < 0.0) return std::nullopt;
  const double root = std::sqrt(discriminant);
  if (const double t = -b - root; t > kNearestHit) return t;
  if (const double t = -b + root; t > kNearestHit) return t;
  return std::nullopt;
}

// Slab test; also gives the axis of the face the ray enters by.
std::optional<std::pair<double, int>> hitBox(const Ray &ray, const Box &box) {
  const double origin[3] = {ray.origin.x, ray.origin.y, ray.origin.z};
  const double direction[3] = {ray.direction.x, ray.direction.y, ray.direction.z};
  const double low[3] = {box.low.x, box.low.y, box.low.z};
  const double high[3] = {box.high.x, box.high.y, box.high.z};
  double enter = -std::numeric_limits<double>::infinity();
  double leave = std::numeric_limits<double>::infinity();
  int enterAxis = 0;
  int leaveAxis = 0;
  for (int axis = 0; axis < 3; ++axis) {
    if (direction[axis] == 0.0) {
      if (origin[axis] < low[axis] || origin[axis] > high[axis]) return std::nullopt;
      continue;
    }
    double t0 = (low[axis] - origin[axis]) / direction[axis];
    double t1 = (high[axis] - origin[axis]) / direction[axis];
    if (t0 > t1) std::swap(t0, t1);
    if (t0 > enter) {
      enter = t0;
      enterAxis = axis;
    }
    if (t1 < leave) {
      leave = t1;
      leaveAxis = axis;
    }
  }
  if (enter > leave) return std::nullopt;
  if (enter > kNearestHit) return std::make_pair(enter, enterAxis);
  if (leave > kNearestHit) return std::make_pair(leave, leaveAxis);
  return std::nullopt;
}

Vec3 axisNormal(int axis, Vec3 direction) {
  Vec3 n{axis == 0 ? 1.0 : 0.0, axis == 1 ? 1.0 : 0.0, axis == 2 ? 1.0 : 0.0};
  return dot(n, direction) > 0.0 ? -n : n;
}

} // namespace

Scene::Scene(double groundHalfSize, double tileSize, std::vector<Sphere> spheres,
             std::vector<Box> boxes, Vec3 towardSun)
    : groundHalfSize_(groundHalfSize),
      tileSize_(tileSize),
      spheres_(std::move(spheres)),
      boxes_(std::move(boxes)),
      towardSun_(normalized(towardSun)) {}

Scene Scene::standard() {
  std::vector<Sphere> spheres = {
      {{-6.0, 8.0, 3.0}, 3.0, {0.78, 0.26, 0.20}},
      {{5.0, 16.0, 4.0}, 4.0, {0.25, 0.40, 0.80}},
      {{1.0, 2.0, 1.2}, 1.2, {0.88, 0.78, 0.30}},
  };
  std::vector<Box> boxes = {
      {{8.0, 2.0, 0.0}, {12.0, 6.0, 5.0}, {0.72, 0.72, 0.70}},
      {{-17.0, 22.0, 0.0}, {-11.0, 28.0, 10.0}, {0.62, 0.56, 0.50}},
  };
  return Scene(150.0, 4.0, std::move(spheres), std::move(boxes), {-0.45, -0.55, 0.70});
}

std::optional<Hit> Scene::nearest(const Ray &ray, double maxDistance) const {
  std::optional<Hit> best;
  double bestDistance = maxDistance;

  if (ray.direction.z != 0.0) {
    const double t = -ray.origin.z / ray.direction.z;
    if (t > kNearestHit && t < bestDistance) {
      const Vec3 p = ray.origin + ray.direction * t;
      if (std::fabs(p.x) <= groundHalfSize_ && std::fabs(p.y) <= groundHalfSize_) {
        const bool light = (static_cast<long long>(std::floor(p.x / tileSize_)) +
                            static_cast<long long>(std::floor(p.y / tileSize_))) %
                               2 ==
                           0;
        bestDistance = t;
        best = Hit{t, p, ray.direction.z < 0.0 ? Vec3{0, 0, 1} : Vec3{0, 0, -1},
                   light ? kGroundLight : kGroundDark};
      }
    }
  }
  for (const Sphere &sphere : spheres_) {
    const std::optional<double> t = hitSphere(ray, sphere);
    if (!t || *t >= bestDistance) continue;
    const Vec3 p = ray.origin + ray.direction * *t;
    Vec3 n = normalized(p - sphere.centre);
    if (dot(n, ray.direction) > 0.0) n = -n;
    bestDistance = *t;
    best = Hit{*t, p, n, sphere.albedo};
  }
  for (const Box &box : boxes_) {
    const auto found = hitBox(ray, box);
    if (!found || found->first >= bestDistance) continue;
    bestDistance = found->first;
    best = Hit{found->first, ray.origin + ray.direction * found->first,
               axisNormal(found->second, ray.direction), box.albedo};
  }
  return best;
}

std::optional<Hit> Scene::intersect(const Ray &ray) const {
  return nearest(ray, std::numeric_limits<double>::infinity());
}

Vec3 Scene::shade(const Hit &hit) const {
  double sun = std::max(0.0, dot(hit.normal, towardSun_));
  if (sun > 0.0) {
    const Ray shadow{hit.point + hit.normal * (kSurfaceOffset * (1.0 + length(hit.point))),
                     towardSun_};
    if (nearest(shadow, std::numeric_limits<double>::infinity())) sun = 0.0;
  }
  return hit.albedo * (kAmbient + kSunlight * sun);
}

Vec3 Scene::sky(Vec3 direction) const {
  const double up = std::sqrt(std::clamp(direction.z, 0.0, 1.0));
  return kSkyHorizon * (1.0 - up) + kSkyZenith * up;
}

} // namespace fogrender
