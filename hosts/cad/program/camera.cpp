// camera.cpp - view axes, pixel rays and the screen-to-view matrix.
#include "camera.h"

#include <cmath>
#include <numbers>

namespace fogrender {

PixelCamera::PixelCamera(const CameraPlacement &placement, int32_t width, int32_t height)
    : width_(width), height_(height), eye_(placement.eye) {
  const Vec3 forward = normalized(placement.target - placement.eye);
  Vec3 right = cross(forward, Vec3{0.0, 0.0, 1.0});
  if (length(right) < 1e-9) right = cross(forward, Vec3{0.0, 1.0, 0.0});
  right = normalized(right);
  const Vec3 up = cross(right, forward);
  const Vec3 back = -forward;
  rotation_ = {right.x, right.y, right.z, up.x, up.y, up.z, back.x, back.y, back.z};

  const double halfAngle = placement.fovYDegrees * std::numbers::pi / 360.0;
  tanHalfY_ = static_cast<float>(std::tan(halfAngle));
  tanHalfX_ = static_cast<float>(tanHalfY_ * width / height);
}

Ray PixelCamera::rayThrough(int32_t column, int32_t row) const {
  const double ndcX = (screenX(column) - width_ * 0.5) * (2.0 / width_);
  const double ndcY = (screenY(row) - height_ * 0.5) * (2.0 / height_);
  const Vec3 view{ndcX * tanHalfX_, ndcY * tanHalfY_, -1.0};
  const auto &r = rotation_;
  const Vec3 world{view.x * r[0] + view.y * r[3] + view.z * r[6],
                   view.x * r[1] + view.y * r[4] + view.z * r[7],
                   view.x * r[2] + view.y * r[5] + view.z * r[8]};
  return Ray{eye_, normalized(world)};
}

Vec3 PixelCamera::toView(Vec3 world) const {
  const Vec3 d = world - eye_;
  const auto &r = rotation_;
  return {r[0] * d.x + r[1] * d.y + r[2] * d.z, r[3] * d.x + r[4] * d.y + r[5] * d.z,
          r[6] * d.x + r[7] * d.y + r[8] * d.z};
}

std::array<float, 16> PixelCamera::screenToView() const {
  const auto tx = static_cast<float>(tanHalfX_);
  const auto ty = static_cast<float>(tanHalfY_);
  // The depth coordinate is not needed: the weight is the depth itself, and
  // the point lies on the -z side of the view.
  return {tx,   0.0f, 0.0f,  0.0f, //
          0.0f, ty,   0.0f,  0.0f, //
          0.0f, 0.0f, 0.0f,  0.0f, //
          0.0f, 0.0f, -1.0f, 0.0f};
}

} // namespace fogrender
