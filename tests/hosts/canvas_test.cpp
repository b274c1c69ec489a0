// The stand-in toolkit's canvases: XPM reading, bevels, area copies, text,
// the button-face colour, stale handles and PNG output.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "canvas_control.h"
#include "host/error_report.h"
#include "temp_dir.h"
#include "ui_control.h"
#include "viewer_control.h"

using viewerhost::CanvasPixel;

namespace {

constexpr CanvasPixel kWhite{255, 255, 255};

// An error report that releases whatever it holds.
struct Report {
  ErrorReport slot = nullptr;
  ~Report() { viewerhost::clearError(&slot); }
  ErrorReport *operator&() { return &slot; }
  bool failed() const { return slot != nullptr; }
  std::string message() const { return viewerhost::errorMessage(slot); }
};

// 3 x 2 with a hot spot at (1, 0): red, green, clear / blue, clear, green.
// The colours use three of the hex forms.
const char *const kSmallXpm = R"(/* XPM */
static char *small[] = {
"3 2 4 1 1 0",
"a c #FF0000",
"b c #0f0",
"c c None",
"d c #00000000FFFF",
"abc",
"dcb"
};
)";

class CanvasTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.ok());
    savedPath = viewerhost::resourceSearchPath();
    viewerhost::setResourceSearchPath({dir.path().string()});
    viewerhost::setFixedStringExtents(std::nullopt);
    display = viewerhost::createDisplay();
    ASSERT_NE(display, nullptr);
    canvasesAtStart = viewerhost::liveCanvasCount();
  }
  void TearDown() override {
    viewerhost::destroyDisplay(display);
    viewerhost::setResourceSearchPath(savedPath);
    viewerhost::setFixedStringExtents(std::nullopt);
  }

  // A context on a new white screen canvas.
  UikCanvasContext *screenContext(int32_t width, int32_t height, UikCanvas **canvas) {
    *canvas = viewerhost::createScreenCanvas(display, width, height);
    Report report;
    UikCanvasContext *context = uik_CanvasContextCreate(*canvas, &report);
    EXPECT_FALSE(report.failed()) << report.message();
    return context;
  }

  UikCanvas *readSmallXpm() {
    dir.write("small.xpm", kSmallXpm);
    Report report;
    int32_t w = 0, h = 0, hx = 0, hy = 0;
    UikCanvas *bitmap = uik_CanvasReadXpmFile(display, "small.xpm", &w, &h, &hx, &hy, &report);
    EXPECT_FALSE(report.failed()) << report.message();
    return bitmap;
  }

  CanvasPixel at(UikCanvas *canvas, int32_t x, int32_t y) {
    return viewerhost::canvasPixel(canvas, x, y).value_or(CanvasPixel{1, 2, 3});
  }

  TempDir dir;
  std::vector<std::string> savedPath;
  UikDisplay *display = nullptr;
  std::size_t canvasesAtStart = 0;
};

// ------------------------------------------------------------------ XPM

TEST_F(CanvasTest, XpmReadGivesColoursClearPixelsSizeAndHotSpot) {
  dir.write("small.xpm", kSmallXpm);
  Report report;
  int32_t w = 0, h = 0, hx = 0, hy = 0;
  UikCanvas *bitmap = uik_CanvasReadXpmFile(display, "small.xpm", &w, &h, &hx, &hy, &report);
  ASSERT_NE(bitmap, nullptr) << report.message();
  EXPECT_FALSE(report.failed());
  EXPECT_EQ(bitmap->display, display);
  EXPECT_EQ((std::vector<int32_t>{w, h, hx, hy}), (std::vector<int32_t>{3, 2, 1, 0}));
  EXPECT_EQ(at(bitmap, 0, 0), (CanvasPixel{255, 0, 0}));
  EXPECT_EQ(at(bitmap, 1, 0), (CanvasPixel{0, 255, 0}));
  EXPECT_EQ(at(bitmap, 0, 1), (CanvasPixel{0, 0, 255}));
  EXPECT_EQ(at(bitmap, 2, 1), (CanvasPixel{0, 255, 0}));
  EXPECT_EQ(viewerhost::canvasPixelOpaque(bitmap, 2, 0), false);
  EXPECT_EQ(viewerhost::canvasPixelOpaque(bitmap, 1, 1), false);
  EXPECT_EQ(viewerhost::canvasPixelOpaque(bitmap, 0, 0), true);
}

