// canvas_raster.cpp - the stand-in toolkit's canvases as RGB rasters: the
// registry of displays, canvases and contexts, off-screen copies, contexts
// and their colour state, bevelled rectangles, area copies and the
// button-face colour.
#include "canvas_raster.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "error_report.h"

namespace viewerhost::canvas {

namespace {

struct Registry {
  std::vector<std::unique_ptr<UikDisplay>> displays;
  std::vector<std::unique_ptr<RasterCanvas>> canvases;
  std::vector<std::unique_ptr<UikCanvasContext>> contexts;
  int32_t nextSerial = 1;
};

Registry &registry() {
  static Registry r;
  return r;
}

template <typename T, typename U>
T *findLive(const std::vector<std::unique_ptr<T>> &items, const U *handle) {
  if (handle == nullptr) return nullptr;
  for (const auto &item : items) {
    if (static_cast<const U *>(item.get()) == handle) return item.get();
  }
  return nullptr;
}

void removeContextsOf(const RasterCanvas *canvas) {
  auto &contexts = registry().contexts;
  std::erase_if(contexts, [canvas](const auto &c) { return c->canvas == canvas; });
}

// The button face of the stand-in toolkit: a light neutral grey unless a
// program or test sets another.
constexpr double kDefaultButtonFace[3] = {0.75, 0.75, 0.75};
double buttonFace[3] = {kDefaultButtonFace[0], kDefaultButtonFace[1], kDefaultButtonFace[2]};

// Which of the three bevel colours a pixel of a bevelled rectangle takes.
// Local coordinates (i, j) inside a w x h rectangle; the top and left bands
// are lit up to the diagonals through the top-right and bottom-left
// corners, the bottom and right bands are shaded.
enum class BevelShade { Light, Face, Dark };

BevelShade bevelShade(int64_t i, int64_t j, int64_t w, int64_t h, int64_t bevel) {
  const bool inTop = j < bevel && i < w - 1 - j;
  const bool inLeft = i < bevel && j < h - 1 - i;
  if (inTop || inLeft) return BevelShade::Light;
  if (j < bevel || i < bevel || w - 1 - i < bevel || h - 1 - j < bevel) return BevelShade::Dark;
  return BevelShade::Face;
}

// The toolkit's own bevel colours, used while a context's colour method is
// 0 (its default); method 1 takes the caller's colour records instead.
struct BevelColours {
  Rgb light;
  Rgb face;
  Rgb dark;
};

BevelColours toolkitBevelColours() {
  const UikColor face{0, buttonFace[0], buttonFace[1], buttonFace[2]};
  return {Rgb{255, 255, 255}, toRgb(face), Rgb{128, 128, 128}};
}

} // namespace

UikDisplay *liveDisplay(const UikDisplay *display) {
  return findLive(registry().displays, display);
}

RasterCanvas *liveCanvas(const UikCanvas *canvas) {
  return findLive(registry().canvases, canvas);
}

UikCanvasContext *liveContext(const UikCanvasContext *context) {
  return findLive(registry().contexts, context);
}

RasterCanvas *makeCanvas(UikDisplay *display, int32_t width, int32_t height, Rgb fill,
                         ErrorReport *error) {
  if (liveDisplay(display) == nullptr) {
    setError(error, "canvas: no such display");
    return nullptr;
  }
  if (width < 1 || height < 1 || width > kMaxCanvasSide || height > kMaxCanvasSide) {
    setError(error, "canvas: size " + std::to_string(width) + " x " + std::to_string(height) +
                        " is out of range");
    return nullptr;
  }
  try {
    auto canvas = std::make_unique<RasterCanvas>();
    canvas->display = display;
    canvas->width = width;
    canvas->height = height;
    canvas->pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), fill);
    RasterCanvas *result = canvas.get();
    registry().canvases.push_back(std::move(canvas));
    return result;
  } catch (const std::bad_alloc &) {
    setError(error, "canvas: out of memory");
    return nullptr;
  }
}

Rgb toRgb(const UikColor &colour) {
  auto level = [](double v) -> uint8_t {
    if (!(v > 0.0)) return 0; // also NaN
    if (v >= 1.0) return 255;
    return static_cast<uint8_t>(std::lround(v * 255.0));
  };
  return {level(colour.red), level(colour.green), level(colour.blue)};
}

} // namespace viewerhost::canvas

