// draw_test_scene.h - a minimal scene and Mist layer for the drawing tests:
// a Scene whose operations answer the origin offset and window size the test
// sets and count how often they are asked, and a FogLayer on a FeatureLayer
// built directly, without the host's creation path.
#pragma once

#include <cstdint>
#include <cstring>

#include "fog_layer.h"
#include "viewer_host.h"

struct DrawTestScene {
  Scene scene; // first member: the operations get &scene back
  double dx = 0.0;
  double dy = 0.0;
  double dz = 0.0;
  int32_t width = 64;
  int32_t height = 64;
  int originOffsetCalls = 0;
  int windowSizeCalls = 0;
  // Called with the operation's name on every scene query, when set.
  void (*onQuery)(const char *operation) = nullptr;

  DrawTestScene() : scene{&kOps} {}
  DrawTestScene(const DrawTestScene &) = delete;
  DrawTestScene &operator=(const DrawTestScene &) = delete;

  static DrawTestScene &of(Scene *s) { return *reinterpret_cast<DrawTestScene *>(s); }

  static void originOffset(Scene *s, int32_t which, double *x, double *y, double *z) {
    DrawTestScene &self = of(s);
    ++self.originOffsetCalls;
    if (self.onQuery != nullptr) {
      self.onQuery("sceneOriginOffset");
    }
    if (which == 0) {
      *x = self.dx;
      *y = self.dy;
      *z = self.dz;
    }
  }

  static void windowSize(Scene *s, int32_t *w, int32_t *h) {
    DrawTestScene &self = of(s);
    ++self.windowSizeCalls;
    if (self.onQuery != nullptr) {
      self.onQuery("sceneWindowSize");
    }
    *w = self.width;
    *h = self.height;
  }

  static constexpr SceneOps kOps = {nullptr, nullptr, nullptr, &windowSize, &originOffset, nullptr};
};

// A visible layer over the rectangle (-10, -20)..(30, 40) with the given
// slab and the default colour, density and plane count.
struct DrawTestLayer {
  FogLayer fog;
  FeatureLayerMethods methods;
  FeatureLayer layer;

  DrawTestLayer(DrawTestScene &scene, double bottom, double top) {
    std::memset(&fog, 0, sizeof fog);
    std::memset(&methods, 0, sizeof methods);
    fog.scene = &scene.scene;
    fog.xMin = -10.0;
    fog.yMin = -20.0;
    fog.xMax = 30.0;
    fog.yMax = 40.0;
    fog.bottomElevation = bottom;
    fog.topElevation = top;
    fog.density = 0.1;
    fog.planeCount = 15.0;
    fog.visible = 1;
    fog.red = 0.6;
    fog.green = 0.6;
    fog.blue = 0.6;
    fogLayer_bindMethods(&methods);
    layer = FeatureLayer{&fog, &methods, nullptr, 0};
  }
  DrawTestLayer(const DrawTestLayer &) = delete;
  DrawTestLayer &operator=(const DrawTestLayer &) = delete;

  // Runs the layer's draw slot as the host would, with an eye at `eye`.
  int32_t draw(double eye) {
    const ViewPoint viewPoint{0.0, 0.0, eye};
    return methods.draw(&layer, 1.0, 2.0, 3.0, &viewPoint, 4.0, 5.0, nullptr);
  }
};
