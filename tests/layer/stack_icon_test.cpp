// The Mist layer's layer-stack icon: checks, cache, bevel, bitmap, label
// placement, and what it leaves behind.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "canvas_control.h"
#include "host/error_report.h"
#include "layer_create.h"
#include "temp_dir.h"
#include "ui_control.h"
#include "viewer_scene_fixture.h"

using viewerhost::CanvasPixel;
using viewerhost::StringExtents;

namespace {

constexpr CanvasPixel kLight{230, 230, 230}; // 0.9
constexpr CanvasPixel kDark{102, 102, 102};  // 0.4
constexpr CanvasPixel kFace{191, 191,
                            191}; // 0.75: the toolkit's default face and the layer's fallback

// A one-colour XPM picture of the given size.
std::string plainXpm(int width, int height) {
  std::string text = "/* XPM */\nstatic char *p[] = {\n\"" + std::to_string(width) + " " +
                     std::to_string(height) + " 1 1\",\n\"a c #204060\",\n";
  for (int y = 0; y < height; ++y) {
    text += "\"" + std::string(static_cast<size_t>(width), 'a') + "\"";
    text += y + 1 < height ? ",\n" : "\n";
  }
  return text + "};\n";
}

class StackIconTest : public ViewerSceneTest {
 protected:
  void SetUp() override {
    ViewerSceneTest::SetUp();
    ASSERT_TRUE(bitmaps.ok());
    savedPath = viewerhost::resourceSearchPath();
    useShippedBitmap();
    viewerhost::setFixedStringExtents(std::nullopt);
    viewerhost::resetButtonFaceColour();
    display = viewerhost::createDisplay();
    screen = viewerhost::createScreenCanvas(display, 400, 300);
    ASSERT_NE(screen, nullptr);
  }
  void TearDown() override {
    ViewerSceneTest::TearDown();
    viewerhost::destroyDisplay(display);
    viewerhost::setResourceSearchPath(savedPath);
    viewerhost::setFixedStringExtents(std::nullopt);
    viewerhost::resetButtonFaceColour();
  }

  void useShippedBitmap() { viewerhost::setResourceSearchPath({FOG_LAYER_RESOURCES}); }
  // "fog.bmp" is then found in the test's own folder, with this content.
  void useBitmap(const std::string &xpm) {
    bitmaps.write("fog.bmp", xpm);
    viewerhost::setResourceSearchPath({bitmaps.path().string()});
  }
  void useNoBitmap() {
    std::filesystem::remove(bitmaps.file("fog.bmp"));
    viewerhost::setResourceSearchPath({bitmaps.path().string()});
  }

  // A new Mist layer for a fog file in the scene's stack (closed with the
  // scene).
  FeatureLayer *newLayer(const char *fileName = "/data/scenes/valley.fog") {
    char *arguments[] = {const_cast<char *>(fileName)};
    FeatureLayer *layer = fogvlLayerCreate(hostLayer(), 0, 1, arguments);
    EXPECT_NE(layer, nullptr);
    if (layer != nullptr) {
      EXPECT_TRUE(viewerhost::addLayer(scene, layer));
    }
    return layer;
  }

  static UikCanvas *iconOf(FeatureLayer *layer, UikCanvas *canvas, int32_t width,
                           ErrorReport *error) {
    return layer->methods->stackIconGet(layer, canvas, width, error);
  }

  UikCanvas *iconOf(FeatureLayer *layer, int32_t width) {
    ErrorReport error = nullptr;
    return iconOf(layer, screen, width, &error);
  }

  CanvasPixel at(UikCanvas *canvas, int32_t x, int32_t y) {
    return viewerhost::canvasPixel(canvas, x, y).value_or(CanvasPixel{1, 2, 3});
  }

  TempDir bitmaps;
  std::vector<std::string> savedPath;
  UikDisplay *display = nullptr;
  UikCanvas *screen = nullptr;
};

TEST_F(StackIconTest, LabelIsPlacedByItsExtentsAndTheBitmapWidth) {
  struct Case {
    const char *what;
    int bitmapWidth; // 0: no fog.bmp at all
    int32_t top, bottom;
    int32_t x, y;
  };
  const Case cases[] = {
      {"height 13 beside a 32-pixel bitmap", 32, -10, 3, 49, 28},
      {"height 15", 20, -11, 4, 20 + 19, 28},
      {"bottom above top: h / 2 truncates toward zero", 32, 2, -5, 32 - 3, 25},
      {"odd negative height beside a wide bitmap", 40, 1, -2, 40 + 1, 24},
      {"no bitmap: the label moves to the left edge", 0, -10, 3, 17, 28},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    if (c.bitmapWidth > 0)
      useBitmap(plainXpm(c.bitmapWidth, 30));
    else
      useNoBitmap();
    viewerhost::setFixedStringExtents(StringExtents{100, 90, c.top, c.bottom});
    FeatureLayer *layer = newLayer();
    ASSERT_NE(layer, nullptr);
    UikCanvas *icon = iconOf(layer, 200);
    ASSERT_NE(icon, nullptr);
    const std::vector<viewerhost::DrawnText> drawn = viewerhost::drawnTexts(icon);
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].text, "valley");
    EXPECT_EQ(drawn[0].x, c.x);
    EXPECT_EQ(drawn[0].y, c.y);
    EXPECT_EQ(drawn[0].font, "stackerbold");
    EXPECT_EQ(drawn[0].colour, (CanvasPixel{0, 0, 0}));
  }
}

