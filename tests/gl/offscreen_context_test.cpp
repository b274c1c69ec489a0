// The off-screen GL context and its read-back: buffers as promised, rows
// from the top, several contexts side by side, and refusals that say why.
#include "offscreen_context.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using viewergl::OffscreenContext;

GLint integer(GLenum name) {
  GLint value = 0;
  glGetIntegerv(name, &value);
  return value;
}

TEST(OffscreenContext, GivesACompatibilityContextWithStencilAndDepth) {
  std::string why;
  auto gl = OffscreenContext::create(8, 4, &why);
  ASSERT_NE(gl, nullptr) << why;
  EXPECT_EQ(gl->width(), 8);
  EXPECT_EQ(gl->height(), 4);
  EXPECT_EQ(integer(GL_STENCIL_BITS), 8);
  EXPECT_GE(integer(GL_DEPTH_BITS), 24);
  EXPECT_EQ(integer(GL_ALPHA_BITS), 8);
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], 8);
  EXPECT_EQ(viewport[3], 4);
  // The fixed-function pipeline is there: attribute and matrix stacks work.
  glPushAttrib(GL_ALL_ATTRIB_BITS);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glPopMatrix();
  glPopAttrib();
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(OffscreenContext, ReadsRowsFromTheTopAndKeepsThePackSettings) {
  auto gl = OffscreenContext::create(5, 3);
  ASSERT_NE(gl, nullptr);
  glClearColor(0, 0, 1, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  // GL's row 2 is the top row of the window.
  glEnable(GL_SCISSOR_TEST);
  glScissor(0, 2, 5, 1);
  glClearColor(1, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glScissor(4, 0, 1, 1);
  glClearColor(0, 1, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glDisable(GL_SCISSOR_TEST);
  glPixelStorei(GL_PACK_ALIGNMENT, 8);
  glPixelStorei(GL_PACK_ROW_LENGTH, 17);

  const viewergl::RgbImage image = gl->readRgb();
  ASSERT_EQ(image.width, 5);
  ASSERT_EQ(image.height, 3);
  ASSERT_EQ(image.pixels.size(), 5u * 3u * 3u);
  const struct {
    int x, y;
    uint8_t r, g, b;
  } probes[] = {{0, 0, 255, 0, 0},
                {4, 0, 255, 0, 0},
                {2, 1, 0, 0, 255},
                {0, 2, 0, 0, 255},
                {4, 2, 0, 255, 0}};
  for (const auto &p : probes) {
    SCOPED_TRACE(testing::Message() << p.x << ", " << p.y);
    EXPECT_EQ(image.at(p.x, p.y)[0], p.r);
    EXPECT_EQ(image.at(p.x, p.y)[1], p.g);
    EXPECT_EQ(image.at(p.x, p.y)[2], p.b);
  }
  EXPECT_EQ(integer(GL_PACK_ALIGNMENT), 8);
  EXPECT_EQ(integer(GL_PACK_ROW_LENGTH), 17);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(OffscreenContext, TwoContextsKeepTheirOwnFramesAndOutliveEachOther) {
  auto first = OffscreenContext::create(4, 4);
  auto second = OffscreenContext::create(6, 2);
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  ASSERT_TRUE(first->makeCurrent());
  glClearColor(1, 1, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  ASSERT_TRUE(second->makeCurrent());
  glClearColor(0, 1, 1, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  ASSERT_TRUE(first->makeCurrent());
  EXPECT_EQ(first->readRgb().at(3, 3)[2], 0);
  ASSERT_TRUE(second->makeCurrent());
  EXPECT_EQ(second->readRgb().at(5, 1)[0], 0);

  // Dropping one context leaves the other, and later ones, working.
  first.reset();
  ASSERT_TRUE(second->makeCurrent());
  EXPECT_EQ(second->readRgb().at(0, 0)[1], 255);
  second.reset();
  auto third = OffscreenContext::create(2, 2);
  ASSERT_NE(third, nullptr);
  glClearColor(1, 0, 1, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  EXPECT_EQ(third->readRgb().at(1, 1)[0], 255);
}

TEST(OffscreenContext, RefusesAnEmptySizeAndSaysWhy) {
  for (const auto &size : {std::pair{0, 4}, std::pair{4, 0}, std::pair{-3, -3}}) {
    std::string why;
    EXPECT_EQ(OffscreenContext::create(size.first, size.second, &why), nullptr);
    EXPECT_FALSE(why.empty());
  }
  EXPECT_EQ(OffscreenContext::create(0, 0), nullptr); // no error text asked for
}

} // namespace
