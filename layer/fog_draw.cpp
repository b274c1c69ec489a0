// fog_draw.cpp - draws a Mist layer with the fixed-function pipeline: the
// planes from the top elevation down, marked in the stencil buffer while the
// eye is inside the slab, then a window-sized quad of the fog colour at twice
// the plane opacity over every pixel no plane marked. All GL state changed
// here sits inside one glPushAttrib/glPopAttrib pair, and the two matrices
// replaced for the tint are pushed and popped.
#include "fog_draw.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <limits>

#include "fog_layer.h"

namespace {

// GL_ALL_ATTRIB_BITS as OpenGL 1.1 defines it; newer headers widen the
// constant to all 32 bits, which covers nothing more that this drawing
// changes.
constexpr GLbitfield kAllAttribBits = 0x000FFFFF;

struct OriginOffset {
  double dx = 0.0;
  double dy = 0.0;
  double dz = 0.0;
};

// Strictly between the two faces; a NaN anywhere makes both comparisons
// false, so the eye counts as outside.
bool eyeInsideSlab(const FogLayer &fog, double eyeElevation) {
  return fog.topElevation > eyeElevation && fog.bottomElevation < eyeElevation;
}

void drawPlane(const FogLayer &fog, const OriginOffset &offset, double z) {
  const double x0 = fog.xMin + offset.dx;
  const double x1 = fog.xMax + offset.dx;
  const double y0 = fog.yMin + offset.dy;
  const double y1 = fog.yMax + offset.dy;
  const double zs = z + offset.dz;
  glVertex3d(x0, y0, zs);
  glVertex3d(x0, y1, zs);
  glVertex3d(x1, y1, zs);
  glVertex3d(x1, y0, zs);
}

// One plane sits in the middle of the slab; more are spread evenly from the
// top face (drawn first) to the bottom face. Top below bottom simply runs
// the other way.
void drawPlanes(const FogLayer &fog, const OriginOffset &offset, int32_t planes) {
  const double top = fog.topElevation;
  const double bottom = fog.bottomElevation;
  if (planes == 1) {
    drawPlane(fog, offset, (top - bottom) * 0.5 + bottom);
    return;
  }
  for (int32_t i = planes - 1; i >= 0; --i) {
    const double z =
        (top - bottom) * static_cast<double>(i) / static_cast<double>(planes - 1) + bottom;
    drawPlane(fog, offset, z);
  }
}

// Covers the window where the stencil holds no plane mark. Depth testing,
// blending and the read-only depth buffer set up for the planes still apply.
void drawTint(const FogLayer &fog) {
  glStencilFunc(GL_NOTEQUAL, 1, 1);
  glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
  glColor4f(static_cast<float>(fog.red), static_cast<float>(fog.green),
            static_cast<float>(fog.blue), static_cast<float>(fog.density * 2.0));

  int32_t width = 0;
  int32_t height = 0;
  if (fog.scene->ops->sceneWindowSize != nullptr) {
    fog.scene->ops->sceneWindowSize(fog.scene, &width, &height);
  }
  // A window without pixels has nothing to tint, and an empty ortho box
  // would leave GL_INVALID_VALUE behind for the host to find.
  if (width <= 0 || height <= 0) {
    return;
  }
  const double w = width;
  const double h = height;

  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  gluOrtho2D(0.0, w, 0.0, h);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();

  glBegin(GL_QUADS);
  glVertex2d(0.0, 0.0);
  glVertex2d(0.0, h);
  glVertex2d(w, h);
  glVertex2d(w, 0.0);
  glEnd();

  glDisable(GL_BLEND);
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
}

} // namespace

int32_t fogLayer_truncatePlaneCount(double planeCount) {
  if (std::isnan(planeCount)) {
    return 0;
  }
  constexpr double kLowest = static_cast<double>(std::numeric_limits<int32_t>::min());
  constexpr double kHighest = static_cast<double>(std::numeric_limits<int32_t>::max());
  if (planeCount <= kLowest) {
    return std::numeric_limits<int32_t>::min();
  }
  if (planeCount >= kHighest) {
    return std::numeric_limits<int32_t>::max();
  }
  return static_cast<int32_t>(planeCount);
}

int32_t fogLayer_planesDrawn(double planeCount) {
  const int32_t planes = fogLayer_truncatePlaneCount(planeCount);
  if (planes < 1) {
    return 0;
  }
  return planes < kFogMaxDrawnPlanes ? planes : kFogMaxDrawnPlanes;
}

int32_t fogLayer_draw(FeatureLayer *layer, double, double, double, const ViewPoint *viewPoint,
                      double, double, void *) noexcept {
  if (layer == nullptr || layer->privateData == nullptr) {
    return 0;
  }
  const FogLayer &fog = *fogLayerOf(layer);
  if (fog.visible == 0) {
    return 0;
  }
  // Without a scene there is no offset to place the planes by.
  if (fog.scene == nullptr || fog.scene->ops == nullptr ||
      fog.scene->ops->sceneOriginOffset == nullptr) {
    return 0;
  }

  OriginOffset offset;
  fog.scene->ops->sceneOriginOffset(fog.scene, 0, &offset.dx, &offset.dy, &offset.dz);
  const int32_t planes = fogLayer_planesDrawn(fog.planeCount);

  glPushAttrib(kAllAttribBits);
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_BLEND);
  glDisable(GL_CULL_FACE);
  glDepthMask(GL_FALSE);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glDisable(GL_LIGHTING);
  glColor4f(static_cast<float>(fog.red), static_cast<float>(fog.green),
            static_cast<float>(fog.blue), static_cast<float>(fog.density));

  // Without a viewpoint the eye's elevation is unknown: treated as outside.
  const double eyeElevation =
      viewPoint != nullptr ? viewPoint->z : std::numeric_limits<double>::quiet_NaN();
  const bool inside = eyeInsideSlab(fog, eyeElevation);
  if (inside) {
    // The stencil is not cleared here: the host's frame leaves it other
    // than 1 wherever no plane marks it now.
    glClearStencil(0);
    glEnable(GL_STENCIL_TEST);
    glStencilFunc(GL_ALWAYS, 1, 1);
    glStencilOp(GL_KEEP, GL_KEEP, GL_REPLACE);
  }

  glBegin(GL_QUADS);
  drawPlanes(fog, offset, planes);
  glEnd();

  if (inside) {
    drawTint(fog);
  }
  glPopAttrib();
  return 0;
}

int32_t fogLayer_secondDraw(FeatureLayer *layer, double a, double b, double c,
                            const ViewPoint *viewPoint, double d, double e, void *f) noexcept {
  return fogLayer_draw(layer, a, b, c, viewPoint, d, e, f);
}
