// camera.h - the one view fogrender renders: a pinhole camera at the view's
// origin, its axes (right, up, back toward the eye) as the rows of the view
// rotation, and the pixel raster of the renderer's screen.
//
// The screen rectangle runs x from 0 (left) to the width and y from 0
// (bottom) to the height; a pixel is sampled at its centre. A point in front
// of the camera at depth d along the view direction has the homogeneous
// weight d, and screenToView() takes weighted screen coordinates back to
// view coordinates, so a screen sample leads the texture to the same point
// as a view sample.
#pragma once

#include <array>
#include <cstdint>

#include "scene.h"
#include "vec3.h"

namespace fogrender {

struct CameraPlacement {
  Vec3 eye{0.0, -24.0, 7.0};
  Vec3 target{0.0, 8.0, 2.0};
  double fovYDegrees = 50.0; // vertical field of view
};

class PixelCamera {
 public:
  // A camera looking from `placement.eye` toward `placement.target` with the world's z
  // up (y up when it looks straight up or down). Eye and target must differ.
  PixelCamera(const CameraPlacement &placement, int32_t width, int32_t height);

  int32_t width() const { return width_; }
  int32_t height() const { return height_; }
  Vec3 eye() const { return eye_; }
  // Row by row: the right, up and back axes in world coordinates.
  const std::array<double, 9> &rotation() const { return rotation_; }

  // The screen position of a pixel's centre; rows count from the top.
  double screenX(int32_t column) const { return column + 0.5; }
  double screenY(int32_t row) const { return height_ - (row + 0.5); }

  Ray rayThrough(int32_t column, int32_t row) const;

  // A world point as offsets from the eye along the view's axes.
  Vec3 toView(Vec3 world) const;

  // The 4x4 matrix, row by row, from (e x, e y, e depth, w) to view
  // coordinates, where e is the screen offset from the centre in units of
  // half the screen, times w.
  std::array<float, 16> screenToView() const;

 private:
  int32_t width_;
  int32_t height_;
  Vec3 eye_;
  std::array<double, 9> rotation_{};
  // Half the screen's extent at depth 1, held at single precision as the
  // renderer's matrix holds it, so both ways to a point agree.
  double tanHalfX_;
  double tanHalfY_;
};

} // namespace fogrender
