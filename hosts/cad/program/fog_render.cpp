// fog_render.cpp - ray casting, sampling and compositing, pixel by pixel.
#include "fog_render.h"

#include <algorithm>

#include "cad_world.h"
#include "compositing.h"
#include "interrupt.h"

namespace fogrender {
namespace {

TextureSample sampleFor(const PixelCamera &camera, const Hit &hit, int32_t column, int32_t row,
                        SampleKind kind) {
  TextureSample sample{};
  sample.windowId = kSceneWindow;
  sample.materialId = kFogMaterialId;
  const Vec3 view = camera.toView(hit.point) * kUorPerMaster;
  if (kind == SampleKind::ViewPoint) {
    sample.flags = SAMPLE_VIEW_POINT;
    sample.viewPoint[0] = static_cast<float>(view.x);
    sample.viewPoint[1] = static_cast<float>(view.y);
    sample.viewPoint[2] = static_cast<float>(view.z);
  } else {
    // The weight is the depth in front of the eye; the view looks along -z.
    const double depth = -view.z;
    sample.flags = SAMPLE_SCREEN_POINT | SAMPLE_PERSPECTIVE;
    sample.screenPoint[0] = static_cast<float>(camera.screenX(column));
    sample.screenPoint[1] = static_cast<float>(camera.screenY(row));
    sample.screenPoint[2] =
        static_cast<float>(std::clamp(depth / (kDepthRange * kUorPerMaster), 0.0, 1.0));
    sample.screenW = static_cast<float>(depth);
  }
  return sample;
}

} // namespace

std::optional<RgbImage> renderFogScene(const TextureModule &module, const Scene &scene,
                                       const PixelCamera &camera, SampleKind kind) {
  RgbImage image(camera.width(), camera.height());
  for (int32_t row = 0; row < camera.height(); ++row) {
    if (interrupted()) return std::nullopt;
    for (int32_t column = 0; column < camera.width(); ++column) {
      const Ray ray = camera.rayThrough(column, row);
      const std::optional<Hit> hit = scene.intersect(ray);
      if (!hit) {
        const Vec3 sky = scene.sky(ray.direction) * 255.0;
        image.set(column, row, {toByte(sky.x), toByte(sky.y), toByte(sky.z)});
        continue;
      }
      const TextureSample sample = sampleFor(camera, *hit, column, row, kind);
      TextureColor fog{};
      module.shade(fog, sample);
      image.set(column, row, composite(fog, scene.shade(*hit) * 255.0));
    }
  }
  return image;
}

} // namespace fogrender
