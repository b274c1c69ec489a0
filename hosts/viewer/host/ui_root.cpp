// ui_root.cpp - the toolkit root: the part every parsed script hangs under.
#include "ui_parts.h"

UikRoot *uik_GetTheRoot() {
  static UikPart rootPart{.kind = UikPart::Kind::Root, .name = "root"};
  static UikRoot root{&rootPart};
  return &root;
}
