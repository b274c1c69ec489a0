// ui_parts.h - the stand-in toolkit's part tree. A parsed UI script owns
// frames, menus and popups; frames hold fields and buttons, menus and popups
// hold items. Fields show texts filled by getter script functions; buttons
// and items call script functions by name through the script's table.
//
// Every part a caller may hold (a script's top-level part, a copy, an
// extracted menu) is a handle the toolkit knows; operations check handles
// before using them, so a stale or foreign pointer gives an error report
// instead of a crash.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ui_control.h"
#include "viewer_host.h"

struct UikPart {
  enum class Kind { Root, Scene, Frame, Field, Button, Menu, Popup, Item };

  Kind kind = Kind::Root;
  std::string name;  // the name the script gives it, e.g. "fogpropertiesframe"
  std::string label; // the text a user sees
  UikPart *parent = nullptr;
  std::vector<std::unique_ptr<UikPart>> children;
  UikScript *script = nullptr; // the script it came from: resolves function names
  int line = 0;                // where the script defines it

  // Fields: `function` is the getter and `valueIndex` the entry of its list
  // shown; `text` is what the field holds now.
  // Buttons: `function` is called with the texts of the fields `arguments`
  // names, in order. Items: `arguments` are the prompts whose answers are
  // passed.
  std::string function;
  std::vector<std::string> arguments;
  int valueIndex = 0;
  std::string text;

  // Frames: set by uik_FrameSourceSet / uik_FrameContextSet / display.
  UikPart *source = nullptr;
  void *context = nullptr;
  bool displayed = false;
  int displayCount = 0;
};

struct UikScript {
  std::string fileName;                            // as found on the search path
  UikPart *parent = nullptr;                       // the part it was parsed under
  std::vector<std::unique_ptr<UikPart>> parts;     // top-level frames, menus, popups
  std::map<std::string, ScriptFunction> functions; // registered script functions
};

namespace viewerhost::ui {

// Keeps a parsed script until the toolkit ends and makes its top-level
// parts known handles.
UikScript *adoptScript(std::unique_ptr<UikScript> script);

// Whether `part` is a handle the toolkit handed out and still holds.
bool isLivePart(const UikPart *part);

// All live handles, oldest first.
const std::vector<UikPart *> &liveParts();

// A deep copy of `part`: same names, texts, functions and script; not on
// display. Its parent is `parent`.
std::unique_ptr<UikPart> clonePart(const UikPart &part, UikPart *parent);

// The direct child of `part` of that kind and name, or null.
UikPart *childNamed(const UikPart *part, UikPart::Kind kind, const std::string &name);

// Calls the script function `function` of the script `caller` came from,
// with `context` and `arguments`. An error the function leaves is shown
// through hvis_ProcessErrorReport. Returns the function's list (the caller
// releases it with hstr_StringListFree), or null.
HstrStringList *callScriptFunction(UikPart *caller, const std::string &function, void *context,
                                   const std::vector<std::string> &arguments);

// The counters kept for parts carrying `name`.
PartCounts &countsFor(const std::string &name);
void resetCounts();

// Whether `script` is a script the toolkit parsed and keeps.
bool isKnownScript(const UikScript *script);

// Registers a copy handed to a caller, and releases it (false when `copy` is
// not such a copy). Menus extracted from a released copy are released too.
UikPart *adoptCopy(std::unique_ptr<UikPart> copy);
bool releaseCopy(UikPart *copy);
int copyCount();

// The toolkit-owned copy of `menu` for use under `parent`, made on the first
// request for that pair.
UikPart *extractMenu(const UikPart &menu, UikPart *parent);

} // namespace viewerhost::ui
