// The Mist layer drawn for real through EGL on Mesa: the colours of blended
// planes seen through the slab, the tint only where no plane was drawn when
// the eye is inside, and the GL state left as it was.
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "draw_test_scene.h"
#include "fog_draw.h"
#include "offscreen_context.h"

namespace {

using viewergl::OffscreenContext;
using viewergl::RgbImage;

constexpr int32_t kSize = 64;
// The top-down view shows x and y from -kHalf to kHalf.
constexpr double kHalf = 40.0;

struct Rgb {
  int r, g, b;
};

std::ostream &operator<<(std::ostream &out, const Rgb &c) {
  return out << '(' << c.r << ", " << c.g << ", " << c.b << ')';
}

// One blend of a fog fragment over an 8-bit pixel as an 8-bit blender does
// it (Mesa's llvmpipe among them): colour and alpha are taken as 8-bit
// values, and each of the two products is rounded to 8 bits before they are
// added. Alpha is clamped to 0..1 like any vertex colour.
int blendChannel(int dst, double src, double alpha) {
  const int a = static_cast<int>(std::lround(std::clamp(alpha, 0.0, 1.0) * 255.0));
  const int s = static_cast<int>(std::lround(src * 255.0));
  const auto product = [](int x, int y) { return (x * y + 127) / 255; };
  return product(s, a) + product(dst, 255 - a);
}

Rgb blend(Rgb dst, const double colour[3], double alpha, int times) {
  for (int i = 0; i < times; ++i) {
    dst = {blendChannel(dst.r, colour[0], alpha), blendChannel(dst.g, colour[1], alpha),
           blendChannel(dst.b, colour[2], alpha)};
  }
  return dst;
}

Rgb pixel(const RgbImage &image, int x, int y) {
  const uint8_t *p = image.at(x, y);
  return {p[0], p[1], p[2]};
}

bool near(Rgb a, Rgb b, int tolerance) {
  return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
         std::abs(a.b - b.b) <= tolerance;
}

// A rectangle of the top-down view in scene units, shrunk by a pixel on each
// side so that probes stay clear of edge rasterisation.
struct Region {
  const char *name;
  double x0, y0, x1, y1;
};

// Every pixel of the region must be within one unit of `expected`.
void expectRegion(const RgbImage &image, const Region &region, Rgb expected) {
  const double scale = kSize / (2.0 * kHalf);
  const int left = static_cast<int>(std::ceil((region.x0 + kHalf) * scale)) + 1;
  const int right = static_cast<int>(std::floor((region.x1 + kHalf) * scale)) - 1;
  const int bottom = static_cast<int>(std::ceil((region.y0 + kHalf) * scale)) + 1;
  const int top = static_cast<int>(std::floor((region.y1 + kHalf) * scale)) - 1;
  ASSERT_LT(left, right) << region.name;
  ASSERT_LT(bottom, top) << region.name;
  int bad = 0;
  for (int gy = bottom; gy < top; ++gy) {
    for (int x = left; x < right; ++x) {
      const Rgb seen = pixel(image, x, kSize - 1 - gy); // images count rows from the top
      if (!near(seen, expected, 1) && bad++ < 3) {
        ADD_FAILURE() << region.name << " at (" << x << ", " << gy << "): " << seen << ", expected "
                      << expected;
      }
    }
  }
  EXPECT_EQ(bad, 0) << region.name;
}

// Looks straight down from `eyeZ` and sees from eyeZ - zNear down to
// eyeZ - zFar; depth grows linearly over that range.
void topDownView(double eyeZ, double zNear, double zFar) {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-kHalf, kHalf, -kHalf, kHalf, zNear, zFar);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glTranslated(0.0, 0.0, -eyeZ);
}

const double kClear[3] = {0.2, 0.4, 0.8};
const Rgb kClearRgb = {51, 102, 204};

