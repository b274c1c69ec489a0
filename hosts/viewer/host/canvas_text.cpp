// canvas_text.cpp - text on the stand-in toolkit's canvases, with FreeType.
// The toolkit knows its fonts by name; each name maps to a TrueType file of
// the system's font packages at a fixed pixel size. Extents and drawing use
// one layout, so the extents describe exactly the pixels a drawing touches.
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <climits>
#include <cstring>
#include <functional>
#include <map>

#include "canvas_raster.h"
#include "error_report.h"

namespace viewerhost::canvas {

struct Font {
  std::string name;
  FT_Face face = nullptr;
};

namespace {

struct FontSpec {
  const char *name;
  const char *file;
  int pixelSize;
};

// "stackerbold": the bold sans face of the layer stack's labels.
constexpr FontSpec kFonts[] = {
    {"stackerbold", "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf", 14},
};

// The FreeType library and the faces opened so far; released at exit.
struct FontCache {
  FT_Library library = nullptr;
  bool libraryFailed = false;
  std::map<std::string, std::unique_ptr<Font>> fonts;

  ~FontCache() {
    for (auto &entry : fonts) FT_Done_Face(entry.second->face);
    if (library != nullptr) FT_Done_FreeType(library);
  }
};

FontCache &fontCache() {
  static FontCache cache;
  return cache;
}

// The font of that name, opened on first use; null for an unknown name or a
// font file that cannot be opened, with the reason in `why`.
const Font *openFont(const char *name, std::string &why) {
  FontCache &cache = fontCache();
  if (auto found = cache.fonts.find(name); found != cache.fonts.end()) return found->second.get();
  const FontSpec *spec = nullptr;
  for (const FontSpec &s : kFonts) {
    if (std::strcmp(s.name, name) == 0) spec = &s;
  }
  if (spec == nullptr) {
    why = std::string("unknown font \"") + name + "\"";
    return nullptr;
  }
  if (cache.library == nullptr) {
    if (cache.libraryFailed || FT_Init_FreeType(&cache.library) != 0) {
      cache.libraryFailed = true;
      cache.library = nullptr;
      why = "FreeType cannot start";
      return nullptr;
    }
  }
  FT_Face face = nullptr;
  if (FT_New_Face(cache.library, spec->file, 0, &face) != 0) {
    why = std::string("cannot open font file ") + spec->file;
    return nullptr;
  }
  if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(spec->pixelSize)) != 0) {
    FT_Done_Face(face);
    why = std::string("cannot size font ") + spec->file;
    return nullptr;
  }
  auto font = std::make_unique<Font>();
  font->name = spec->name;
  font->face = face;
  const Font *result = font.get();
  cache.fonts.emplace(name, std::move(font));
  return result;
}

// The next code point of UTF-8 text; a malformed byte stands for itself as
// U+FFFD so that no name makes the layout stop early.
char32_t nextCodePoint(const unsigned char *&p) {
  const unsigned char lead = *p++;
  if (lead < 0x80) return lead;
  int extra = 0;
  char32_t code = 0;
  if ((lead & 0xE0) == 0xC0) {
    extra = 1;
    code = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2;
    code = lead & 0x0F;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3;
    code = lead & 0x07;
  } else {
    return 0xFFFD;
  }
  for (int k = 0; k < extra; ++k) {
    if ((*p & 0xC0) != 0x80) return 0xFFFD; // also stops at the terminator
    code = (code << 6) | (*p++ & 0x3F);
  }
  return code;
}

// A rendered glyph's coverage bitmap with its top-left corner relative to
// the base point of the text.
struct PlacedGlyph {
  const FT_Bitmap *bitmap;
  int64_t left;
  int64_t top;
};

// Lays the text out from base point (0, 0) and hands each glyph that has
// ink to `visit`; returns the pen's advance in pixels.
int64_t layOut(const Font &font, const char *text,
               const std::function<void(const PlacedGlyph &)> &visit) {
  FT_Face face = font.face;
  const bool kerning = FT_HAS_KERNING(face);
  int64_t pen = 0;
  FT_UInt previous = 0;
  const auto *p = reinterpret_cast<const unsigned char *>(text);
  while (*p != 0) {
    const FT_UInt glyph = FT_Get_Char_Index(face, nextCodePoint(p));
    if (kerning && previous != 0 && glyph != 0) {
      FT_Vector delta{};
      if (FT_Get_Kerning(face, previous, glyph, FT_KERNING_DEFAULT, &delta) == 0) {
        pen += delta.x >> 6;
      }
    }
    if (FT_Load_Glyph(face, glyph, FT_LOAD_RENDER) != 0) continue;
    const FT_GlyphSlot slot = face->glyph;
    if (slot->bitmap.width > 0 && slot->bitmap.rows > 0 && slot->bitmap.pitch > 0 &&
        slot->bitmap.pixel_mode == FT_PIXEL_MODE_GRAY) {
      visit(PlacedGlyph{&slot->bitmap, pen + slot->bitmap_left, -int64_t{slot->bitmap_top}});
    }
    pen += (slot->advance.x + 32) >> 6;
    previous = glyph;
  }
  return pen;
}