TEST_F(CanvasTest, ShippedFogBitmapReadsFromTheSearchPath) {
  viewerhost::setResourceSearchPath({dir.path().string(), FOG_LAYER_RESOURCES});
  Report report;
  int32_t w = 0, h = 0, hx = 0, hy = 0;
  UikCanvas *bitmap = uik_CanvasReadXpmFile(display, "fog.bmp", &w, &h, &hx, &hy, &report);
  ASSERT_NE(bitmap, nullptr) << report.message();
  EXPECT_EQ((std::vector<int32_t>{w, h, hx, hy}), (std::vector<int32_t>{32, 32, -1, -1}));
}

TEST_F(CanvasTest, UnreadableXpmGivesAnErrorAndNoBitmap) {
  struct Case {
    const char *name;
    const char *text; // null: no such file
  };
  const Case cases[] = {
      {"missing.xpm", nullptr},
      {"empty.xpm", ""},
      {"prose.xpm", "this is not a picture\n"},
      {"short.xpm",
       "/* XPM */\nstatic char *s[] = {\n\"2 2 1 1\",\n\"a c #000000\",\n\"aa\"\n};\n"},
      {"unknowncolour.xpm",
       "/* XPM */\nstatic char *s[] = {\n\"1 1 1 1\",\n\"a c chartreuse\",\n\"a\"\n};\n"},
      {"badhex.xpm", "/* XPM */\nstatic char *s[] = {\n\"1 1 1 1\",\n\"a c #12345\",\n\"a\"\n};\n"},
      {"undefinedpixel.xpm",
       "/* XPM */\nstatic char *s[] = {\n\"2 1 1 1\",\n\"a c #000000\",\n\"az\"\n};\n"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    if (c.text != nullptr) dir.write(c.name, c.text);
    Report report;
    // Outputs start with values a failed read must overwrite.
    int32_t w = 77, h = 77, hx = 77, hy = 77;
    UikCanvas *bitmap = uik_CanvasReadXpmFile(display, c.name, &w, &h, &hx, &hy, &report);
    EXPECT_EQ(bitmap, nullptr);
    EXPECT_TRUE(report.failed());
    EXPECT_THAT(report.message(), ::testing::HasSubstr(c.name));
    EXPECT_EQ((std::vector<int32_t>{w, h, hx, hy}), (std::vector<int32_t>{0, 0, -1, -1}));
    EXPECT_EQ(viewerhost::liveCanvasCount(), canvasesAtStart);
  }
}

TEST_F(CanvasTest, XpmReadRejectsAForeignDisplayAndToleratesNullOutputs) {
  dir.write("small.xpm", kSmallXpm);
  UikDisplay *gone = viewerhost::createDisplay();
  viewerhost::destroyDisplay(gone);
  for (UikDisplay *bad : {static_cast<UikDisplay *>(nullptr), gone}) {
    Report report;
    EXPECT_EQ(uik_CanvasReadXpmFile(bad, "small.xpm", nullptr, nullptr, nullptr, nullptr, &report),
              nullptr);
    EXPECT_TRUE(report.failed());
  }
  Report report;
  EXPECT_NE(
      uik_CanvasReadXpmFile(display, "small.xpm", nullptr, nullptr, nullptr, nullptr, &report),
      nullptr);
}

// ---------------------------------------------------------------- bevels

TEST_F(CanvasTest, RaisedBevelLightsTopLeftAndShadesBottomRightSplitAtCorners) {
  UikCanvas *canvas = nullptr;
  UikCanvasContext *context = screenContext(12, 8, &canvas);
  const UikColor light{0, 0.9, 0.9, 0.9}, face{0, 0.5, 0.6, 0.7}, dark{0, 0.4, 0.4, 0.4};
  Report report;
  uik_CanvasContextSetColorMethod(context, 1, &report);
  // A 10 x 6 rectangle at (1, 1) with a bevel of 2.
  uik_CanvasDrawBevelRect(context, 0, 0, 1, 1, 10, 6, 2, &light, &face, &dark, &report);
  EXPECT_FALSE(report.failed());

  const CanvasPixel L{230, 230, 230}, F{128, 153, 179}, D{102, 102, 102};
  struct Probe {
    int32_t x, y;
    CanvasPixel expected;
  };
  const Probe probes[] = {
      {0, 0, kWhite}, {11, 7, kWhite}, {11, 1, kWhite}, // outside the rectangle
      {1, 1, L},      {5, 1, L},       {5, 2, L},       {1, 4, L}, {2, 4, L}, // top, left
      {9, 1, L},      {9, 2, D},       {10, 1, D}, // top-right corner split
      {1, 5, L},      {2, 5, D},       {1, 6, D},  // bottom-left corner split
      {10, 4, D},     {9, 4, D},       {5, 6, D},       {5, 5, D}, {10, 6, D}, // right, bottom
      {3, 3, F},      {8, 4, F},                                               // face
  };
  for (const Probe &p : probes) {
    EXPECT_EQ(at(canvas, p.x, p.y), p.expected) << "at (" << p.x << ", " << p.y << ")";
  }
}

TEST_F(CanvasTest, BevelColourMethodAndStyleChooseTheColours) {
  const UikColor light{0, 0.9, 0.9, 0.9}, face{0, 0.5, 0.6, 0.7}, dark{0, 0.4, 0.4, 0.4};
  struct Case {
    int32_t method, style;
    CanvasPixel topLeft, middle, bottomRight;
  };
  const Case cases[] = {
      {1, 0, {230, 230, 230}, {128, 153, 179}, {102, 102, 102}},
      {1, 1, {102, 102, 102}, {128, 153, 179}, {230, 230, 230}}, // sunken
      // Method 0: the toolkit's own bevel colours, not the records.
      {0, 0, {255, 255, 255}, {191, 191, 191}, {128, 128, 128}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::Message() << "method " << c.method << " style " << c.style);
    UikCanvas *canvas = nullptr;
    UikCanvasContext *context = screenContext(8, 8, &canvas);
    Report report;
    uik_CanvasContextSetColorMethod(context, c.method, &report);
    uik_CanvasDrawBevelRect(context, 0, c.style, 0, 0, 8, 8, 2, &light, &face, &dark, &report);
    EXPECT_FALSE(report.failed());
    EXPECT_EQ(at(canvas, 0, 0), c.topLeft);
    EXPECT_EQ(at(canvas, 4, 4), c.middle);
    EXPECT_EQ(at(canvas, 7, 7), c.bottomRight);
  }
}

TEST_F(CanvasTest, BevelIsClippedToTheCanvasAndNeedsItsRecords) {
  UikCanvas *canvas = nullptr;
  UikCanvasContext *context = screenContext(6, 4, &canvas);
  const UikColor light{0, 1, 1, 1}, face{0, 0, 0, 0}, dark{0, 0.5, 0.5, 0.5};
  Report report;
  uik_CanvasContextSetColorMethod(context, 1, &report);
  // Reaches far beyond every edge; only the face lands on the canvas.
  uik_CanvasDrawBevelRect(context, 0, 0, -1000, -1000, 5000, 5000, 2, &light, &face, &dark,
                          &report);
  EXPECT_FALSE(report.failed());
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 6; ++x) EXPECT_EQ(at(canvas, x, y), (CanvasPixel{0, 0, 0}));

  Report missing;
  uik_CanvasDrawBevelRect(context, 0, 0, 0, 0, 6, 4, 2, &light, nullptr, &dark, &missing);
  EXPECT_TRUE(missing.failed());

  Report badMethod;
  uik_CanvasContextSetColorMethod(context, 7, &badMethod);
  EXPECT_TRUE(badMethod.failed());
}