// A fresh frame as a host starts it: colour, depth and stencil cleared.
void clearFrame() {
  glClearColor(static_cast<float>(kClear[0]), static_cast<float>(kClear[1]),
               static_cast<float>(kClear[2]), 1.0f);
  glClearDepth(1.0);
  glClearStencil(0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
}

class FogDrawRender : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { context = OffscreenContext::create(kSize, kSize, &why); }
  static void TearDownTestSuite() { context.reset(); }

  void SetUp() override {
    ASSERT_NE(context, nullptr) << "no off-screen GL context: " << why;
    ASSERT_TRUE(context->makeCurrent());
    scene.width = kSize;
    scene.height = kSize;
    ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  }

  static std::unique_ptr<OffscreenContext> context;
  static std::string why;
  DrawTestScene scene;
};

std::unique_ptr<OffscreenContext> FogDrawRender::context;
std::string FogDrawRender::why;

TEST_F(FogDrawRender, FromOutsideEachPixelOfTheRectangleBlendsEveryPlane) {
  struct Case {
    const char *name;
    double planeCount, density;
    double colour[3];
    double dx, dy;
    int blends;
  };
  const Case cases[] = {
      {"default layer", 15, 0.1, {0.6, 0.6, 0.6}, 0, 0, 15},
      {"five strong orange planes", 5, 0.25, {1.0, 0.5, 0.0}, 0, 0, 5},
      {"one plane", 1, 0.5, {0.0, 1.0, 0.0}, 0, 0, 1},
      {"truncated count", 3.99, 0.3, {0.9, 0.1, 0.4}, 0, 0, 3},
      {"no planes", 0.5, 0.5, {1.0, 1.0, 1.0}, 0, 0, 0},
      {"shifted by the origin offset", 4, 0.2, {0.0, 0.0, 0.0}, 10, -15, 4},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    scene.dx = c.dx;
    scene.dy = c.dy;
    DrawTestLayer layer(scene, 0, 140);
    layer.fog.xMin = -20;
    layer.fog.yMin = -20;
    layer.fog.xMax = 20;
    layer.fog.yMax = 20;
    layer.fog.planeCount = c.planeCount;
    layer.fog.density = c.density;
    layer.fog.red = c.colour[0];
    layer.fog.green = c.colour[1];
    layer.fog.blue = c.colour[2];

    clearFrame();
    topDownView(200, 1, 1000);
    EXPECT_EQ(layer.draw(200), 0);
    const RgbImage image = context->readRgb();

    const Region fog = {"under the fog", -20 + c.dx, -20 + c.dy, 20 + c.dx, 20 + c.dy};
    // Left of the rectangle whatever the offset: no plane and no tint there.
    const Region clear = {"beside the fog", -kHalf, -kHalf, -20 + c.dx, kHalf};
    expectRegion(image, fog, blend(kClearRgb, c.colour, c.density, c.blends));
    expectRegion(image, clear, kClearRgb);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  }
}

// Draws an opaque square at elevation z over x0..x1, y0..y1, writing depth
// as a host's terrain does.
void groundPatch(double x0, double y0, double x1, double y1, double z, const double colour[3]) {
  glEnable(GL_DEPTH_TEST);
  glColor3d(colour[0], colour[1], colour[2]);
  glBegin(GL_QUADS);
  glVertex3d(x0, y0, z);
  glVertex3d(x1, y0, z);
  glVertex3d(x1, y1, z);
  glVertex3d(x0, y1, z);
  glEnd();
  glDisable(GL_DEPTH_TEST);
}

