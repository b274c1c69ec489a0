// ui_control.h - the stand-in toolkit's control API for host programs and
// tests: where UI scripts and other resources are found, and what a user
// does with the toolkit's parts (read and type into a frame's fields, press
// its buttons, choose a menu or popup item), plus counters of what the
// plug-in asked the toolkit to do with its parts.
//
// The UI script language, as uik_ParseVa reads it (comments run from '#' to
// the end of the line; line breaks are ordinary white space):
//
//   frame <name> "<title>"
//     field <name> "<label>" [from <getter> [ "[" <index> "]" ]]
//     button <name> "<label>" calls <function> [ "(" <field>, ... ")" ]
//   end
//   menu <name> "<title>"            (or: popup <name> "<title>")
//     item "<label>" calls <function> [ "(" "<prompt>", ... ")" ]
//   end
//
// A field shows entry <index> (default 0) of the string list its getter
// returns when the frame is displayed. A button calls its function with the
// texts of the named fields, in order. An item calls its function with the
// answers the user gives to its prompts, in order. Every function named must
// be registered with the parse.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "viewer_host.h"

namespace viewerhost {

// ------------------------------------------------------------- resources

// Directories searched, in order, for UI scripts and other resource files
// (bitmaps) named without a directory. Empty: the current directory.
void setResourceSearchPath(std::vector<std::string> directories);
const std::vector<std::string> &resourceSearchPath();

// The path of a resource file: a name holding a '/' is taken as it stands;
// otherwise the first directory of the search path holding a regular file of
// that name. Empty when there is no such file.
std::string findResource(const std::string &fileName);

// ------------------------------------------------------------------ frames

// The displayed frame named `name` (a copy keeps its original's name) whose
// context is `context`; any context when `context` is null. Null when none.
UikPart *findDisplayedFrame(const std::string &name, const void *context = nullptr);

// Whether `frame` is a live frame on display now.
bool isDisplayed(const UikPart *frame);

// The object a frame's calls receive as context, and its source part.
void *frameContext(const UikPart *frame);
UikPart *frameSource(const UikPart *frame);

// A frame's fields and buttons as a user sees them, in script order; empty
// for anything that is not a live frame.
struct FieldView {
  std::string name;
  std::string label;
  std::string text;
};
struct ButtonView {
  std::string name;
  std::string label;
};
std::string frameTitle(const UikPart *frame);
std::vector<FieldView> frameFields(const UikPart *frame);
std::vector<ButtonView> frameButtons(const UikPart *frame);

// The text a field of a live frame holds; nothing when there is no such
// frame or field.
std::optional<std::string> fieldText(const UikPart *frame, const std::string &field);

// Replaces a field's text, as a user typing into it. False (nothing typed)
// unless the frame is displayed and has that field.
bool typeIntoField(UikPart *frame, const std::string &field, const std::string &text);

// Presses a button of a displayed frame: calls its function with the frame's
// context and the texts of its argument fields. False when the frame is not
// displayed or has no such button. An error the function reports is shown
// through hvis_ProcessErrorReport.
bool pressButton(UikPart *frame, const std::string &button);

// ------------------------------------------------------- menus and popups

// The context a layer's popup in the layer stack runs with: it names the
// layer, so the arrange commands act on it and findLayerByType gives it when
// its type matches. Kept for the life of the viewer; null when no stack
// holds the layer.
LayerContext *layerRowContext(FeatureLayer *layer);

// The labels of a menu's or popup's items, in order.
std::vector<std::string> itemLabels(const UikPart *menuOrPopup);

// Chooses the item labelled `label` of a live menu or popup for `context`:
// calls its function with that context and `answers` as argument strings.
// False (nothing called) when there is no such item or the number of
// answers differs from the item's prompts.
bool chooseItem(UikPart *menuOrPopup, const std::string &label, void *context,
                const std::vector<std::string> &answers = {});

// ------------------------------------------------------- frames by context

// The displayed frames whose context is `context`, oldest first: how a host
// program finds the frame a plug-in opened for one of its layers without
// knowing the frame's name.
std::vector<UikPart *> displayedFramesFor(const void *context);

// ---------------------------------------------------------------- counters

// What was asked of the parts carrying a name (originals and their copies):
// successful finds, copies made, displays, removals and copies freed.
struct PartCounts {
  int finds = 0;
  int copies = 0;
  int displays = 0;
  int removals = 0;
  int frees = 0;
};

PartCounts partCounts(const std::string &name);
void resetPartCounts();

// Copies made by uik_PartDup and not yet released with uik_PartFree.
int liveCopies();

} // namespace viewerhost