TEST_F(StackIconTest, ValleyIconShowsBevelBitmapAndLabelAndIsSavedAsPng) {
  FeatureLayer *layer = newLayer();
  ASSERT_NE(layer, nullptr);
  const std::size_t canvases = viewerhost::liveCanvasCount();
  const std::size_t contexts = viewerhost::liveContextCount();
  const std::size_t blocks = viewerhost::heapLiveBlocks();

  UikCanvas *icon = iconOf(layer, 200);
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(viewerhost::canvasSize(icon), (viewerhost::CanvasSize{200, 48}));
  EXPECT_EQ(icon->display, display);
  // The icon stays; the bitmap canvas, the context, the face colour record
  // and the label are gone.
  EXPECT_EQ(viewerhost::liveCanvasCount(), canvases + 1);
  EXPECT_EQ(viewerhost::liveContextCount(), contexts);
  EXPECT_EQ(viewerhost::heapLiveBlocks(), blocks);

  const std::filesystem::path png =
      std::filesystem::path(FOG_BUILD_DIR) / "tests" / "layer" / "valley_fog_stack_icon.png";
  std::filesystem::create_directories(png.parent_path());
  EXPECT_TRUE(viewerhost::writeCanvasPng(icon, png.string())) << png;

  // The raised bevel, two pixels wide, and the face inside it.
  EXPECT_EQ(at(icon, 0, 0), kLight);
  EXPECT_EQ(at(icon, 150, 1), kLight);
  EXPECT_EQ(at(icon, 1, 30), kLight);
  EXPECT_EQ(at(icon, 199, 47), kDark);
  EXPECT_EQ(at(icon, 150, 46), kDark);
  EXPECT_EQ(at(icon, 198, 30), kDark);
  EXPECT_EQ(at(icon, 190, 24), kFace);
  EXPECT_EQ(at(icon, 4, 24), kFace) << "between the bevel and the bitmap";

  // The shipped bitmap, pixel for pixel, at (6, 6).
  ErrorReport error = nullptr;
  int32_t bw = 0, bh = 0, hx = 0, hy = 0;
  UikCanvas *bitmap = uik_CanvasReadXpmFile(display, "fog.bmp", &bw, &bh, &hx, &hy, &error);
  ASSERT_NE(bitmap, nullptr);
  int32_t different = 0;
  for (int32_t y = 0; y < bh; ++y)
    for (int32_t x = 0; x < bw; ++x) different += at(icon, 6 + x, 6 + y) != at(bitmap, x, y);
  EXPECT_EQ(different, 0);

  // The label in black right of the bitmap, around the middle line.
  const std::vector<viewerhost::DrawnText> drawn = viewerhost::drawnTexts(icon);
  ASSERT_EQ(drawn.size(), 1u);
  EXPECT_EQ(drawn[0].text, "valley");
  EXPECT_GT(drawn[0].x, 6 + bw);
  int32_t ink = 0, inkTop = 48, inkBottom = -1;
  for (int32_t y = 2; y < 46; ++y) {
    for (int32_t x = 6 + bw; x < 198; ++x) {
      if (at(icon, x, y).red < 96) {
        ++ink;
        inkTop = std::min(inkTop, y);
        inkBottom = std::max(inkBottom, y);
      }
    }
  }
  EXPECT_GT(ink, 40);
  EXPECT_LE(std::abs((inkTop + inkBottom + 1) - 48), 1)
      << "centred on line 24: " << inkTop << ".." << inkBottom;
}

TEST_F(StackIconTest, LaterCallsReturnTheCachedCanvasWhateverTheWidth) {
  FeatureLayer *layer = newLayer();
  ASSERT_NE(layer, nullptr);
  UikCanvas *first = iconOf(layer, 200);
  ASSERT_NE(first, nullptr);
  const std::size_t canvases = viewerhost::liveCanvasCount();
  UikCanvas *otherScreen = viewerhost::createScreenCanvas(display, 10, 10);

  EXPECT_EQ(iconOf(layer, 300), first);
  ErrorReport error = nullptr;
  EXPECT_EQ(iconOf(layer, otherScreen, 50, &error), first);
  EXPECT_EQ(viewerhost::canvasSize(first), (viewerhost::CanvasSize{200, 48}));
  EXPECT_EQ(viewerhost::drawnTexts(first).size(), 1u) << "not drawn again";
  EXPECT_EQ(viewerhost::liveCanvasCount(), canvases + 1) << "only the second screen is new";

  // Each layer has its own icon.
  FeatureLayer *second = newLayer("/data/scenes/coast.fog");
  ASSERT_NE(second, nullptr);
  UikCanvas *secondIcon = iconOf(second, 120);
  EXPECT_NE(secondIcon, first);
  ASSERT_EQ(viewerhost::drawnTexts(secondIcon).size(), 1u);
  EXPECT_EQ(viewerhost::drawnTexts(secondIcon)[0].text, "coast");
}