namespace viewerhost {

using canvas::registry;

UikDisplay *createDisplay() {
  try {
    auto display = std::make_unique<UikDisplay>();
    display->serial = registry().nextSerial++;
    UikDisplay *result = display.get();
    registry().displays.push_back(std::move(display));
    return result;
  } catch (const std::bad_alloc &) {
    return nullptr;
  }
}

void destroyDisplay(UikDisplay *display) {
  if (canvas::liveDisplay(display) == nullptr) return;
  auto &r = registry();
  for (const auto &c : r.canvases) {
    if (c->display == display) canvas::removeContextsOf(c.get());
  }
  std::erase_if(r.canvases, [display](const auto &c) { return c->display == display; });
  std::erase_if(r.displays, [display](const auto &d) { return d.get() == display; });
}

void setButtonFaceColour(double red, double green, double blue) {
  canvas::buttonFace[0] = red;
  canvas::buttonFace[1] = green;
  canvas::buttonFace[2] = blue;
}

void resetButtonFaceColour() {
  std::copy(std::begin(canvas::kDefaultButtonFace), std::end(canvas::kDefaultButtonFace),
            canvas::buttonFace);
}

std::size_t liveCanvasCount() {
  return registry().canvases.size();
}

std::size_t liveContextCount() {
  return registry().contexts.size();
}

} // namespace viewerhost

using viewerhost::setError;
using namespace viewerhost::canvas;

double *uik_ButtonFaceColorGet(ErrorReport *error) {
  auto *colour = static_cast<double *>(hmsc_HeapMalloc(3 * sizeof(double)));
  if (colour == nullptr) {
    setError(error, "uik_ButtonFaceColorGet: out of memory");
    return nullptr;
  }
  std::copy(std::begin(buttonFace), std::end(buttonFace), colour);
  return colour;
}

UikCanvas *uik_CanvasCreateOffScreenCopyVis(UikCanvas *canvas, int32_t width, int32_t height,
                                            ErrorReport *error) {
  RasterCanvas *model = liveCanvas(canvas);
  if (model == nullptr) {
    setError(error, "uik_CanvasCreateOffScreenCopyVis: no such canvas");
    return nullptr;
  }
  return makeCanvas(model->display, width, height, Rgb{255, 255, 255}, error);
}

void uik_CanvasDelete(UikCanvas *canvas, ErrorReport *error) {
  RasterCanvas *target = liveCanvas(canvas);
  if (target == nullptr) {
    setError(error, "uik_CanvasDelete: no such canvas");
    return;
  }
  removeContextsOf(target);
  std::erase_if(registry().canvases, [target](const auto &c) { return c.get() == target; });
}

UikCanvasContext *uik_CanvasContextCreate(UikCanvas *canvas, ErrorReport *error) {
  RasterCanvas *target = liveCanvas(canvas);
  if (target == nullptr) {
    setError(error, "uik_CanvasContextCreate: no such canvas");
    return nullptr;
  }
  try {
    auto context = std::make_unique<UikCanvasContext>();
    context->canvas = target;
    UikCanvasContext *result = context.get();
    registry().contexts.push_back(std::move(context));
    return result;
  } catch (const std::bad_alloc &) {
    setError(error, "uik_CanvasContextCreate: out of memory");
    return nullptr;
  }
}

void uik_CanvasContextDelete(UikCanvasContext *context, ErrorReport *error) {
  UikCanvasContext *target = liveContext(context);
  if (target == nullptr) {
    setError(error, "uik_CanvasContextDelete: no such context");
    return;
  }
  std::erase_if(registry().contexts, [target](const auto &c) { return c.get() == target; });
}

void uik_CanvasContextSetColorMethod(UikCanvasContext *context, int32_t method,
                                     ErrorReport *error) {
  UikCanvasContext *target = liveContext(context);
  if (target == nullptr) {
    setError(error, "uik_CanvasContextSetColorMethod: no such context");
    return;
  }
  if (method != 0 && method != 1) {
    setError(error, "uik_CanvasContextSetColorMethod: unknown method " + std::to_string(method));
    return;
  }
  target->colorMethod = method;
}

void uik_CanvasContextSetForeground(UikCanvasContext *context, const UikColor *color,
                                    ErrorReport *error) {
  UikCanvasContext *target = liveContext(context);
  if (target == nullptr || color == nullptr) {
    setError(error, "uik_CanvasContextSetForeground: no such context or colour");
    return;
  }
  target->foreground = toRgb(*color);
}

