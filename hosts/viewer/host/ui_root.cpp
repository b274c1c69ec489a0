// ui_root.cpp - the toolkit root: the part every parsed script hangs under.
#include "ui_parts.h"

namespace {

UikPart makeRootPart() {
  UikPart part;
  part.kind = UikPart::Kind::Root;
  part.name = "root";
  return part;
}

} // namespace

UikRoot *uik_GetTheRoot() {
  static UikPart rootPart = makeRootPart();
  static UikRoot root{&rootPart};
  return &root;
}