TEST_F(FogDrawRender, FromInsideTheTintCoversOnlyPixelsNoPlaneMarked) {
  // The eye sits at 15 in the slab 10..20 and looks straight down, seeing
  // elevations 14.5 down to 8: the planes above it are clipped, the ones
  // below are seen over the rectangle. Part of the rectangle has ground at
  // 11, in front of the lowest plane. The tint quad lies at depth 0.5, which
  // is elevation 11.25 here: ground below that gets the tint, ground above
  // it (a patch at 14, beside the rectangle) hides the tint.
  const double ground[3] = {0.3, 0.2, 0.1};
  const Rgb groundRgb = {77, 51, 26};
  const double hill[3] = {0.0, 0.5, 0.0};
  const Rgb hillRgb = {0, 128, 0};
  const double fogColour[3] = {0.6, 0.6, 0.6};
  struct Case {
    const char *name;
    double planeCount, density;
    int planesSeen;         // planes below the eye
    int planesSeenOnGround; // planes between the eye and the ground
  };
  const Case cases[] = {
      {"two planes, thin", 2, 0.1, 1, 0},
      {"two planes, tint alpha above one", 2, 0.6, 1, 0},
      {"five planes", 5, 0.1, 2, 1},
      {"no planes: tint everywhere", 0, 0.1, 0, 0},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    DrawTestLayer layer(scene, 10, 20);
    layer.fog.xMin = -20;
    layer.fog.yMin = -20;
    layer.fog.xMax = 20;
    layer.fog.yMax = 20;
    layer.fog.planeCount = c.planeCount;
    layer.fog.density = c.density;

    clearFrame();
    topDownView(15, 0.5, 7);
    groundPatch(0, 0, 20, 20, 11, ground);
    groundPatch(20, -40, 40, -20, 14, hill);
    EXPECT_EQ(layer.draw(15), 0);
    const RgbImage image = context->readRgb();

    const double tintAlpha = c.density * 2;
    if (c.planesSeen > 0) {
      expectRegion(image, {"planes over the clear colour", -20, -20, 0, 20},
                   blend(kClearRgb, fogColour, c.density, c.planesSeen));
    } else {
      expectRegion(image, {"rectangle without planes", -20, -20, 0, 20},
                   blend(kClearRgb, fogColour, tintAlpha, 1));
    }
    if (c.planesSeenOnGround > 0) {
      expectRegion(image, {"planes over the ground", 0, 0, 20, 20},
                   blend(groundRgb, fogColour, c.density, c.planesSeenOnGround));
    } else {
      // Nothing marked here: the ground gets the tint, once.
      expectRegion(image, {"ground without planes", 0, 0, 20, 20},
                   blend(groundRgb, fogColour, tintAlpha, 1));
    }
    expectRegion(image, {"around the rectangle", -kHalf, -kHalf, -20, kHalf},
                 blend(kClearRgb, fogColour, tintAlpha, 1));
    expectRegion(image, {"hill in front of the tint", 20, -40, 40, -20}, hillRgb);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  }
}

// GL state a host may have set before drawing its layers.
struct HostState {
  bool depthTest, blend, cullFace, lighting, stencilTest;
  GLenum blendSource, blendDestination;
  GLboolean depthMask;
  GLfloat colour[4];
  GLenum matrixMode;
  GLenum stencilFunction;
  GLint stencilReference;
  GLuint stencilMask;
  GLenum stencilFail, stencilDepthFail, stencilPass;
  GLint stencilClear;
  GLfloat projection[16];
  GLfloat modelview[16];
};

void setFlag(GLenum cap, bool on) {
  on ? glEnable(cap) : glDisable(cap);
}

void apply(const HostState &s) {
  setFlag(GL_DEPTH_TEST, s.depthTest);
  setFlag(GL_BLEND, s.blend);
  setFlag(GL_CULL_FACE, s.cullFace);
  setFlag(GL_LIGHTING, s.lighting);
  setFlag(GL_STENCIL_TEST, s.stencilTest);
  glBlendFunc(s.blendSource, s.blendDestination);
  glDepthMask(s.depthMask);
  glColor4fv(s.colour);
  glStencilFunc(s.stencilFunction, s.stencilReference, s.stencilMask);
  glStencilOp(s.stencilFail, s.stencilDepthFail, s.stencilPass);
  glClearStencil(s.stencilClear);
  glMatrixMode(GL_PROJECTION);
  glLoadMatrixf(s.projection);
  glMatrixMode(GL_MODELVIEW);
  glLoadMatrixf(s.modelview);
  glMatrixMode(s.matrixMode);
}

GLint integer(GLenum name) {
  GLint value = 0;
  glGetIntegerv(name, &value);
  return value;
}