// flags: reserved, 0. style: 0 raised (light top and left), any other value
// sunken. The bevel is clipped to the canvas.
void uik_CanvasDrawBevelRect(UikCanvasContext *context, int32_t flags, int32_t style, int32_t x,
                             int32_t y, int32_t width, int32_t height, int32_t bevel,
                             const UikColor *light, const UikColor *face, const UikColor *dark,
                             ErrorReport *error) {
  (void)flags;
  UikCanvasContext *target = liveContext(context);
  if (target == nullptr) {
    setError(error, "uik_CanvasDrawBevelRect: no such context");
    return;
  }
  BevelColours colours = toolkitBevelColours();
  if (target->colorMethod == 1) {
    if (light == nullptr || face == nullptr || dark == nullptr) {
      setError(error, "uik_CanvasDrawBevelRect: missing colour record");
      return;
    }
    colours = {toRgb(*light), toRgb(*face), toRgb(*dark)};
  }
  if (style != 0) std::swap(colours.light, colours.dark);

  RasterCanvas &canvas = *target->canvas;
  const int64_t w = width;
  const int64_t h = height;
  const int64_t b = std::max<int32_t>(bevel, 0);
  const int64_t x0 = std::max<int64_t>(x, 0);
  const int64_t y0 = std::max<int64_t>(y, 0);
  const int64_t x1 = std::min<int64_t>(int64_t{x} + w, canvas.width);
  const int64_t y1 = std::min<int64_t>(int64_t{y} + h, canvas.height);
  for (int64_t py = y0; py < y1; ++py) {
    for (int64_t px = x0; px < x1; ++px) {
      switch (bevelShade(px - x, py - y, w, h, b)) {
        case BevelShade::Light:
          canvas.put(px, py, colours.light);
          break;
        case BevelShade::Face:
          canvas.put(px, py, colours.face);
          break;
        case BevelShade::Dark:
          canvas.put(px, py, colours.dark);
          break;
      }
    }
  }
}

// Copies the part of the source rectangle that lies inside both canvases;
// clear pixels of a masked bitmap leave the destination as it was.
void uik_CanvasCopyArea(UikCanvasContext *context, UikCanvas *source, int32_t sourceX,
                        int32_t sourceY, int32_t width, int32_t height, int32_t destinationX,
                        int32_t destinationY, ErrorReport *error) {
  UikCanvasContext *target = liveContext(context);
  RasterCanvas *from = liveCanvas(source);
  if (target == nullptr || from == nullptr) {
    setError(error, "uik_CanvasCopyArea: no such context or source canvas");
    return;
  }
  RasterCanvas &to = *target->canvas;
  // Offsets (i, j) into the rectangle that are inside both canvases.
  const int64_t dx = int64_t{destinationX} - sourceX;
  const int64_t dy = int64_t{destinationY} - sourceY;
  const int64_t i0 = std::max({int64_t{0}, -int64_t{sourceX}, -int64_t{destinationX}});
  const int64_t j0 = std::max({int64_t{0}, -int64_t{sourceY}, -int64_t{destinationY}});
  const int64_t i1 =
      std::min({int64_t{width}, int64_t{from->width} - sourceX, int64_t{to.width} - destinationX});
  const int64_t j1 = std::min(
      {int64_t{height}, int64_t{from->height} - sourceY, int64_t{to.height} - destinationY});
  if (i0 >= i1 || j0 >= j1) return;

  // A copy within one canvas may overlap itself: read everything first.
  std::vector<Rgb> pixels;
  std::vector<uint8_t> opaque;
  try {
    pixels.reserve(static_cast<size_t>((i1 - i0) * (j1 - j0)));
    opaque.reserve(pixels.capacity());
  } catch (const std::bad_alloc &) {
    setError(error, "uik_CanvasCopyArea: out of memory");
    return;
  }
  for (int64_t j = j0; j < j1; ++j) {
    for (int64_t i = i0; i < i1; ++i) {
      const size_t s = from->index(sourceX + i, sourceY + j);
      pixels.push_back(from->pixels[s]);
      opaque.push_back(from->mask.empty() ? 1 : from->mask[s]);
    }
  }
  size_t k = 0;
  for (int64_t j = j0; j < j1; ++j) {
    for (int64_t i = i0; i < i1; ++i, ++k) {
      if (opaque[k] != 0) to.put(sourceX + i + dx, sourceY + j + dy, pixels[k]);
    }
  }
}
