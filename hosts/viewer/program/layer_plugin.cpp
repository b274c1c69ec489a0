// layer_plugin.cpp - loading a layer plug-in and binding its exports by the
// names the viewer derives from the library name.
#include "layer_plugin.h"

#include <dlfcn.h>

#include "viewer_control.h"

namespace fogviewer {
namespace {

void *symbol(void *handle, const std::string &name, std::string &missing) {
  void *address = dlsym(handle, name.c_str());
  if (address == nullptr && missing.empty()) missing = name;
  return address;
}

} // namespace

std::optional<LayerPlugin> loadLayerPlugin(const std::string &folder,
                                           const std::string &libraryName, std::string &error) {
  LayerPlugin plugin;
  plugin.libraryName = libraryName;
  plugin.path = folder + "/" + libraryName + ".so";
  plugin.handle = dlopen(plugin.path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (plugin.handle == nullptr) {
    const char *why = dlerror();
    error = "cannot load the layer plug-in " + plugin.path + ": " + (why != nullptr ? why : "?");
    return std::nullopt;
  }
  const std::string prefix = libraryName + "vlLayer";
  std::string missing;
  auto init =
      reinterpret_cast<UikScript *(*)()>(symbol(plugin.handle, prefix + "InterfaceInit", missing));
  plugin.typeName =
      reinterpret_cast<const char *(*)()>(symbol(plugin.handle, prefix + "GetTypeName", missing));
  plugin.create =
      reinterpret_cast<FeatureLayerConstructor>(symbol(plugin.handle, prefix + "Create", missing));
  plugin.open =
      reinterpret_cast<FeatureLayerConstructor>(symbol(plugin.handle, prefix + "Open", missing));
  if (!missing.empty()) {
    error = plugin.path + " has no export " + missing;
    dlclose(plugin.handle);
    return std::nullopt;
  }
  const std::size_t shownBefore = viewerhost::errorLog().size();
  plugin.script = init();
  if (plugin.script == nullptr) {
    const std::vector<std::string> shown = viewerhost::errorLog();
    error = "the layer plug-in " + plugin.path + " could not set up its user interface";
    if (shown.size() > shownBefore) error += ": " + shown.back();
    // Its init may have registered functions with the toolkit: keep it loaded.
    return std::nullopt;
  }
  return plugin;
}

} // namespace fogviewer
