// fog_shading.cpp - the fog's colour and transparency at one shading point.
//
// The point, the swirl term cy and the scaled sum are rounded to single
// precision where the fog was tuned that way; everything else is a double.
#include "fog_shading.h"

#include <cmath>

#include "noise3.h"

namespace {

constexpr float kMaximumLevelOfDetail = 24.0f;
// Half-axes of the swirl ellipse, as single-precision constants.
constexpr float kSwirlRadiusY = 0.1f;
constexpr float kSwirlRadiusZ = 0.14f;

} // namespace

void clampFogParams(FogTextureParams &params) noexcept {
  if (params.levelOfDetail > kMaximumLevelOfDetail) {
    params.levelOfDetail = kMaximumLevelOfDetail;
  }
  // The power below must never see a negative base or exponent.
  if (params.thickness < 0.0f || std::isnan(params.thickness)) {
    params.thickness = 0.0f;
  }
  if (params.contrast < 0.0f || std::isnan(params.contrast)) {
    params.contrast = 0.0f;
  }
}

void shadeFogPoint(TextureColor &color, FogTextureParams &params, const float point[3],
                   double time) noexcept {
  clampFogParams(params);
  const double levelOfDetail = params.levelOfDetail;

  const double a = std::fabs(fractalSum(point, levelOfDetail));
  const float x1 = static_cast<float>((point[0] + a) + 2.0);
  const float y1 = static_cast<float>((point[1] + a) + 0.5);
  const float z1 = static_cast<float>((point[2] - 2.0) - a);

  const double angle =
      (static_cast<double>(params.swirlSpeed) * time) * FOG_SWIRL_DEGREES_TO_RADIANS;
  const float cy = static_cast<float>(std::cos(angle) * static_cast<double>(kSwirlRadiusY));
  const double sz = std::sin(angle) * static_cast<double>(kSwirlRadiusZ);
  const float moved[3] = {
      static_cast<float>(x1 - static_cast<double>(params.driftSpeed) * time),
      static_cast<float>(static_cast<double>(cy) + y1),
      static_cast<float>(sz + z1),
  };

  const float base = static_cast<float>(std::fabs(fractalSum(moved, levelOfDetail)) *
                                        static_cast<double>(params.thickness));
  // pow(0, 0) is 1, so contrast 0 gives the maximum density everywhere.
  double shaped = std::pow(static_cast<double>(base), static_cast<double>(params.contrast));
  if (shaped > 1.0) {
    shaped = 1.0;
  }
  const double minimum = params.minimumDensity;
  const double density = shaped * (static_cast<double>(params.maximumDensity) - minimum) + minimum;

  color.red = static_cast<float>((density * params.primaryColor[0]) * 255.0);
  color.green = static_cast<float>((density * params.primaryColor[1]) * 255.0);
  color.blue = static_cast<float>((density * params.primaryColor[2]) * 255.0);
  color.transparency = static_cast<float>((1.0 - density) * 255.0);
}
