// stack_picture.h - the layer stack as the viewer shows it: one row per
// layer, top of the stack first, each row the icon the layer draws through
// its stackIconGet slot, written as a PNG file.
#pragma once

#include <string>

#include "viewer_host.h"

namespace fogviewer {

// Width of the stack window, and so of every row's icon.
constexpr int32_t kStackWidth = 260;
// Height of one row: the height of a layer's icon.
constexpr int32_t kStackRowHeight = 48;

// Draws the stack of `scene` and writes it to `path`. `stackWindow` is the
// window canvas the icons are made for; a layer keeps its icon once drawn.
// A shown row is its icon; a hidden row is the icon marked "hidden"; a layer
// that gives no icon leaves its row white. An empty stack gives one white
// row. False, with the reason in `error`, when the picture could not be
// made or written.
bool writeStackPicture(Scene *scene, UikCanvas *stackWindow, const std::string &path,
                       std::string &error);

} // namespace fogviewer