int32_t clampToInt32(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

StringExtents measure(const Font &font, const char *text) {
  bool ink = false;
  int64_t left = 0, right = 0, top = 0, bottom = 0;
  const int64_t advance = layOut(font, text, [&](const PlacedGlyph &g) {
    const int64_t r = g.left + g.bitmap->width;
    const int64_t b = g.top + g.bitmap->rows;
    if (!ink) {
      left = g.left;
      right = r;
      top = g.top;
      bottom = b;
      ink = true;
      return;
    }
    left = std::min(left, g.left);
    right = std::max(right, r);
    top = std::min(top, g.top);
    bottom = std::max(bottom, b);
  });
  return {clampToInt32(advance), clampToInt32(right - left), clampToInt32(top),
          clampToInt32(bottom)};
}

// Blends one coverage value of the foreground over a pixel.
uint8_t blend(uint8_t under, uint8_t over, unsigned coverage) {
  return static_cast<uint8_t>((under * (255u - coverage) + over * coverage + 127u) / 255u);
}

} // namespace

} // namespace viewerhost::canvas

using viewerhost::setError;
using namespace viewerhost::canvas;
using viewerhost::CanvasPixel;
using viewerhost::DrawnText;
using viewerhost::StringExtents;

void uik_CanvasContextSetFont(UikCanvasContext *context, const char *fontName, ErrorReport *error) {
  UikCanvasContext *target = liveContext(context);
  if (target == nullptr || fontName == nullptr) {
    setError(error, "uik_CanvasContextSetFont: no such context or font name");
    return;
  }
  std::string why;
  const Font *font = openFont(fontName, why);
  if (font == nullptr) {
    setError(error, "uik_CanvasContextSetFont: " + why);
    return;
  }
  target->font = font;
}

void uik_CanvasContextGetStringExtents(UikCanvasContext *context, const char *text,
                                       int32_t *advance, int32_t *width, int32_t *top,
                                       int32_t *bottom, ErrorReport *error) {
  StringExtents extents;
  UikCanvasContext *target = liveContext(context);
  if (target == nullptr || text == nullptr) {
    setError(error, "uik_CanvasContextGetStringExtents: no such context or text");
  } else if (fixedStringExtents()) {
    extents = *fixedStringExtents();
  } else if (target->font == nullptr) {
    setError(error, "uik_CanvasContextGetStringExtents: the context has no font");
  } else {
    extents = measure(*target->font, text);
  }
  // The outputs are always written, so a caller never reads stale values.
  if (advance != nullptr) *advance = extents.advance;
  if (width != nullptr) *width = extents.width;
  if (top != nullptr) *top = extents.top;
  if (bottom != nullptr) *bottom = extents.bottom;
}

void uik_CanvasDrawText(UikCanvasContext *context, const char *text, int32_t x, int32_t y,
                        ErrorReport *error) {
  UikCanvasContext *target = liveContext(context);
  if (target == nullptr || text == nullptr) {
    setError(error, "uik_CanvasDrawText: no such context or text");
    return;
  }
  if (target->font == nullptr) {
    setError(error, "uik_CanvasDrawText: the context has no font");
    return;
  }
  RasterCanvas &canvas = *target->canvas;
  const Rgb ink = target->foreground;
  try {
    canvas.texts.push_back(
        DrawnText{text, x, y, target->font->name, CanvasPixel{ink.red, ink.green, ink.blue}});
  } catch (const std::bad_alloc &) {
    setError(error, "uik_CanvasDrawText: out of memory");
    return;
  }
  layOut(*target->font, text, [&](const PlacedGlyph &g) {
    for (unsigned row = 0; row < g.bitmap->rows; ++row) {
      const unsigned char *coverage =
          g.bitmap->buffer + static_cast<ptrdiff_t>(row) * g.bitmap->pitch;
      for (unsigned col = 0; col < g.bitmap->width; ++col) {
        const int64_t px = int64_t{x} + g.left + col;
        const int64_t py = int64_t{y} + g.top + row;
        if (coverage[col] == 0 || !canvas.contains(px, py)) continue;
        const Rgb under = canvas.pixels[canvas.index(px, py)];
        canvas.put(px, py,
                   Rgb{blend(under.red, ink.red, coverage[col]),
                       blend(under.green, ink.green, coverage[col]),
                       blend(under.blue, ink.blue, coverage[col])});
      }
    }
  });
}
