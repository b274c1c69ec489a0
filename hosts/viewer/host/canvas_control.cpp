// canvas_control.cpp - the canvas control API: screen canvases for host
// programs, reading pixels back, saving a canvas as PNG, and the fixed
// string extents that placement checks use.
#include <new>

#include "canvas_raster.h"
#include "png_write.h"

namespace viewerhost::canvas {

namespace {
std::optional<StringExtents> fixedExtents;
} // namespace

const std::optional<StringExtents> &fixedStringExtents() {
  return fixedExtents;
}

} // namespace viewerhost::canvas

namespace viewerhost {

using canvas::liveCanvas;
using canvas::RasterCanvas;

UikCanvas *createScreenCanvas(UikDisplay *display, int32_t width, int32_t height) {
  return canvas::makeCanvas(display, width, height, canvas::Rgb{255, 255, 255}, nullptr);
}

std::optional<CanvasSize> canvasSize(const UikCanvas *canvas) {
  const RasterCanvas *c = liveCanvas(canvas);
  if (c == nullptr) return std::nullopt;
  return CanvasSize{c->width, c->height};
}

std::optional<CanvasPixel> canvasPixel(const UikCanvas *canvas, int32_t x, int32_t y) {
  const RasterCanvas *c = liveCanvas(canvas);
  if (c == nullptr || !c->contains(x, y)) return std::nullopt;
  const canvas::Rgb p = c->pixels[c->index(x, y)];
  return CanvasPixel{p.red, p.green, p.blue};
}

std::optional<bool> canvasPixelOpaque(const UikCanvas *canvas, int32_t x, int32_t y) {
  const RasterCanvas *c = liveCanvas(canvas);
  if (c == nullptr || !c->contains(x, y)) return std::nullopt;
  return c->mask.empty() || c->mask[c->index(x, y)] != 0;
}

bool writeCanvasPng(const UikCanvas *canvas, const std::string &path) {
  const RasterCanvas *c = liveCanvas(canvas);
  if (c == nullptr) return false;
  static_assert(sizeof(canvas::Rgb) == 3, "pixels are packed RGB");
  return pngWriteRgb(path.c_str(), c->width, c->height,
                     reinterpret_cast<const uint8_t *>(c->pixels.data()));
}

void setFixedStringExtents(std::optional<StringExtents> extents) {
  canvas::fixedExtents = extents;
}

std::vector<DrawnText> drawnTexts(const UikCanvas *canvas) {
  const RasterCanvas *c = liveCanvas(canvas);
  if (c == nullptr) return {};
  return c->texts;
}

} // namespace viewerhost
