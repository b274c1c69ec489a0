// session_writer.cpp - the session script, written through the viewer's own
// text stream so that the layers' lines land in the same file.
#include "session_writer.h"

#include <cerrno>
#include <cstring>

#include "number_text.h"
#include "output_file.h"
#include "viewer_control.h"

namespace fogviewer {

std::string terrainCommand(const Terrain &terrain) {
  std::string line = "TERRAIN ";
  if (terrain.source == Terrain::Source::HeightMap)
    line += "HEIGHTMAP \"" + terrain.heightMapPath + "\" ";
  else
    line += "PROCEDURAL ";
  for (double value : {terrain.xSize, terrain.ySize, terrain.lower, terrain.upper})
    line += numberText(value) + " ";
  return line + ";";
}

std::string viewCommand(const View &view) {
  std::string line = "VIEW ";
  for (double value : {view.x, view.y, view.z, view.heading, view.pitch})
    line += numberText(value) + " ";
  return line + std::to_string(view.width) + " " + std::to_string(view.height) + " ;";
}

bool writeSessionScript(const std::string &path, const Terrain &terrain, const View &view,
                        Scene *scene, std::string &error) {
  const std::string temporary = temporaryPathFor(path);
  ErrorReport report = nullptr;
  HfioFile *file = hfio_Open(temporary.c_str(), "w", &report);
  if (file == nullptr) {
    error = "cannot write " + path + ": " + std::strerror(errno);
    return false;
  }
  bool written = true;
  const auto line = [&](const std::string &text) {
    written = hfio_Fprintf(file, "%s\n", text.c_str()) >= 0 && written;
  };
  line("# fogviewer session: replay it with fogviewer --out <its folder> <this file>");
  line(terrainCommand(terrain));
  line(viewCommand(view));
  const std::vector<viewerhost::LayerStackEntry> stack = viewerhost::layerStack(scene);
  for (auto entry = stack.rbegin(); entry != stack.rend(); ++entry) {
    FeatureLayer *layer = entry->layer;
    if (layer == nullptr || layer->methods == nullptr ||
        layer->methods->scriptCommandWrite == nullptr)
      continue;
    layer->methods->scriptCommandWrite(layer, file);
    // The layer just added is on top of the stack.
    if (!entry->shown) line("LAYERVISIBLE 1 0 ;");
  }
  const bool closed = hfio_Close(file, &report) == 0;
  if (!written || !closed) {
    discardTemporary(temporary);
    error = "cannot write " + path + " completely";
    return false;
  }
  return commitTemporary(temporary, path, error);
}

} // namespace fogviewer
