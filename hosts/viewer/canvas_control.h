// canvas_control.h - the stand-in viewer's control API for canvases, for
// host programs and tests.
//
// A program makes a display and a screen canvas on it (the canvas the layer
// stack is drawn on), hands the canvas to a layer's stackIconGet slot, and
// then reads or saves what the layer drew. Canvases are RGB rasters with 8
// bits per channel; pixel (0, 0) is the top left corner.
//
// Every canvas a display holds, screen or off-screen, is released with the
// display. The toolkit's canvas operations themselves are in viewer_host.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "viewer_host.h"

namespace viewerhost {

// A new display. Destroy it with destroyDisplay.
UikDisplay *createDisplay();

// Releases a display with every canvas and context made on it. A null or
// unknown display is ignored.
void destroyDisplay(UikDisplay *display);

// A new screen canvas of width x height pixels on the display, filled with
// the toolkit's window background (white). Null when the display is not
// live or a side is below 1 or above 16384.
UikCanvas *createScreenCanvas(UikDisplay *display, int32_t width, int32_t height);

struct CanvasPixel {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
  bool operator==(const CanvasPixel &) const = default;
};

struct CanvasSize {
  int32_t width = 0;
  int32_t height = 0;
  bool operator==(const CanvasSize &) const = default;
};

// The size of a live canvas; nothing for a null, deleted or unknown one.
std::optional<CanvasSize> canvasSize(const UikCanvas *canvas);

// One pixel; nothing when the canvas is not live or (x, y) lies outside it.
std::optional<CanvasPixel> canvasPixel(const UikCanvas *canvas, int32_t x, int32_t y);

// Whether the pixel is opaque: false only for the clear pixels of a bitmap
// read from an XPM file with the colour "None".
std::optional<bool> canvasPixelOpaque(const UikCanvas *canvas, int32_t x, int32_t y);

// Writes the canvas as an RGB PNG file; false when the canvas is not live or
// the file could not be written completely.
bool writeCanvasPng(const UikCanvas *canvas, const std::string &path);

// The toolkit's button-face colour, as uik_ButtonFaceColorGet hands it out
// and as bevels in the toolkit's own colours use it; (0.75, 0.75, 0.75)
// until set. Lets a test tell a face fetched from the toolkit from one made
// up by its caller.
void setButtonFaceColour(double red, double green, double blue);
void resetButtonFaceColour();

// Live canvases and contexts over all displays: lets a test see that a
// drawing routine deleted what it made.
std::size_t liveCanvasCount();
std::size_t liveContextCount();

// What uik_CanvasContextGetStringExtents reports: the advance of the pen,
// the width of the ink, and the ink's top (negative above the base point)
// and bottom (positive below it), in pixels.
struct StringExtents {
  int32_t advance = 0;
  int32_t width = 0;
  int32_t top = 0;
  int32_t bottom = 0;
};

// While set, every string has these extents whatever its text and font, so
// that a test can check placement arithmetic against chosen values. Text is
// still drawn with the real font. Reset with std::nullopt.
void setFixedStringExtents(std::optional<StringExtents> extents);

// One call of uik_CanvasDrawText as the canvas recorded it.
struct DrawnText {
  std::string text;
  int32_t x = 0;
  int32_t y = 0;
  std::string font; // the context's font name at the time
  CanvasPixel colour;
};

// The texts drawn on a live canvas, oldest first; empty for any other.
std::vector<DrawnText> drawnTexts(const UikCanvas *canvas);

} // namespace viewerhost
