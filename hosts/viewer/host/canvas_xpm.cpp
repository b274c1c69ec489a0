// canvas_xpm.cpp - reads XPM pictures into canvases with libXpm, without an
// X display: the file is found on the toolkit's resource search path, parsed
// from memory into an XpmImage, and its colours are resolved here (hex
// values, "None" for clear pixels and a few common names).
#include <X11/xpm.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <fstream>
#include <iterator>

#include "canvas_raster.h"
#include "error_report.h"
#include "ui_control.h"

namespace viewerhost::canvas {

namespace {

// Bitmaps are small pictures; a larger file is refused before it is read.
constexpr std::streamsize kMaxXpmFileBytes = 16 * 1024 * 1024;

// A colour of the XPM colour table; nothing for "None".
struct XpmColour {
  bool clear = false;
  Rgb rgb;
};

bool equalsIgnoringCase(const std::string &a, const char *b) {
  const size_t n = std::strlen(b);
  if (a.size() != n) return false;
  for (size_t i = 0; i < n; ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// "#rgb", "#rrggbb", "#rrrgggbbb" or "#rrrrggggbbbb": the top 8 bits of
// each channel (a single digit is repeated, as X does).
std::optional<Rgb> parseHex(const std::string &text) {
  const size_t digits = text.size() - 1;
  if (digits == 0 || digits % 3 != 0 || digits > 12) return std::nullopt;
  const size_t each = digits / 3;
  uint8_t channel[3];
  for (size_t c = 0; c < 3; ++c) {
    unsigned value = 0;
    for (size_t k = 0; k < each; ++k) {
      const int d = hexDigit(text[1 + c * each + k]);
      if (d < 0) return std::nullopt;
      value = value * 16 + static_cast<unsigned>(d);
    }
    if (each == 1)
      value *= 17;
    else
      value >>= 4 * (each - 2);
    channel[c] = static_cast<uint8_t>(value);
  }
  return Rgb{channel[0], channel[1], channel[2]};
}

// Names a hand-made XPM is likely to use; "grayNN"/"greyNN" for NN from 0
// to 100 percent.
std::optional<Rgb> parseName(const std::string &text) {
  struct Named {
    const char *name;
    Rgb rgb;
  };
  static constexpr Named kNames[] = {
      {"black", {0, 0, 0}},      {"white", {255, 255, 255}}, {"red", {255, 0, 0}},
      {"green", {0, 255, 0}},    {"blue", {0, 0, 255}},      {"yellow", {255, 255, 0}},
      {"cyan", {0, 255, 255}},   {"magenta", {255, 0, 255}}, {"gray", {190, 190, 190}},
      {"grey", {190, 190, 190}},
  };
  for (const Named &n : kNames) {
    if (equalsIgnoringCase(text, n.name)) return n.rgb;
  }
  if (text.size() > 4 && (equalsIgnoringCase(text.substr(0, 4), "gray") ||
                          equalsIgnoringCase(text.substr(0, 4), "grey"))) {
    const std::string digits = text.substr(4);
    if (digits.size() > 3 ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
      return std::nullopt;
    const int percent = std::stoi(digits);
    if (percent > 100) return std::nullopt;
    const auto level = static_cast<uint8_t>((percent * 255 + 50) / 100);
    return Rgb{level, level, level};
  }
  return std::nullopt;
}

// The colour an XPM colour entry gives on a colour display: the "c" key,
// else the grey and mono keys in turn.
std::optional<XpmColour> resolveColour(const XpmColor &entry) {
  const char *spec = entry.c_color;
  if (spec == nullptr) spec = entry.g_color;
  if (spec == nullptr) spec = entry.g4_color;
  if (spec == nullptr) spec = entry.m_color;
  if (spec == nullptr) return std::nullopt;
  const std::string text(spec);
  if (equalsIgnoringCase(text, "none")) return XpmColour{true, {}};
  const std::optional<Rgb> rgb = !text.empty() && text[0] == '#' ? parseHex(text) : parseName(text);
  if (!rgb) return std::nullopt;
  return XpmColour{false, *rgb};
}

bool readWholeFile(const std::string &path, std::string &contents) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  in.seekg(0, std::ios::end);
  const std::streamsize size = in.tellg();
  if (size < 0 || size > kMaxXpmFileBytes) return false;
  in.seekg(0, std::ios::beg);
  contents.assign(static_cast<size_t>(size), '\0');
  return static_cast<bool>(in.read(contents.data(), size));
}

// Owns what libXpm allocated for one parse.
struct ParsedXpm {
  XpmImage image{};
  XpmInfo info{};
  bool parsed = false;
  ~ParsedXpm() {
    if (parsed) {
      XpmFreeXpmImage(&image);
      XpmFreeXpmInfo(&info);
    }
  }
};

// The picture as a canvas on `display`; null with an error otherwise.
RasterCanvas *readXpm(UikDisplay *display, const char *fileName, int32_t &hotX, int32_t &hotY,
                      ErrorReport *error) {
  const std::string what = std::string("uik_CanvasReadXpmFile: ") + fileName + ": ";
  const std::string path = findResource(fileName);
  std::string contents;
  if (path.empty() || !readWholeFile(path, contents)) {
    setError(error, what + "cannot read the file");
    return nullptr;
  }
  // Reading from memory also keeps libXpm from running a decompressor for
  // names ending in .Z or .gz.
  ParsedXpm xpm;
  const int status = XpmCreateXpmImageFromBuffer(contents.data(), &xpm.image, &xpm.info);
  if (status < 0) {
    setError(error, what + "not a valid XPM picture (" + XpmGetErrorString(status) + ")");
    return nullptr;
  }
  xpm.parsed = true;

  const XpmImage &image = xpm.image;
  if (image.width < 1 || image.height < 1 || image.width > kMaxCanvasSide ||
      image.height > kMaxCanvasSide || image.ncolors < 1) {
    setError(error, what + "picture size out of range");
    return nullptr;
  }
  std::vector<XpmColour> colours;
  colours.reserve(image.ncolors);
  for (unsigned c = 0; c < image.ncolors; ++c) {
    const std::optional<XpmColour> colour = resolveColour(image.colorTable[c]);
    if (!colour) {
      setError(error, what + "colour " + std::to_string(c + 1) + " is not one the toolkit knows");
      return nullptr;
    }
    colours.push_back(*colour);
  }

  const auto width = static_cast<int32_t>(image.width);
  const auto height = static_cast<int32_t>(image.height);
  const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
  for (size_t i = 0; i < count; ++i) {
    if (image.data[i] >= image.ncolors) {
      setError(error, what + "pixel refers to a missing colour");
      return nullptr;
    }
  }
  RasterCanvas *canvas = makeCanvas(display, width, height, Rgb{}, error);
  if (canvas == nullptr) return nullptr;
  const bool anyClear =
      std::any_of(colours.begin(), colours.end(), [](const XpmColour &c) { return c.clear; });
  if (anyClear) {
    try {
      canvas->mask.assign(count, 1);
    } catch (...) {
      uik_CanvasDelete(canvas, nullptr);
      throw;
    }
  }
  for (size_t i = 0; i < count; ++i) {
    const XpmColour &colour = colours[image.data[i]];
    canvas->pixels[i] = colour.rgb;
    if (colour.clear) canvas->mask[i] = 0;
  }
  if ((xpm.info.valuemask & XpmHotspot) != 0) {
    hotX = static_cast<int32_t>(xpm.info.x_hotspot);
    hotY = static_cast<int32_t>(xpm.info.y_hotspot);
  }
  return canvas;
}

} // namespace

} // namespace viewerhost::canvas

using namespace viewerhost::canvas;

UikCanvas *uik_CanvasReadXpmFile(UikDisplay *display, const char *fileName, int32_t *width,
                                 int32_t *height, int32_t *extra1, int32_t *extra2,
                                 ErrorReport *error) {
  // The outputs are written on every path, so a caller never reads stale
  // sizes after a failed read.
  int32_t hotX = -1;
  int32_t hotY = -1;
  RasterCanvas *canvas = nullptr;
  if (liveDisplay(display) == nullptr || fileName == nullptr) {
    viewerhost::setError(error, "uik_CanvasReadXpmFile: no such display or file name");
  } else {
    try {
      canvas = readXpm(display, fileName, hotX, hotY, error);
    } catch (const std::exception &e) {
      viewerhost::setError(error, std::string("uik_CanvasReadXpmFile: ") + e.what());
      canvas = nullptr;
    }
  }
  if (width != nullptr) *width = canvas != nullptr ? canvas->width : 0;
  if (height != nullptr) *height = canvas != nullptr ? canvas->height : 0;
  if (extra1 != nullptr) *extra1 = hotX;
  if (extra2 != nullptr) *extra2 = hotY;
  return canvas;
}
