// scene.h - the small world fogrender ray casts: a ground plane and a few
// spheres and boxes, lit by one distant sun with Lambert shading and hard
// shadows, under a sky gradient.
//
// The scene knows nothing of fog: it answers where a ray meets a surface and
// what colour that surface has there. The fog material that every surface
// carries is applied afterwards, per pixel, by the texture module.
#pragma once

#include <optional>
#include <vector>

#include "vec3.h"

namespace fogrender {

struct Ray {
  Vec3 origin;
  Vec3 direction; // unit length
};

struct Hit {
  double distance = 0.0; // along the ray, in master units
  Vec3 point;
  Vec3 normal; // unit length, facing the ray
  Vec3 albedo; // the surface's own colour, 0 to 1
};

struct Sphere {
  Vec3 centre;
  double radius = 1.0;
  Vec3 albedo;
};

// An axis-aligned box.
struct Box {
  Vec3 low;
  Vec3 high;
  Vec3 albedo;
};

class Scene {
 public:
  // The ground at z = 0 within `groundHalfSize` of the origin on x and y, in
  // checker tiles of `tileSize`; beyond it the ray sees the sky.
  Scene(double groundHalfSize, double tileSize, std::vector<Sphere> spheres, std::vector<Box> boxes,
        Vec3 towardSun);

  // The ground, three spheres and two boxes around the origin.
  static Scene standard();

  // The nearest surface the ray meets in front of its origin.
  std::optional<Hit> intersect(const Ray &ray) const;

  // The lit colour of a surface point, each component 0 to 1: ambient light
  // plus the sun's Lambert term where the sun is not shadowed.
  Vec3 shade(const Hit &hit) const;

  // The sky seen along a direction: pale at the horizon, deeper blue above.
  Vec3 sky(Vec3 direction) const;

 private:
  std::optional<Hit> nearest(const Ray &ray, double maxDistance) const;

  double groundHalfSize_;
  double tileSize_;
  std::vector<Sphere> spheres_;
  std::vector<Box> boxes_;
  Vec3 towardSun_;
};

} // namespace fogrender
