// viewer_session.h - one session of the viewer: a scene with its terrain and
// view, the layer stack, the stack window, and the commands of the viewer's
// command language run against them.
//
// Commands (a <layer> is a position in the stack, 1 for the top, or the
// layer's label in double quotes):
//   TERRAIN PROCEDURAL [<x size> <y size> <lower> <upper>] ;
//   TERRAIN HEIGHTMAP "<png>" <x size> <y size> <lower> <upper> ;
//   VIEW <x> <y> <z> <heading> <pitch> <width> <height> ;
//   ADDFEATURELAYER "<type>" "<file>" ["<argument>" ...] ;
//   MENU "<item>" ["<answer>" ...] ;
//   POPUP <layer> "<item>" ["<answer>" ...] ;
//   FIELD <layer> "<field>" "<text>" ;
//   PRESS <layer> "<button>" ;
//   LAYERVISIBLE <layer> 0|1 ;
//   SAVE <layer> ;
//   RENDER "<png>" ;
//   STACK "<png>" ;
//   WRITESESSION "<script>" ;
#pragma once

#include <string>
#include <vector>

#include "command_script.h"
#include "layer_plugin.h"
#include "scene_renderer.h"
#include "terrain.h"
#include "view.h"

namespace fogviewer {

// The terrain a session starts with.
constexpr TerrainSize kDefaultTerrain = {4000.0, 4000.0, 100.0, 900.0};

// The help text of the command language.
extern const char kCommandHelp[];

class ViewerSession {
 public:
  // `outputLabel` is how the folder files are written to is shown in the
  // lines that name each file written.
  ViewerSession(const LayerPlugin &plugin, std::string outputLabel);
  // Closes every layer (a changed layer asks whether to save it) and the
  // scene.
  ~ViewerSession();
  ViewerSession(const ViewerSession &) = delete;
  ViewerSession &operator=(const ViewerSession &) = delete;

  // Runs the commands in order. At the first that fails, prints
  // "<scriptName>:<line>: <command>: <what went wrong>" and gives false;
  // what earlier commands wrote stays as it is.
  bool run(const std::string &scriptName, const std::vector<Command> &commands);

  // Whether the session could be set up (a scene and a stack window).
  bool ready() const { return scene_ != nullptr && stackWindow_ != nullptr; }

 private:
  struct Spec;
  static const Spec kSpecs[];

  bool execute(const Command &command, std::string &error);

  bool terrainCommand(const Command &command, std::string &error);
  bool viewCommand(const Command &command, std::string &error);
  bool addLayerCommand(const Command &command, std::string &error);
  bool menuCommand(const Command &command, std::string &error);
  bool popupCommand(const Command &command, std::string &error);
  bool fieldCommand(const Command &command, std::string &error);
  bool pressCommand(const Command &command, std::string &error);
  bool layerVisibleCommand(const Command &command, std::string &error);
  bool saveCommand(const Command &command, std::string &error);
  bool renderCommand(const Command &command, std::string &error);
  bool stackCommand(const Command &command, std::string &error);
  bool writeSessionCommand(const Command &command, std::string &error);

  void setTerrain(Terrain terrain);
  FeatureLayer *layerNamed(const Token &token, std::string &error);
  void reportWritten(const std::string &path) const;

  const LayerPlugin &plugin_;
  std::string outputLabel_;
  Scene *scene_ = nullptr;
  UikDisplay *display_ = nullptr;
  UikCanvas *stackWindow_ = nullptr;
  Terrain terrain_;
  View view_;
  SceneRenderer renderer_;
};

} // namespace fogviewer
