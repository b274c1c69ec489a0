// stack_icon.h - the Mist layer's picture in the viewer's layer stack.
#pragma once

#include <cstdint>

#include "viewer_host.h"

// The stackIconGet slot. Returns the layer's icon: a raised strip 48 pixels
// high and `width` wide with the bitmap "fog.bmp" at its left and the
// layer's label beside it, drawn on the first call into an off-screen copy
// of `canvas` and returned unchanged (whatever the width) on every later
// call. Null, with nothing drawn, when `canvas` is null or `*error` already
// holds an error. The canvas belongs to the toolkit.
UikCanvas *fogLayer_stackIconGet(FeatureLayer *layer, UikCanvas *canvas, int32_t width,
                                 ErrorReport *error) noexcept;
