// png_write.h - writes 8-bit pictures as PNG files, for the stand-in hosts'
// programs and for tests that leave a picture behind for a person to look at.
//
// Pixels are given row by row from the top, without padding between rows:
// 3 bytes per pixel (red, green, blue) for pngWriteRgb, 4 (red, green, blue,
// alpha) for pngWriteRgba. Both return true only when the whole file was
// written and closed; on false a partly written file may be left behind.
// Width and height must be 1 or more; a null path or pixel pointer gives false.
#pragma once

#include <cstdint>

bool pngWriteRgb(const char *path, int32_t width, int32_t height, const uint8_t *pixels);
bool pngWriteRgba(const char *path, int32_t width, int32_t height, const uint8_t *pixels);