// ------------------------------------------------------------ area copies

TEST_F(CanvasTest, CopyAreaCopiesTheOverlapOfBothCanvasesAndSkipsClearPixels) {
  struct Case {
    int32_t sx, sy, w, h, dx, dy;
  };
  const Case cases[] = {
      {0, 0, 3, 2, 1, 1},     // whole bitmap
      {1, 0, 2, 2, 0, 0},     // part of it
      {0, 0, 3, 2, 3, 2},     // hangs over the destination's corner
      {-2, -1, 6, 5, -1, 0},  // starts before both canvases
      {0, 0, 100, 100, 0, 0}, // larger than the source
      {0, 0, 3, 2, 50, 50},   // entirely outside
      {0, 0, -3, 2, 0, 0},    // negative size: nothing
      {0, 0, 3, 2, INT32_MIN, INT32_MAX},
  };
  UikCanvas *bitmap = readSmallXpm();
  ASSERT_NE(bitmap, nullptr);
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::Message() << c.sx << "," << c.sy << " " << c.w << "x" << c.h << " to "
                                    << c.dx << "," << c.dy);
    UikCanvas *canvas = nullptr;
    UikCanvasContext *context = screenContext(4, 3, &canvas);
    Report report;
    uik_CanvasCopyArea(context, bitmap, c.sx, c.sy, c.w, c.h, c.dx, c.dy, &report);
    EXPECT_FALSE(report.failed());
    // Every destination pixel, against the source pixel it maps to.
    for (int32_t y = 0; y < 3; ++y) {
      for (int32_t x = 0; x < 4; ++x) {
        const int64_t i = int64_t{x} - c.dx, j = int64_t{y} - c.dy;
        const int64_t srcX = c.sx + i, srcY = c.sy + j;
        CanvasPixel expected = kWhite;
        if (i >= 0 && j >= 0 && i < c.w && j < c.h && srcX >= 0 && srcY >= 0 && srcX < 3 &&
            srcY < 2 &&
            viewerhost::canvasPixelOpaque(bitmap, static_cast<int32_t>(srcX),
                                          static_cast<int32_t>(srcY)) == true) {
          expected = at(bitmap, static_cast<int32_t>(srcX), static_cast<int32_t>(srcY));
        }
        EXPECT_EQ(at(canvas, x, y), expected) << "at (" << x << ", " << y << ")";
      }
    }
  }
}

