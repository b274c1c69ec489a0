// ui_parts.h - the stand-in toolkit's part tree. A parsed UI script owns
// frames, menus and popups; frames hold fields and buttons, menus and popups
// hold items. Fields show texts filled by getter script functions; buttons
// and items call script functions by name through the script's table.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "viewer_host.h"

struct UikPart {
  enum class Kind { Root, Scene, Frame, Field, Button, Menu, Popup, Item };

  Kind kind = Kind::Root;
  std::string name;  // the name the script gives it, e.g. "fogpropertiesframe"
  std::string label; // the text a user sees
  UikPart *parent = nullptr;
  std::vector<std::unique_ptr<UikPart>> children;
  UikScript *script = nullptr; // the script it came from: resolves function names

  // Fields: `function` is the getter and `valueIndex` the entry of its list
  // shown; `text` is what the field holds now.
  // Buttons and items: `function` is called with `arguments` (names of the
  // frame's fields whose texts are passed, in order).
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
  std::string fileName;                              // as found on the search path
  std::vector<std::unique_ptr<UikPart>> parts;       // top-level frames, menus, popups
  std::map<std::string, ScriptFunction> functions;   // registered script functions
};