void expectState(const HostState &s) {
  EXPECT_EQ(glIsEnabled(GL_DEPTH_TEST), s.depthTest);
  EXPECT_EQ(glIsEnabled(GL_BLEND), s.blend);
  EXPECT_EQ(glIsEnabled(GL_CULL_FACE), s.cullFace);
  EXPECT_EQ(glIsEnabled(GL_LIGHTING), s.lighting);
  EXPECT_EQ(glIsEnabled(GL_STENCIL_TEST), s.stencilTest);
  EXPECT_EQ(integer(GL_BLEND_SRC), static_cast<GLint>(s.blendSource));
  EXPECT_EQ(integer(GL_BLEND_DST), static_cast<GLint>(s.blendDestination));
  GLboolean depthMask = GL_FALSE;
  glGetBooleanv(GL_DEPTH_WRITEMASK, &depthMask);
  EXPECT_EQ(depthMask, s.depthMask);
  GLfloat colour[4];
  glGetFloatv(GL_CURRENT_COLOR, colour);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(colour[i], s.colour[i]) << "colour component " << i;
  }
  EXPECT_EQ(integer(GL_MATRIX_MODE), static_cast<GLint>(s.matrixMode));
  EXPECT_EQ(integer(GL_STENCIL_FUNC), static_cast<GLint>(s.stencilFunction));
  EXPECT_EQ(integer(GL_STENCIL_REF), s.stencilReference);
  EXPECT_EQ(static_cast<GLuint>(integer(GL_STENCIL_VALUE_MASK)), s.stencilMask);
  EXPECT_EQ(integer(GL_STENCIL_FAIL), static_cast<GLint>(s.stencilFail));
  EXPECT_EQ(integer(GL_STENCIL_PASS_DEPTH_FAIL), static_cast<GLint>(s.stencilDepthFail));
  EXPECT_EQ(integer(GL_STENCIL_PASS_DEPTH_PASS), static_cast<GLint>(s.stencilPass));
  EXPECT_EQ(integer(GL_STENCIL_CLEAR_VALUE), s.stencilClear);
  GLfloat matrix[16];
  glGetFloatv(GL_PROJECTION_MATRIX, matrix);
  EXPECT_TRUE(std::equal(matrix, matrix + 16, s.projection)) << "projection matrix";
  glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
  EXPECT_TRUE(std::equal(matrix, matrix + 16, s.modelview)) << "modelview matrix";
  EXPECT_EQ(integer(GL_PROJECTION_STACK_DEPTH), 1);
  EXPECT_EQ(integer(GL_MODELVIEW_STACK_DEPTH), 1);
  EXPECT_EQ(integer(GL_ATTRIB_STACK_DEPTH), 0);
}

TEST_F(FogDrawRender, LeavesTheGlStateAsItFoundIt) {
  // Two host states, each flag set the other way, so that a change in
  // either direction shows.
  const HostState states[] = {
      {false,
       false,
       true,
       true,
       false,
       GL_ONE,
       GL_ZERO,
       GL_TRUE,
       {0.25f, 0.5f, 0.75f, 1.0f},
       GL_PROJECTION,
       GL_EQUAL,
       3,
       0x0F,
       GL_INCR,
       GL_DECR,
       GL_INVERT,
       7,
       {0.02f, 0, 0, 0, 0, 0.02f, 0, 0, 0, 0, -0.01f, 0, 0.1f, 0.2f, -1, 1},
       {1, 0, 0, 0, 0, 0, -1, 0, 0, 1, 0, 0, 5, -3, -200, 1}},
      {true,
       true,
       false,
       false,
       true,
       GL_DST_COLOR,
       GL_SRC_ALPHA,
       GL_FALSE,
       {1.0f, 0.0f, 0.5f, 0.125f},
       GL_MODELVIEW,
       GL_LESS,
       0,
       0xFF,
       GL_ZERO,
       GL_REPLACE,
       GL_KEEP,
       0,
       {0.025f, 0, 0, 0, 0, 0.025f, 0, 0, 0, 0, -0.002f, 0, 0, 0, -1.002f, 1},
       {0.5f, 0, 0, 0, 0, 0.5f, 0, 0, 0, 0, 0.5f, 0, 0, 0, -15, 1}},
  };
  for (const HostState &state : states) {
    for (double eye : {15.0, 500.0}) {
      SCOPED_TRACE(testing::Message() << "matrix mode " << state.matrixMode << ", eye " << eye);
      clearFrame();
      DrawTestLayer layer(scene, 10, 20);
      apply(state);
      ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
      EXPECT_EQ(layer.draw(eye), 0);
      EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
      expectState(state);
    }
  }
}

} // namespace