TEST_F(CanvasTest, CopyAreaWithinOneCanvasReadsBeforeItWrites) {
  UikCanvas *canvas = nullptr;
  UikCanvasContext *context = screenContext(4, 1, &canvas);
  Report report;
  // Paint the row 0 1 2 3 in grey levels through one-pixel bevels' faces.
  const UikColor none{0, 0, 0, 0};
  uik_CanvasContextSetColorMethod(context, 1, &report);
  for (int32_t x = 0; x < 4; ++x) {
    const double level = x / 10.0;
    const UikColor grey{0, level, level, level};
    uik_CanvasDrawBevelRect(context, 0, 0, x, 0, 1, 1, 0, &none, &grey, &none, &report);
  }
  const CanvasPixel before[4] = {at(canvas, 0, 0), at(canvas, 1, 0), at(canvas, 2, 0),
                                 at(canvas, 3, 0)};
  uik_CanvasCopyArea(context, canvas, 0, 0, 3, 1, 1, 0, &report);
  EXPECT_FALSE(report.failed());
  EXPECT_EQ(at(canvas, 0, 0), before[0]);
  EXPECT_EQ(at(canvas, 1, 0), before[0]);
  EXPECT_EQ(at(canvas, 2, 0), before[1]);
  EXPECT_EQ(at(canvas, 3, 0), before[2]);
}

