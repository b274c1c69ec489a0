// main.cpp - fogviewer, the stand-in scene viewer as a program: reads its
// options, loads the Mist layer plug-in, and runs the command scripts it is
// given (or its built-in demo session) in one session, in the --out folder.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "command_script.h"
#include "demo_session.h"
#include "layer_plugin.h"
#include "questions.h"
#include "ui_control.h"
#include "viewer_session.h"

namespace {

namespace fs = std::filesystem;

struct Options {
  std::vector<std::string> scripts;
  std::string out = ".";
  std::string pluginDir;
  bool earlier = false;
  bool yes = false;
  bool no = false;
  bool printDemo = false;
};

struct LoadedScript {
  std::string name; // as given, for messages
  std::vector<fogviewer::Command> commands;
};

// Reads and parses every script before anything runs, so that a script
// with a typing error changes nothing at all.
bool loadScripts(const Options &options, std::vector<LoadedScript> &loaded) {
  if (options.scripts.empty()) {
    LoadedScript demo{fogviewer::kDemoSessionName, {}};
    fogviewer::ScriptError error;
    if (!fogviewer::parseScript(fogviewer::kDemoSession, demo.commands, error)) {
      std::fprintf(stderr, "fogviewer: %s:%d: %s\n", demo.name.c_str(), error.line,
                   error.message.c_str());
      return false;
    }
    loaded.push_back(std::move(demo));
    return true;
  }
  for (const std::string &name : options.scripts) {
    std::ifstream in(name, std::ios::binary);
    if (!in) {
      std::fprintf(stderr, "fogviewer: cannot read the script %s\n", name.c_str());
      return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    LoadedScript script{name, {}};
    fogviewer::ScriptError error;
    if (!fogviewer::parseScript(text.str(), script.commands, error)) {
      std::fprintf(stderr, "fogviewer: %s:%d: %s\n", name.c_str(), error.line,
                   error.message.c_str());
      return false;
    }
    loaded.push_back(std::move(script));
  }
  return true;
}

int run(const Options &options) {
  if (options.printDemo) {
    std::fputs(fogviewer::kDemoSession, stdout);
    return 0;
  }
  std::vector<LoadedScript> scripts;
  if (!loadScripts(options, scripts)) return 1;

  // Paths given on the command line are the caller's; the session works in
  // the --out folder.
  std::string pluginDir = options.pluginDir;
  if (pluginDir.empty())
    pluginDir = options.earlier ? FOGVIEWER_EARLIER_PLUGIN_DIR : FOGVIEWER_PLUGIN_DIR;
  std::error_code failure;
  const fs::path pluginFolder = fs::absolute(pluginDir, failure);
  fs::create_directories(options.out, failure);
  if (failure) {
    std::fprintf(stderr, "fogviewer: cannot make the folder %s: %s\n", options.out.c_str(),
                 failure.message().c_str());
    return 1;
  }
  fs::current_path(options.out, failure);
  if (failure) {
    std::fprintf(stderr, "fogviewer: cannot work in %s: %s\n", options.out.c_str(),
                 failure.message().c_str());
    return 1;
  }

  viewerhost::setResourceSearchPath({(pluginFolder / "resources").string()});
  fogviewer::installAnswerPolicy(options.yes  ? fogviewer::AnswerPolicy::Yes
                                 : options.no ? fogviewer::AnswerPolicy::No
                                              : fogviewer::AnswerPolicy::Ask);
  std::string error;
  const std::optional<fogviewer::LayerPlugin> plugin =
      fogviewer::loadLayerPlugin(pluginFolder.string(), "fog", error);
  if (!plugin) {
    std::fprintf(stderr, "fogviewer: %s\n", error.c_str());
    return 1;
  }
  std::printf("fogviewer: layer plug-in %s\n", plugin->path.c_str());

  const std::string outputLabel = options.out == "." ? "" : options.out;
  fogviewer::ViewerSession session(*plugin, outputLabel);
  if (!session.ready()) {
    std::fprintf(stderr, "fogviewer: the viewer could not make its scene\n");
    return 1;
  }
  for (const LoadedScript &script : scripts)
    if (!session.run(script.name, script.commands)) return 1;
  return 0;
}

} // namespace

int main(int argc, char **argv) {
  Options options;
  CLI::App app{
      "fogviewer - the stand-in scene viewer. It loads the Mist layer plug-in "
      "(fog.so) from its folder and runs command scripts against a terrain scene: "
      "layers are opened, made and edited through the plug-in's menus and "
      "properties frame, views are rendered with OpenGL off screen to PNG, and the "
      "session can be written back as a script. Without a script it runs its "
      "built-in demo session."};
  app.add_option("scripts", options.scripts,
                 "Command scripts, run in order in one session (none: the built-in demo)");
  app.add_option("-o,--out", options.out,
                 "Folder the session works in (made when missing): relative file names in "
                 "scripts are read and written there")
      ->capture_default_str();
  CLI::Option *pluginDir = app.add_option(
      "--plugin-dir", options.pluginDir,
      "Folder holding fog.so and its resources/ (default: this build's viewer/ folder)");
  app.add_flag("--earlier", options.earlier,
               "Load the earlier build of the plug-in (this build's viewer-earlier/ folder)")
      ->excludes(pluginDir);
  CLI::Option *yes = app.add_flag("--yes", options.yes,
                                  "Answer yes to every question (such as saving a changed layer)");
  app.add_flag("--no", options.no, "Answer no to every question")->excludes(yes);
  app.add_flag("--print-demo", options.printDemo, "Print the built-in demo session and exit");
  app.footer(std::string("Questions are asked on the terminal when neither --yes nor --no is "
                         "given and standard input is one; otherwise they are answered no.\n\n") +
             fogviewer::kCommandHelp);
  CLI11_PARSE(app, argc, argv);
  try {
    return run(options);
  } catch (const std::exception &e) {
    std::fprintf(stderr, "fogviewer: internal error: %s\n", e.what());
    return 1;
  }
}
