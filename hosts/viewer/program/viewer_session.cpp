// viewer_session.cpp - the scene of a session and what each command does to
// it. Commands that a user would give through the plug-in's user interface
// go through it: menu and popup items are chosen by their labels, fields are
// typed into and buttons pressed on the frame the layer opened.
#include "viewer_session.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <new>

#include "canvas_control.h"
#include "number_text.h"
#include "output_file.h"
#include "png_write.h"
#include "session_writer.h"
#include "stack_picture.h"
#include "ui_control.h"
#include "viewer_control.h"

namespace fogviewer {

const char kCommandHelp[] =
    R"(Command scripts: one command a line, ended by ';'; '#' starts a comment.
A <layer> is a position in the layer stack (1 = top) or the layer's label in
double quotes. Relative file names are taken in the --out folder.
  TERRAIN PROCEDURAL [<x size> <y size> <lower> <upper>] ;   built-in valley
  TERRAIN HEIGHTMAP "<png>" <x size> <y size> <lower> <upper> ;  grey PNG,
      black = lower, white = upper elevation (before the first layer only)
  VIEW <x> <y> <z> <heading> <pitch> <width> <height> ;  eye, compass heading
      and pitch in degrees, window size in pixels
  ADDFEATURELAYER "Mist" "<fog file>" ;   opens a fog file as a new layer
  MENU "<item>" ["<answer>" ...] ;        e.g. MENU "New Mist Layer..." "a.fog" ;
  POPUP <layer> "<item>" ["<answer>" ...] ;  the row's popup: "Show/Hide",
      "Raise to Top", "Lower to Bottom", "Delete", "Properties..."
  FIELD <layer> "<field>" "<text>" ;      types into the layer's open frame
  PRESS <layer> "<button>" ;              e.g. PRESS 1 "Apply" ;
  LAYERVISIBLE <layer> 0|1 ;              hides or shows the row
  SAVE <layer> ;                          writes the layer's fog file
  RENDER "<png>" ;                        the view, drawn with OpenGL
  STACK "<png>" ;                         the layer stack with its icons
  WRITESESSION "<script>" ;               this session as a command script
)";

