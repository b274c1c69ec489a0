// session_writer.h - writes the viewer's session as a command script that
// rebuilds it: the terrain, the view, then every layer of the stack from the
// bottom up, each by the command line its own scriptCommandWrite slot
// writes, followed by a LAYERVISIBLE line when its row is hidden. Layers'
// values live in their own files; the script only names them.
#pragma once

#include <string>

#include "terrain.h"
#include "view.h"
#include "viewer_host.h"

namespace fogviewer {

// False, with the reason in `error`, when the file could not be written
// completely; an earlier file of that name is then left as it was.
bool writeSessionScript(const std::string &path, const Terrain &terrain, const View &view,
                        Scene *scene, std::string &error);

// The TERRAIN and VIEW command lines, as the session script holds them.
std::string terrainCommand(const Terrain &terrain);
std::string viewCommand(const View &view);

} // namespace fogviewer
