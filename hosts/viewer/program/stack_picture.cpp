// stack_picture.cpp - composing the layer stack from the layers' icons on a
// canvas of the stand-in toolkit and writing it out.
#include "stack_picture.h"

#include <algorithm>

#include "canvas_control.h"
#include "output_file.h"
#include "viewer_control.h"

namespace fogviewer {
namespace {

constexpr char kHiddenMark[] = "hidden";
const UikColor kHiddenColour = {0, 0.45, 0.45, 0.45};

// Labels a hidden row at its right end, centred on the row's middle line.
void markHidden(UikCanvasContext *context, int32_t rowTop) {
  ErrorReport error = nullptr;
  uik_CanvasContextSetFont(context, "stackerbold", &error);
  int32_t advance = 0, width = 0, top = 0, bottom = 0;
  uik_CanvasContextGetStringExtents(context, kHiddenMark, &advance, &width, &top, &bottom, &error);
  uik_CanvasContextSetForeground(context, &kHiddenColour, &error);
  const int32_t x = kStackWidth - advance - 10;
  const int32_t y = rowTop + kStackRowHeight / 2 - (top + bottom) / 2;
  uik_CanvasDrawText(context, kHiddenMark, x, y, &error);
}

} // namespace

bool writeStackPicture(Scene *scene, UikCanvas *stackWindow, const std::string &path,
                       std::string &error) {
  if (stackWindow == nullptr || stackWindow->display == nullptr) {
    error = "the viewer has no stack window";
    return false;
  }
  const std::vector<viewerhost::LayerStackEntry> stack = viewerhost::layerStack(scene);
  const int32_t rows = std::max<int32_t>(1, static_cast<int32_t>(stack.size()));
  UikCanvas *picture =
      viewerhost::createScreenCanvas(stackWindow->display, kStackWidth, rows * kStackRowHeight);
  if (picture == nullptr) {
    error = "the stack picture could not be made";
    return false;
  }
  ErrorReport report = nullptr;
  UikCanvasContext *context = uik_CanvasContextCreate(picture, &report);
  for (std::size_t row = 0; row < stack.size() && context != nullptr; ++row) {
    FeatureLayer *layer = stack[row].layer;
    const int32_t rowTop = static_cast<int32_t>(row) * kStackRowHeight;
    if (layer != nullptr && layer->methods != nullptr && layer->methods->stackIconGet != nullptr) {
      ErrorReport iconError = nullptr;
      UikCanvas *icon = layer->methods->stackIconGet(layer, stackWindow, kStackWidth, &iconError);
      if (iconError != nullptr) hvis_ProcessErrorReport(&iconError);
      if (const auto size = viewerhost::canvasSize(icon)) {
        ErrorReport copyError = nullptr;
        uik_CanvasCopyArea(context, icon, 0, 0, std::min(size->width, kStackWidth),
                           std::min(size->height, kStackRowHeight), 0, rowTop, &copyError);
      }
    }
    if (!stack[row].shown) markHidden(context, rowTop);
  }
  if (context != nullptr) uik_CanvasContextDelete(context, &report);

  const std::string temporary = temporaryPathFor(path);
  const bool written = viewerhost::writeCanvasPng(picture, temporary);
  uik_CanvasDelete(picture, &report);
  if (!written) {
    discardTemporary(temporary);
    error = "cannot write " + path;
    return false;
  }
  return commitTemporary(temporary, path, error);
}

} // namespace fogviewer
