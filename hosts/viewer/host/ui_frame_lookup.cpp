// ui_frame_lookup.cpp - finding the displayed frames of one context, for
// host programs that act on a layer's frame by the layer alone.
#include "ui_control.h"
#include "ui_parts.h"

namespace viewerhost {

std::vector<UikPart *> displayedFramesFor(const void *context) {
  std::vector<UikPart *> frames;
  if (context == nullptr) return frames;
  for (UikPart *part : ui::liveParts())
    if (part->kind == UikPart::Kind::Frame && part->displayed && part->context == context)
      frames.push_back(part);
  return frames;
}

} // namespace viewerhost