TEST_F(StackIconTest, NullCanvasOrPendingErrorGivesNullAndDrawsNothing) {
  FeatureLayer *layer = newLayer();
  ASSERT_NE(layer, nullptr);
  const std::size_t canvases = viewerhost::liveCanvasCount();

  ErrorReport pending = nullptr;
  viewerhost::setError(&pending, "an earlier failure");
  ErrorReport clean = nullptr;
  EXPECT_EQ(iconOf(layer, screen, 200, &pending), nullptr);
  EXPECT_EQ(iconOf(layer, nullptr, 200, &clean), nullptr);
  EXPECT_EQ(viewerhost::liveCanvasCount(), canvases) << "nothing drawn";
  EXPECT_EQ(viewerhost::errorMessage(pending), "an earlier failure") << "left as it was";

  // Drawn once the checks pass, and then still refused for them.
  UikCanvas *icon = iconOf(layer, screen, 200, &clean);
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(iconOf(layer, screen, 200, &pending), nullptr);
  EXPECT_EQ(iconOf(layer, nullptr, 200, &clean), nullptr);
  EXPECT_EQ(iconOf(layer, screen, 200, &clean), icon);
  viewerhost::clearError(&pending);
}

TEST_F(StackIconTest, UnreadableBitmapLeavesTheBitmapAreaBlank) {
  const struct {
    const char *what;
    const char *xpm; // null: no file
  } cases[] = {{"missing", nullptr}, {"broken", "/* XPM */\nstatic char *p[] = { \"32 32\" };\n"}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.what);
    if (c.xpm != nullptr)
      useBitmap(c.xpm);
    else
      useNoBitmap();
    viewerhost::setFixedStringExtents(StringExtents{60, 50, -10, 3}); // label from x = 17
    FeatureLayer *layer = newLayer();
    ASSERT_NE(layer, nullptr);
    const std::size_t canvases = viewerhost::liveCanvasCount();
    UikCanvas *icon = iconOf(layer, 200);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(viewerhost::liveCanvasCount(), canvases + 1);
    for (int32_t y = 2; y < 46; ++y)
      for (int32_t x = 2; x < 17; ++x) ASSERT_EQ(at(icon, x, y), kFace) << x << ", " << y;
    EXPECT_EQ(viewerhost::drawnTexts(icon).size(), 1u);
  }
}

TEST_F(StackIconTest, FaceIsTheToolkitsAndHeapFailuresLoseOnlyItOrTheLabel) {
  // A toolkit face unlike the layer's own fallback (0.75), so that the
  // strip shows which one was used.
  viewerhost::setButtonFaceColour(0.2, 0.4, 0.6);
  constexpr CanvasPixel kToolkitFace{51, 102, 153};
  // The face colour record is the call's first host-heap block, the label
  // its second.
  const struct {
    std::size_t failing; // 0: none
    std::size_t texts;
    CanvasPixel face;
  } cases[] = {{0, 1, kToolkitFace}, {1, 1, kFace}, {2, 0, kToolkitFace}};
  for (const auto &c : cases) {
    SCOPED_TRACE(testing::Message() << "allocation " << c.failing << " fails");
    FeatureLayer *layer = newLayer();
    ASSERT_NE(layer, nullptr);
    const std::size_t blocks = viewerhost::heapLiveBlocks();
    viewerhost::heapFailAllocation(c.failing);
    UikCanvas *icon = iconOf(layer, 200);
    EXPECT_FALSE(viewerhost::heapFailurePending());
    viewerhost::heapFailAllocation(0);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(at(icon, 190, 24), c.face);
    EXPECT_EQ(at(icon, 0, 0), kLight);
    EXPECT_EQ(at(icon, 199, 47), kDark);
    EXPECT_EQ(viewerhost::drawnTexts(icon).size(), c.texts);
    EXPECT_EQ(viewerhost::heapLiveBlocks(), blocks);
  }
}

TEST_F(StackIconTest, WidthTheToolkitRefusesGivesNullAndCleansUp) {
  FeatureLayer *layer = newLayer();
  ASSERT_NE(layer, nullptr);
  const std::size_t canvases = viewerhost::liveCanvasCount();
  const std::size_t contexts = viewerhost::liveContextCount();
  const std::size_t blocks = viewerhost::heapLiveBlocks();
  for (int32_t width : {0, -200}) {
    EXPECT_EQ(iconOf(layer, width), nullptr);
    EXPECT_EQ(viewerhost::liveCanvasCount(), canvases) << "the bitmap was deleted";
    EXPECT_EQ(viewerhost::liveContextCount(), contexts);
    EXPECT_EQ(viewerhost::heapLiveBlocks(), blocks) << "the label was freed";
  }
  UikCanvas *icon = iconOf(layer, 200);
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(viewerhost::canvasSize(icon), (viewerhost::CanvasSize{200, 48}));
}

} // namespace
