// fog_draw.h - the Mist layer's drawing slots: the fog slab as a stack of
// translucent planes, and the tint laid over the rest of the window when the
// eye is inside the slab. Both slots draw into the host's current GL context
// and leave its state as they found it.
#pragma once

#include <cstdint>

#include "viewer_host.h"

// The most planes one layer draws in a frame. A larger count is drawn as
// this many planes, still spread from the top elevation to the bottom one.
// Along any line of sight an 8-bit colour buffer stops changing after about
// 255 blends of the same fog colour, so a deeper stack adds nothing to a
// view through the slab, and 4096 planes is more than a window has rows
// to show them edge-on; a count in the billions, which the stored double
// allows, would otherwise stall the host's drawing thread every frame.
inline constexpr int32_t kFogMaxDrawnPlanes = 4096;

// The integer part of a stored plane count, truncated toward zero and
// saturated to the int32 range; NaN gives 0.
int32_t fogLayer_truncatePlaneCount(double planeCount);

// How many planes a layer with this stored count draws: the truncated count
// limited to 0..kFogMaxDrawnPlanes.
int32_t fogLayer_planesDrawn(double planeCount);

// The draw slot. Only the layer and the viewpoint's elevation are used; the
// other arguments are the host's. A hidden layer, or one without a scene,
// returns at once without touching the scene or GL. Always returns 0.
int32_t fogLayer_draw(FeatureLayer *layer, double a, double b, double c, const ViewPoint *viewPoint,
                      double d, double e, void *f) noexcept;

// The second draw slot: the same drawing, with the same arguments.
int32_t fogLayer_secondDraw(FeatureLayer *layer, double a, double b, double c,
                            const ViewPoint *viewPoint, double d, double e, void *f) noexcept;
