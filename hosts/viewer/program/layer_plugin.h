// layer_plugin.h - a layer plug-in loaded from its folder with dlopen, as the
// viewer loads every layer type. The viewer knows a plug-in by its library
// name (the file name without ".so", here "fog"): its exports are that name,
// "vl" and the interface name (fogvlLayerInterfaceInit, fogvlLayerCreate,
// ...), and the menu it adds to the viewer is "vl" + name + "menu" in the UI
// script its init function parses.
#pragma once

#include <optional>
#include <string>

#include "viewer_host.h"

namespace fogviewer {

struct LayerPlugin {
  std::string path;        // the library file loaded
  std::string libraryName; // "fog"
  void *handle = nullptr;  // stays loaded for the life of the program
  const char *(*typeName)() = nullptr;
  FeatureLayerConstructor create = nullptr;
  FeatureLayerConstructor open = nullptr;
  UikScript *script = nullptr; // the plug-in's parsed UI script

  std::string menuName() const { return "vl" + libraryName + "menu"; }
};

// Loads `<folder>/<libraryName>.so`, finds its exports and runs its
// interface init, which parses its UI script from the toolkit's resource
// search path. Nothing, with the reason in `error`, when the library cannot
// be loaded, lacks an export or its UI script does not parse.
std::optional<LayerPlugin> loadLayerPlugin(const std::string &folder,
                                           const std::string &libraryName, std::string &error);

} // namespace fogviewer