// ------------------------------------------------------------------ text

TEST_F(CanvasTest, StackerBoldHasRealExtentsThatBoundTheDrawnInk) {
  UikCanvas *canvas = nullptr;
  UikCanvasContext *context = screenContext(200, 48, &canvas);
  Report report;
  uik_CanvasContextSetFont(context, "stackerbold", &report);
  ASSERT_FALSE(report.failed()) << report.message();

  auto extentsOf = [&](const char *text) {
    viewerhost::StringExtents e;
    uik_CanvasContextGetStringExtents(context, text, &e.advance, &e.width, &e.top, &e.bottom,
                                      &report);
    return e;
  };
  const viewerhost::StringExtents label = extentsOf("valley.fog");
  const viewerhost::StringExtents noDescender = extentsOf("mom");
  const viewerhost::StringExtents empty = extentsOf("");
  EXPECT_FALSE(report.failed());
  EXPECT_LT(label.top, -8);   // a cap-height ascender, well above the base line
  EXPECT_GT(label.bottom, 1); // the descender of "y"
  EXPECT_EQ(noDescender.bottom, 0);
  EXPECT_GT(label.width, 40);
  EXPECT_GE(label.advance, label.width - 2);
  EXPECT_GT(extentsOf("valley.fog.fog").advance, label.advance);
  EXPECT_EQ((std::vector<int32_t>{empty.advance, empty.width, empty.top, empty.bottom}),
            (std::vector<int32_t>{0, 0, 0, 0}));

  const UikColor black{0, 0, 0, 0};
  uik_CanvasContextSetForeground(context, &black, &report);
  const int32_t x = 20, y = 30;
  uik_CanvasDrawText(context, "valley.fog", x, y, &report);
  EXPECT_FALSE(report.failed());
  int32_t minY = 48, maxY = -1, minX = 200, maxX = -1, dark = 0;
  for (int32_t py = 0; py < 48; ++py) {
    for (int32_t px = 0; px < 200; ++px) {
      const CanvasPixel p = at(canvas, px, py);
      if (p == kWhite) continue;
      EXPECT_TRUE(p.red == p.green && p.green == p.blue) << "grey ink only";
      minY = std::min(minY, py), maxY = std::max(maxY, py);
      minX = std::min(minX, px), maxX = std::max(maxX, px);
      if (p.red < 64) ++dark;
    }
  }
  EXPECT_EQ(minY, y + label.top);
  EXPECT_EQ(maxY, y + label.bottom - 1);
  EXPECT_EQ(maxX - minX + 1, label.width);
  EXPECT_GE(minX, x - 1);
  EXPECT_GT(dark, 50);

  const std::vector<viewerhost::DrawnText> drawn = viewerhost::drawnTexts(canvas);
  ASSERT_EQ(drawn.size(), 1u);
  EXPECT_EQ(drawn[0].text, "valley.fog");
  EXPECT_EQ((std::vector<int32_t>{drawn[0].x, drawn[0].y}), (std::vector<int32_t>{x, y}));
  EXPECT_EQ(drawn[0].font, "stackerbold");
  EXPECT_EQ(drawn[0].colour, (CanvasPixel{0, 0, 0}));
}

