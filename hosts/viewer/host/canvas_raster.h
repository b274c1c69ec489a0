// canvas_raster.h - the stand-in toolkit's canvases inside the viewer host:
// displays, RGB rasters and their drawing contexts, shared by the canvas
// operations (canvas_raster.cpp), XPM reading (canvas_xpm.cpp), text
// (canvas_text.cpp) and the control API (canvas_control.cpp).
//
// Every display, canvas and context the toolkit hands out is kept in one
// registry. An operation first looks its handle up there, so a null, stale or
// foreign handle gives an error report instead of a wild memory access. A
// display owns its canvases and a canvas its contexts: removing one removes
// what hangs on it.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "canvas_control.h"
#include "viewer_host.h"

struct UikDisplay {
  int32_t serial = 0; // for messages only
};

namespace viewerhost::canvas {

struct Rgb {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
  bool operator==(const Rgb &) const = default;
};

// A canvas is a plain raster. A bitmap read from an XPM file with
// transparent ("None") pixels also carries a mask; copies skip its clear
// pixels. Every other canvas is opaque and has an empty mask.
struct RasterCanvas : UikCanvas {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<Rgb> pixels;      // row-major from the top
  std::vector<uint8_t> mask;    // empty, or 1 = opaque per pixel
  std::vector<DrawnText> texts; // every text drawn on it, in order

  bool contains(int64_t x, int64_t y) const { return x >= 0 && y >= 0 && x < width && y < height; }
  size_t index(int64_t x, int64_t y) const {
    return static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x);
  }
  // Writes one pixel that is known to be inside; it becomes opaque.
  void put(int64_t x, int64_t y, Rgb colour) {
    const size_t i = index(x, y);
    pixels[i] = colour;
    if (!mask.empty()) mask[i] = 1;
  }
};

struct Font; // canvas_text.cpp

} // namespace viewerhost::canvas

struct UikCanvasContext {
  viewerhost::canvas::RasterCanvas *canvas = nullptr;
  int32_t colorMethod = 0;
  viewerhost::canvas::Rgb foreground{};
  const viewerhost::canvas::Font *font = nullptr;
};

namespace viewerhost::canvas {

// The largest side a canvas may have; larger requests are refused rather
// than allocating gigabytes for a mistyped width.
inline constexpr int32_t kMaxCanvasSide = 16384;

// The registry's lookups: null when the handle is not a live one.
UikDisplay *liveDisplay(const UikDisplay *display);
RasterCanvas *liveCanvas(const UikCanvas *canvas);
UikCanvasContext *liveContext(const UikCanvasContext *context);

// Makes a canvas of the given size on a live display, filled with `fill`;
// null (and an error in `error`, which may be null) when the size is out of
// range or memory runs out.
RasterCanvas *makeCanvas(UikDisplay *display, int32_t width, int32_t height, Rgb fill,
                         ErrorReport *error);

// A colour record as the toolkit stores it: each channel clamped to 0..1
// and rounded to the nearest of 256 levels; NaN counts as 0.
Rgb toRgb(const UikColor &colour);

// The string extents the control API fixed for placement checks, if any.
const std::optional<StringExtents> &fixedStringExtents();

} // namespace viewerhost::canvas