namespace {

std::string inQuotes(const std::string &text) {
  return "\"" + text + "\"";
}

bool equalsIgnoringCase(const std::string &a, const std::string &b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

std::optional<double> numberArgument(const Token &token, const char *what, std::string &error) {
  std::optional<double> value;
  if (!token.quoted) value = readNumber(token.text);
  if (!value)
    error = std::string("expected a number for ") + what + ", got " +
            (token.quoted ? inQuotes(token.text) : token.text);
  return value;
}

std::optional<int32_t> integerArgument(const Token &token, const char *what, int32_t low,
                                       int32_t high, std::string &error) {
  const std::optional<double> value = numberArgument(token, what, error);
  if (!value) return std::nullopt;
  if (*value != std::floor(*value) || *value < low || *value > high) {
    error = std::string("expected a whole number from ") + std::to_string(low) + " to " +
            std::to_string(high) + " for " + what + ", got " + token.text;
    return std::nullopt;
  }
  return static_cast<int32_t>(*value);
}

std::optional<std::string> fileArgument(const Token &token, std::string &error) {
  if (token.text.empty()) {
    error = "a file name must not be empty";
    return std::nullopt;
  }
  return token.text;
}

std::vector<std::string> textsFrom(const std::vector<Token> &tokens, std::size_t first) {
  std::vector<std::string> texts;
  for (std::size_t i = first; i < tokens.size(); ++i) texts.push_back(tokens[i].text);
  return texts;
}

// A host-heap string as a std::string; the string is freed.
std::string takeHostString(char *text) {
  std::string result = text != nullptr ? text : "";
  hmsc_HeapFree(text);
  return result;
}

std::string labelOf(FeatureLayer *layer) {
  if (layer->methods == nullptr || layer->methods->labelGet == nullptr) return {};
  return takeHostString(layer->methods->labelGet(layer));
}

std::string listed(const std::vector<std::string> &names) {
  std::string text;
  for (const std::string &name : names) text += (text.empty() ? "" : ", ") + inQuotes(name);
  return text.empty() ? "none" : text;
}

// Chooses an item of a live menu or popup, or says which items there are.
bool chooseItem(UikPart *menu, const std::string &label, void *context,
                const std::vector<std::string> &answers, std::string &error) {
  if (viewerhost::chooseItem(menu, label, context, answers)) return true;
  const std::vector<std::string> labels = viewerhost::itemLabels(menu);
  if (std::find(labels.begin(), labels.end(), label) == labels.end())
    error = "no item " + inQuotes(label) + "; the items are " + listed(labels);
  else
    error = "the item " + inQuotes(label) + " takes a different number of answers (" +
            std::to_string(answers.size()) + " given)";
  return false;
}

// The open frame of a layer holding a field (or button) matched by name or
// label; null when none does, with `names` listing what the frames hold.
UikPart *frameWith(FeatureLayer *layer, const std::string &wanted, bool button,
                   std::string &partName, std::vector<std::string> &names) {
  for (UikPart *frame : viewerhost::displayedFramesFor(layer)) {
    if (button) {
      for (const viewerhost::ButtonView &b : viewerhost::frameButtons(frame)) {
        names.push_back(b.label);
        if (equalsIgnoringCase(b.name, wanted) || equalsIgnoringCase(b.label, wanted)) {
          partName = b.name;
          return frame;
        }
      }
    } else {
      for (const viewerhost::FieldView &f : viewerhost::frameFields(frame)) {
        names.push_back(f.name);
        if (equalsIgnoringCase(f.name, wanted) || equalsIgnoringCase(f.label, wanted)) {
          partName = f.name;
          return frame;
        }
      }
    }
  }
  return nullptr;
}

} // namespace

struct ViewerSession::Spec {
  const char *name;
  std::size_t fewest;
  std::size_t most; // SIZE_MAX: any number more
  const char *usage;
  bool (ViewerSession::*run)(const Command &, std::string &);
};

const ViewerSession::Spec ViewerSession::kSpecs[] = {
    {"TERRAIN", 1, 6,
     "TERRAIN PROCEDURAL [<x size> <y size> <lower> <upper>] ; or TERRAIN HEIGHTMAP \"<png>\" <x "
     "size> <y size> <lower> <upper> ;",
     &ViewerSession::terrainCommand},
    {"VIEW", 7, 7, "VIEW <x> <y> <z> <heading> <pitch> <width> <height> ;",
     &ViewerSession::viewCommand},
    {"ADDFEATURELAYER", 2, SIZE_MAX, "ADDFEATURELAYER \"<type>\" \"<file>\" [\"<argument>\" ...] ;",
     &ViewerSession::addLayerCommand},
    {"MENU", 1, SIZE_MAX, "MENU \"<item>\" [\"<answer>\" ...] ;", &ViewerSession::menuCommand},
    {"POPUP", 2, SIZE_MAX, "POPUP <layer> \"<item>\" [\"<answer>\" ...] ;",
     &ViewerSession::popupCommand},
    {"FIELD", 3, 3, "FIELD <layer> \"<field>\" \"<text>\" ;", &ViewerSession::fieldCommand},
    {"PRESS", 2, 2, "PRESS <layer> \"<button>\" ;", &ViewerSession::pressCommand},
    {"LAYERVISIBLE", 2, 2, "LAYERVISIBLE <layer> 0|1 ;", &ViewerSession::layerVisibleCommand},
    {"SAVE", 1, 1, "SAVE <layer> ;", &ViewerSession::saveCommand},
    {"RENDER", 1, 1, "RENDER \"<png>\" ;", &ViewerSession::renderCommand},
    {"STACK", 1, 1, "STACK \"<png>\" ;", &ViewerSession::stackCommand},
    {"WRITESESSION", 1, 1, "WRITESESSION \"<script>\" ;", &ViewerSession::writeSessionCommand},
};

ViewerSession::ViewerSession(const LayerPlugin &plugin, std::string outputLabel)
    : plugin_(plugin), outputLabel_(std::move(outputLabel)) {
  scene_ = viewerhost::createScene();
  display_ = viewerhost::createDisplay();
  stackWindow_ = viewerhost::createScreenCanvas(display_, kStackWidth, kStackRowHeight);
  if (scene_ == nullptr) return;
  setTerrain(proceduralTerrain(kDefaultTerrain));
  view_ = defaultView(terrain_);
  viewerhost::setWindowSize(scene_, view_.width, view_.height);
}

ViewerSession::~ViewerSession() {
  // Layers go first: closing one may ask to save it, and their icons live
  // on the display.
  viewerhost::destroyScene(scene_);
  viewerhost::destroyDisplay(display_);
}

void ViewerSession::setTerrain(Terrain terrain) {
  terrain_ = std::move(terrain);
  viewerhost::setElevationRange(scene_, terrain_.lower, terrain_.upper);
  viewerhost::setGroundExtents(scene_, 0.0, terrain_.xSize, 0.0, terrain_.ySize);
  // Drawing happens around the middle of the ground at the lowest
  // elevation, which keeps GL's coordinates small whatever the map's.
  viewerhost::setOriginOffset(scene_, -terrain_.xSize / 2, -terrain_.ySize / 2, -terrain_.lower);
}

bool ViewerSession::run(const std::string &scriptName, const std::vector<Command> &commands) {
  for (const Command &command : commands) {
    std::string error;
    bool ok = false;
    try {
      ok = execute(command, error);
    } catch (const std::exception &e) {
      error = std::string("internal error: ") + e.what();
    }
    if (!ok) {
      std::fprintf(stderr, "fogviewer: %s:%d: %s: %s\n", scriptName.c_str(), command.line,
                   command.name.c_str(), error.c_str());
      return false;
    }
  }
  return true;
}

bool ViewerSession::execute(const Command &command, std::string &error) {
  const Spec *spec = nullptr;
  for (const Spec &s : kSpecs)
    if (command.name == s.name) spec = &s;
  if (spec == nullptr) {
    error = "unknown command";
    return false;
  }
  const std::size_t count = command.arguments.size();
  if (count < spec->fewest || count > spec->most) {
    error = "wrong number of arguments (" + std::to_string(count) + "); usage: " + spec->usage;
    return false;
  }
  // Whatever a plug-in or the toolkit reports while the command runs makes
  // the command fail.
  const std::size_t shownBefore = viewerhost::errorLog().size();
  const bool ok = (this->*(spec->run))(command, error);
  const std::vector<std::string> shown = viewerhost::errorLog();
  if (ok && shown.size() > shownBefore) {
    error = shown.back();
    return false;
  }
  return ok;
}

FeatureLayer *ViewerSession::layerNamed(const Token &token, std::string &error) {
  const std::vector<viewerhost::LayerStackEntry> stack = viewerhost::layerStack(scene_);
  if (!token.quoted) {
    const std::optional<double> position = readNumber(token.text);
    if (!position || *position != std::floor(*position) || *position < 1) {
      error = "a layer is named by its position (1 = top) or its label in double quotes, not " +
              token.text;
      return nullptr;
    }
    if (*position > static_cast<double>(stack.size())) {
      error = "no layer at position " + token.text + " (the stack holds " +
              std::to_string(stack.size()) + ")";
      return nullptr;
    }
    return stack[static_cast<std::size_t>(*position) - 1].layer;
  }
  FeatureLayer *found = nullptr;
  int matches = 0;
  for (const viewerhost::LayerStackEntry &entry : stack) {
    if (labelOf(entry.layer) == token.text) {
      found = entry.layer;
      ++matches;
    }
  }
  if (matches == 0) error = "no layer labelled " + inQuotes(token.text);
  if (matches > 1)
    error = std::to_string(matches) + " layers are labelled " + inQuotes(token.text) +
            "; name the layer by its position";
  return matches == 1 ? found : nullptr;
}

void ViewerSession::reportWritten(const std::string &path) const {
  const std::filesystem::path file(path);
  const std::string shown = file.is_absolute() || outputLabel_.empty()
                                ? path
                                : (std::filesystem::path(outputLabel_) / file).string();
  std::printf("wrote %s\n", shown.c_str());
  std::fflush(stdout);
}

bool ViewerSession::terrainCommand(const Command &command, std::string &error) {
  const std::vector<Token> &a = command.arguments;
  if (!viewerhost::layerStack(scene_).empty()) {
    error =
        "the terrain cannot change once the stack holds layers: their ground rectangle "
        "comes from it";
    return false;
  }
  const std::string kind = a[0].quoted ? "" : a[0].text;
  const bool heightMap = equalsIgnoringCase(kind, "HEIGHTMAP");
  if (!heightMap && !equalsIgnoringCase(kind, "PROCEDURAL")) {
    error = "expected PROCEDURAL or HEIGHTMAP, got " + a[0].text;
    return false;
  }
  const std::size_t first = heightMap ? 2 : 1;
  if (heightMap ? a.size() != 6 : (a.size() != 1 && a.size() != 5)) {
    error = heightMap ? "HEIGHTMAP takes a PNG file, the ground size and the elevation range"
                      : "PROCEDURAL takes nothing or the ground size and the elevation range";
    return false;
  }
  TerrainSize size = kDefaultTerrain;
  if (a.size() > first) {
    const char *what[] = {"the x size", "the y size", "the lower elevation", "the upper elevation"};
    double *into[] = {&size.xSize, &size.ySize, &size.lower, &size.upper};
    for (std::size_t i = 0; i < 4; ++i) {
      const std::optional<double> value = numberArgument(a[first + i], what[i], error);
      if (!value) return false;
      *into[i] = *value;
    }
  }
  if (const auto bad = checkTerrainSize(size)) {
    error = *bad;
    return false;
  }
  if (!heightMap) {
    setTerrain(proceduralTerrain(size));
    return true;
  }
  const std::optional<std::string> path = fileArgument(a[1], error);
  if (!path) return false;
  std::optional<Terrain> terrain = heightMapTerrain(*path, size, error);
  if (!terrain) return false;
  setTerrain(std::move(*terrain));
  return true;
}

bool ViewerSession::viewCommand(const Command &command, std::string &error) {
  const std::vector<Token> &a = command.arguments;
  View view;
  const char *what[] = {"x", "y", "z", "the heading", "the pitch"};
  double *into[] = {&view.x, &view.y, &view.z, &view.heading, &view.pitch};
  for (std::size_t i = 0; i < 5; ++i) {
    const std::optional<double> value = numberArgument(a[i], what[i], error);
    if (!value) return false;
    *into[i] = *value;
  }
  const auto width = integerArgument(a[5], "the width", 1, kMaxWindowSide, error);
  if (!width) return false;
  const auto height = integerArgument(a[6], "the height", 1, kMaxWindowSide, error);
  if (!height) return false;
  view.width = *width;
  view.height = *height;
  if (const auto bad = checkView(view)) {
    error = *bad;
    return false;
  }
  view_ = view;
  viewerhost::setWindowSize(scene_, view_.width, view_.height);
  return true;
}

bool ViewerSession::addLayerCommand(const Command &command, std::string &error) {
  const std::vector<Token> &a = command.arguments;
  const char *type = plugin_.typeName();
  if (type == nullptr || a[0].text != type) {
    error = "unknown layer type " + inQuotes(a[0].text) + "; this viewer knows " +
            inQuotes(type != nullptr ? type : "");
    return false;
  }
  if (!fileArgument(a[1], error)) return false;
  const std::vector<std::string> texts = textsFrom(a, 1);
  std::vector<char *> arguments;
  for (const std::string &text : texts) arguments.push_back(const_cast<char *>(text.c_str()));
  const std::size_t shownBefore = viewerhost::errorLog().size();
  FeatureLayer *layer = plugin_.open(viewerhost::sceneHostLayer(scene_), 0,
                                     static_cast<int32_t>(arguments.size()), arguments.data());
  const std::vector<std::string> shown = viewerhost::errorLog();
  if (layer == nullptr) {
    // The plug-in refuses a file that opens but is no fog file; the reason
    // it showed, if any, says more than the null does.
    error = shown.size() > shownBefore
                ? shown.back()
                : inQuotes(texts[0]) + " is not a fog file (it must hold seven numbers)";
    return false;
  }
  if (shown.size() > shownBefore) {
    // A new layer in place of a file that could not be opened is not what
    // the script asked for.
    if (layer->methods != nullptr && layer->methods->close != nullptr) layer->methods->close(layer);
    error = shown.back();
    return false;
  }
  if (!viewerhost::addLayer(scene_, layer)) {
    if (layer->methods != nullptr && layer->methods->close != nullptr) layer->methods->close(layer);
    error = "the layer could not be added to the stack";
    return false;
  }
  return true;
}

bool ViewerSession::menuCommand(const Command &command, std::string &error) {
  ErrorReport report = nullptr;
  const std::string name = plugin_.menuName();
  UikPart *menu = uik_FindMenu(plugin_.script, name.c_str(), &report);
  UikPart *extracted =
      menu != nullptr ? uik_MenuExtract(menu, viewerhost::scenePart(scene_), &report) : nullptr;
  if (extracted == nullptr) {
    error = "the plug-in's UI script has no menu " + inQuotes(name);
    return false;
  }
  return chooseItem(extracted, command.arguments[0].text, viewerhost::sceneLayerContext(scene_),
                    textsFrom(command.arguments, 1), error);
}

bool ViewerSession::popupCommand(const Command &command, std::string &error) {
  FeatureLayer *layer = layerNamed(command.arguments[0], error);
  if (layer == nullptr) return false;
  const char *name = nullptr;
  UikScript *script = nullptr;
  if (layer->methods != nullptr && layer->methods->popupGet != nullptr)
    layer->methods->popupGet(layer, &name, &script);
  ErrorReport report = nullptr;
  UikPart *popup =
      name != nullptr && script != nullptr ? uik_PartFind(script, name, &report) : nullptr;
  if (popup == nullptr) {
    error = "the layer has no popup";
    return false;
  }
  return chooseItem(popup, command.arguments[1].text, viewerhost::layerRowContext(layer),
                    textsFrom(command.arguments, 2), error);
}

bool ViewerSession::fieldCommand(const Command &command, std::string &error) {
  FeatureLayer *layer = layerNamed(command.arguments[0], error);
  if (layer == nullptr) return false;
  std::string field;
  std::vector<std::string> names;
  UikPart *frame = frameWith(layer, command.arguments[1].text, false, field, names);
  if (frame == nullptr) {
    error = names.empty() ? "the layer has no frame open (POPUP <layer> \"Properties...\" opens it)"
                          : "no field " + inQuotes(command.arguments[1].text) +
                                " in the layer's open frame; the fields are " + listed(names);
    return false;
  }
  viewerhost::typeIntoField(frame, field, command.arguments[2].text);
  return true;
}

bool ViewerSession::pressCommand(const Command &command, std::string &error) {
  FeatureLayer *layer = layerNamed(command.arguments[0], error);
  if (layer == nullptr) return false;
  std::string button;
  std::vector<std::string> names;
  UikPart *frame = frameWith(layer, command.arguments[1].text, true, button, names);
  if (frame == nullptr) {
    error = names.empty() ? "the layer has no frame open (POPUP <layer> \"Properties...\" opens it)"
                          : "no button " + inQuotes(command.arguments[1].text) +
                                " in the layer's open frame; the buttons are " + listed(names);
    return false;
  }
  viewerhost::pressButton(frame, button);
  return true;
}

bool ViewerSession::layerVisibleCommand(const Command &command, std::string &error) {
  FeatureLayer *layer = layerNamed(command.arguments[0], error);
  if (layer == nullptr) return false;
  const auto wanted = integerArgument(command.arguments[1], "the visibility", 0, 1, error);
  if (!wanted) return false;
  for (const viewerhost::LayerStackEntry &entry : viewerhost::layerStack(scene_)) {
    if (entry.layer == layer && entry.shown != (*wanted == 1))
      scape_ArrangeLayersToggleLayerVisibility(viewerhost::layerRowContext(layer));
  }
  return true;
}

bool ViewerSession::saveCommand(const Command &command, std::string &error) {
  FeatureLayer *layer = layerNamed(command.arguments[0], error);
  if (layer == nullptr) return false;
  if (layer->methods == nullptr || layer->methods->save == nullptr) {
    error = "the layer cannot be saved";
    return false;
  }
  std::string file;
  if (layer->methods->fileNameGet != nullptr)
    file = takeHostString(layer->methods->fileNameGet(layer));
  if (layer->methods->save(layer) != 0) {
    error = "the layer's file " + (file.empty() ? std::string() : inQuotes(file) + " ") +
            "could not be written";
    return false;
  }
  if (file.empty()) {
    // A plug-in without a file name slot: the layer is named by its label.
    std::printf("wrote the file of layer %s\n", inQuotes(labelOf(layer)).c_str());
    std::fflush(stdout);
  } else {
    reportWritten(file);
  }
  return true;
}

bool ViewerSession::renderCommand(const Command &command, std::string &error) {
  const std::optional<std::string> path = fileArgument(command.arguments[0], error);
  if (!path) return false;
  viewergl::RgbImage image;
  if (!renderer_.render(terrain_, view_, scene_, image, error)) return false;
  const std::string temporary = temporaryPathFor(*path);
  if (!pngWriteRgb(temporary.c_str(), image.width, image.height, image.pixels.data())) {
    discardTemporary(temporary);
    error = "cannot write " + *path;
    return false;
  }
  if (!commitTemporary(temporary, *path, error)) return false;
  reportWritten(*path);
  return true;
}

bool ViewerSession::stackCommand(const Command &command, std::string &error) {
  const std::optional<std::string> path = fileArgument(command.arguments[0], error);
  if (!path) return false;
  if (!writeStackPicture(scene_, stackWindow_, *path, error)) return false;
  reportWritten(*path);
  return true;
}

bool ViewerSession::writeSessionCommand(const Command &command, std::string &error) {
  const std::optional<std::string> path = fileArgument(command.arguments[0], error);
  if (!path) return false;
  if (!writeSessionScript(*path, terrain_, view_, scene_, error)) return false;
  reportWritten(*path);
  // A layer whose file was never saved cannot be opened when the script is
  // replayed; say so while it can still be saved.
  for (const viewerhost::LayerStackEntry &entry : viewerhost::layerStack(scene_)) {
    FeatureLayer *layer = entry.layer;
    if (layer->methods == nullptr || layer->methods->fileNameGet == nullptr) continue;
    const std::string file = takeHostString(layer->methods->fileNameGet(layer));
    std::error_code ignored;
    if (!file.empty() && !std::filesystem::exists(file, ignored))
      std::fprintf(stderr,
                   "fogviewer: warning: %s names %s, which does not exist yet; SAVE the layer "
                   "before replaying it\n",
                   path->c_str(), inQuotes(file).c_str());
  }
  return true;
}

} // namespace fogviewer