TEST_F(CanvasTest, FixedExtentsReplaceMeasuredOnesUntilReset) {
  UikCanvas *canvas = nullptr;
  UikCanvasContext *context = screenContext(50, 20, &canvas);
  Report report;
  uik_CanvasContextSetFont(context, "stackerbold", &report);
  viewerhost::setFixedStringExtents(viewerhost::StringExtents{1, 2, -10, 3});
  int32_t e[4] = {9, 9, 9, 9};
  uik_CanvasContextGetStringExtents(context, "anything", &e[0], &e[1], &e[2], &e[3], &report);
  EXPECT_EQ((std::vector<int32_t>(e, e + 4)), (std::vector<int32_t>{1, 2, -10, 3}));
  viewerhost::setFixedStringExtents(std::nullopt);
  uik_CanvasContextGetStringExtents(context, "anything", &e[0], &e[1], &e[2], &e[3], &report);
  EXPECT_NE(e[2], -10);
  EXPECT_FALSE(report.failed());
}

TEST_F(CanvasTest, TextWithoutAUsableFontReportsAndDrawsNothing) {
  UikCanvas *canvas = nullptr;
  UikCanvasContext *context = screenContext(50, 20, &canvas);
  {
    Report report;
    int32_t e[4] = {9, 9, 9, 9};
    uik_CanvasContextGetStringExtents(context, "x", &e[0], &e[1], &e[2], &e[3], &report);
    EXPECT_TRUE(report.failed());
    EXPECT_EQ((std::vector<int32_t>(e, e + 4)), (std::vector<int32_t>{0, 0, 0, 0}));
  }
  {
    Report report;
    uik_CanvasDrawText(context, "x", 10, 10, &report);
    EXPECT_TRUE(report.failed());
  }
  {
    Report report;
    uik_CanvasContextSetFont(context, "nosuchfont", &report);
    EXPECT_THAT(report.message(), ::testing::HasSubstr("nosuchfont"));
  }
  EXPECT_TRUE(viewerhost::drawnTexts(canvas).empty());
  for (int32_t y = 0; y < 20; ++y)
    for (int32_t x = 0; x < 50; ++x) ASSERT_EQ(at(canvas, x, y), kWhite);
}

// ------------------------------------------------- canvases and handles

TEST_F(CanvasTest, OffScreenCopySizesOutsideTheLimitsAreRefused) {
  UikCanvas *screen = viewerhost::createScreenCanvas(display, 10, 10);
  struct Case {
    int32_t width, height;
    bool made;
  };
  const Case cases[] = {{200, 48, true}, {16384, 1, true},   {0, 48, false},
                        {-1, 48, false}, {16385, 48, false}, {200, INT32_MIN, false}};
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
    Report report;
    UikCanvas *copy = uik_CanvasCreateOffScreenCopyVis(screen, c.width, c.height, &report);
    EXPECT_EQ(copy != nullptr, c.made);
    EXPECT_EQ(report.failed(), !c.made);
    if (copy != nullptr) {
      EXPECT_EQ(copy->display, display);
      EXPECT_EQ(viewerhost::canvasSize(copy), (viewerhost::CanvasSize{c.width, c.height}));
      uik_CanvasDelete(copy, &report);
    }
  }
}

TEST_F(CanvasTest, DeletedCanvasesAndContextsAreRefusedNotTouched) {
  UikCanvas *canvas = nullptr;
  UikCanvasContext *context = screenContext(4, 4, &canvas);
  const std::size_t contexts = viewerhost::liveContextCount();
  Report first;
  uik_CanvasDelete(canvas, &first);
  EXPECT_FALSE(first.failed());
  EXPECT_EQ(viewerhost::liveContextCount(), contexts - 1) << "the context went with its canvas";
  EXPECT_EQ(viewerhost::canvasSize(canvas), std::nullopt);

  const UikColor grey{0, 0.5, 0.5, 0.5};
  auto refused = [](auto call) {
    Report report;
    call(&report);
    return report.failed();
  };
  EXPECT_TRUE(refused([&](ErrorReport *r) { uik_CanvasDelete(canvas, r); }));
  EXPECT_TRUE(refused([&](ErrorReport *r) { uik_CanvasContextCreate(canvas, r); }));
  EXPECT_TRUE(refused([&](ErrorReport *r) { uik_CanvasContextSetForeground(context, &grey, r); }));
  EXPECT_TRUE(refused([&](ErrorReport *r) {
    uik_CanvasDrawBevelRect(context, 0, 0, 0, 0, 4, 4, 1, &grey, &grey, &grey, r);
  }));
  EXPECT_TRUE(refused([&](ErrorReport *r) { uik_CanvasDrawText(context, "x", 0, 0, r); }));
  EXPECT_TRUE(refused([&](ErrorReport *r) { uik_CanvasContextDelete(context, r); }));
  EXPECT_TRUE(refused([&](ErrorReport *r) { uik_CanvasCreateOffScreenCopyVis(nullptr, 4, 4, r); }));
}

