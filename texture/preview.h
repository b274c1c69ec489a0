// preview.h - the picture of the fog texture that the host's material editor
// shows.
//
// dlmTextureDisplay renders the module's default parameters at animation time
// 0 over u and v from 0 to 0.5, by calling dlmTextureProcedure once per pixel
// with a sample addressed by u and v, into a buffer the host supplies. Each
// row is planar: the red bytes of its pixels, then the green, then the blue.
// The same export answers the host's question about the preferred size.
#ifndef FOG_TEXTURE_PREVIEW_H
#define FOG_TEXTURE_PREVIEW_H

#include <cstdint>

#include "entry_points.h"

// Result of a picture stopped before its last pixel.
inline constexpr int32_t PREVIEW_ABORTED = 0x8000;

using PreviewAbortTest = int32_t (*)(void);

// image null: writes the preferred width and height into `size` (when given)
// and returns 0. Otherwise draws a picture of size[0] x size[1] pixels
// (non-positive or missing sizes take the defaults, 256 x 256) into `image`,
// which must hold 3 x width x height bytes, calling `abortTest` (when given)
// before every pixel. Returns 0 for a complete picture and PREVIEW_ABORTED
// when the abort test stopped it or the preview could not be prepared; the
// bytes from the stopping pixel on are left untouched.
FOG_TEXTURE_EXPORT int32_t dlmTextureDisplay(uint8_t *image, int32_t *size,
                                             PreviewAbortTest abortTest);

// A colour component as a byte: 255 above 255, 0 below 0 or for a value that
// is not a number, else the value truncated toward zero.
uint8_t previewByte(float component);

#endif
