// stack_icon.cpp - the Mist layer's icon in the viewer's layer stack: a
// raised strip 48 pixels high with the fog bitmap at its left and the
// layer's label beside it, drawn once into an off-screen canvas of the
// toolkit and served from the layer's record afterwards.
//
// Toolkit calls report into a local error report that is not looked at: the
// icon is handed back as far as it could be drawn.
#include "stack_icon.h"

#include <algorithm>
#include <climits>

#include "fog_layer.h"
#include "layer_methods.h"

namespace {

constexpr int32_t kIconHeight = 48;
constexpr int32_t kBevelWidth = 2;
constexpr int32_t kBitmapX = 6;
constexpr int32_t kBitmapY = 6;
constexpr int32_t kMiddleLine = kIconHeight / 2;
constexpr int32_t kColorMethodRecords = 1;
constexpr int32_t kColorMethodDefault = 0;
constexpr const char *kBitmapName = "fog.bmp";
constexpr const char *kLabelFont = "stackerbold";

// Used when the toolkit cannot hand out its button-face colour.
constexpr double kFallbackFace = 0.75;

int32_t clampToInt32(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

struct LabelPosition {
  int32_t x;
  int32_t y;
};

// The text's vertical extent is centred on the middle line; the text starts
// after the bitmap with a gap that grows with its height. h / 2 truncates
// toward zero, also for a negative height. Worked in 64 bits so that no
// extents a toolkit reports can overflow.
LabelPosition labelPosition(int32_t bitmapWidth, int32_t top, int32_t bottom) {
  const int64_t h = int64_t{bottom} - top;
  const int64_t y = kMiddleLine - h / 2 - top;
  const int64_t x = int64_t{bitmapWidth} + h + 4;
  return {clampToInt32(x), clampToInt32(y)};
}

UikColor faceColour(ErrorReport *local) {
  double *face = uik_ButtonFaceColorGet(local);
  if (face == nullptr) return UikColor{0, kFallbackFace, kFallbackFace, kFallbackFace};
  const UikColor colour{0, face[0], face[1], face[2]};
  hmsc_HeapFree(face);
  return colour;
}

// Draws the label in black next to the bitmap.
void drawLabel(UikCanvasContext *context, const char *label, int32_t bitmapWidth,
               ErrorReport *local) {
  uik_CanvasContextSetFont(context, kLabelFont, local);
  int32_t e1 = 0, e2 = 0, e3 = 0, e4 = 0;
  uik_CanvasContextGetStringExtents(context, label, &e1, &e2, &e3, &e4, local);
  const LabelPosition at = labelPosition(bitmapWidth, e3, e4);
  const UikColor black{0, 0.0, 0.0, 0.0};
  uik_CanvasContextSetForeground(context, &black, local);
  uik_CanvasDrawText(context, label, at.x, at.y, local);
}

// Draws the icon into a new off-screen copy of `canvas`, stored in the
// record as soon as the toolkit hands it out.
void drawIcon(FeatureLayer *layer, FogLayer *fog, UikCanvas *canvas, int32_t width) {
  ErrorReport local = nullptr;
  int32_t bitmapWidth = 0, bitmapHeight = 0, hotX = 0, hotY = 0;
  UikCanvas *bitmap = uik_CanvasReadXpmFile(canvas->display, kBitmapName, &bitmapWidth,
                                            &bitmapHeight, &hotX, &hotY, &local);
  // Without a bitmap the label moves up to the left edge and nothing is
  // copied.
  if (bitmap == nullptr) {
    bitmapWidth = 0;
    bitmapHeight = 0;
  }

  fog->iconCanvas = uik_CanvasCreateOffScreenCopyVis(canvas, width, kIconHeight, &local);
  UikCanvasContext *context =
      fog->iconCanvas != nullptr ? uik_CanvasContextCreate(fog->iconCanvas, &local) : nullptr;
  // Nothing to draw into: the icon stays as the toolkit made it (or absent,
  // so that the next call tries again) and the bitmap goes.
  if (context == nullptr) {
    if (bitmap != nullptr) uik_CanvasDelete(bitmap, &local);
    return;
  }
  uik_CanvasContextSetColorMethod(context, kColorMethodRecords, &local);

  const UikColor light{0, 0.9, 0.9, 0.9};
  const UikColor face = faceColour(&local);
  const UikColor dark{0, 0.4, 0.4, 0.4};
  uik_CanvasDrawBevelRect(context, 0, 0, 0, 0, width, kIconHeight, kBevelWidth, &light, &face,
                          &dark, &local);
  uik_CanvasContextSetColorMethod(context, kColorMethodDefault, &local);

  if (bitmap != nullptr) {
    uik_CanvasCopyArea(context, bitmap, 0, 0, bitmapWidth, bitmapHeight, kBitmapX, kBitmapY,
                       &local);
    uik_CanvasDelete(bitmap, &local);
  }

  char *label = fogLayer_labelGet(layer);
  if (label != nullptr) drawLabel(context, label, bitmapWidth, &local);
  uik_CanvasContextDelete(context, &local);
  if (label != nullptr) hmsc_HeapFree(label);
}

} // namespace

UikCanvas *fogLayer_stackIconGet(FeatureLayer *layer, UikCanvas *canvas, int32_t width,
                                 ErrorReport *error) noexcept {
  if (canvas == nullptr) return nullptr;
  if (error != nullptr && *error != nullptr) return nullptr;
  if (layer == nullptr || layer->privateData == nullptr) return nullptr;
  FogLayer *fog = fogLayerOf(layer);
  if (fog->iconCanvas != nullptr) return fog->iconCanvas;
  // Nothing a toolkit throws crosses back into the viewer; the icon is
  // handed back as far as it was drawn.
  try {
    drawIcon(layer, fog, canvas, width);
  } catch (...) {
  }
  return fog->iconCanvas;
}