TEST_F(CanvasTest, DestroyingADisplayReleasesItsCanvasesAndContexts) {
  UikDisplay *other = viewerhost::createDisplay();
  UikCanvas *screen = viewerhost::createScreenCanvas(other, 8, 8);
  Report report;
  UikCanvas *copy = uik_CanvasCreateOffScreenCopyVis(screen, 8, 8, &report);
  uik_CanvasContextCreate(copy, &report);
  EXPECT_FALSE(report.failed());
  EXPECT_EQ(viewerhost::liveCanvasCount(), canvasesAtStart + 2);
  const std::size_t contexts = viewerhost::liveContextCount();
  viewerhost::destroyDisplay(other);
  EXPECT_EQ(viewerhost::liveCanvasCount(), canvasesAtStart);
  EXPECT_EQ(viewerhost::liveContextCount(), contexts - 1);
  EXPECT_EQ(viewerhost::createScreenCanvas(other, 8, 8), nullptr);
}

TEST_F(CanvasTest, ButtonFaceColourIsANewHeapRecord) {
  const std::size_t blocks = viewerhost::heapLiveBlocks();
  Report report;
  double *face = uik_ButtonFaceColorGet(&report);
  ASSERT_NE(face, nullptr);
  EXPECT_EQ(viewerhost::heapLiveBlocks(), blocks + 1);
  for (int i = 0; i < 3; ++i) {
    EXPECT_GE(face[i], 0.0);
    EXPECT_LE(face[i], 1.0);
  }
  EXPECT_EQ(hmsc_HeapFree(face), 0);
  EXPECT_EQ(viewerhost::heapLiveBlocks(), blocks);

  viewerhost::heapFailAllocation(1);
  EXPECT_EQ(uik_ButtonFaceColorGet(&report), nullptr);
  EXPECT_TRUE(report.failed());
  viewerhost::heapFailAllocation(0);
}

// ------------------------------------------------------------------- PNG

TEST_F(CanvasTest, CanvasIsWrittenAsAnRgbPngOfItsSize) {
  UikCanvas *canvas = viewerhost::createScreenCanvas(display, 37, 5);
  const std::string path = dir.file("canvas.png");
  ASSERT_TRUE(viewerhost::writeCanvasPng(canvas, path));
  const std::string bytes = TempDir::read(path);
  ASSERT_GE(bytes.size(), 29u);
  EXPECT_EQ(bytes.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
  EXPECT_EQ(bytes.substr(12, 4), "IHDR");
  auto be32 = [&](size_t at) {
    uint32_t v = 0;
    for (size_t k = 0; k < 4; ++k) v = (v << 8) | static_cast<unsigned char>(bytes[at + k]);
    return v;
  };
  EXPECT_EQ(be32(16), 37u);
  EXPECT_EQ(be32(20), 5u);
  EXPECT_EQ(bytes[24], 8) << "bit depth";
  EXPECT_EQ(bytes[25], 2) << "colour type RGB";

  EXPECT_FALSE(viewerhost::writeCanvasPng(canvas, dir.file("no/such/dir/canvas.png")));
  EXPECT_FALSE(viewerhost::writeCanvasPng(nullptr, dir.file("null.png")));
}

} // namespace
