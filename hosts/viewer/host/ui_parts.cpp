// ui_parts.cpp - the toolkit's handles and what a plug-in does with parts of
// a parsed script: find a part by name, copy it, free the copy, find a menu
// and extract it for use under another part. Parsed scripts, copies and
// extracted menus all live here until they are freed or the toolkit ends.
#include "ui_parts.h"

#include <algorithm>
#include <map>
#include <utility>

#include "error_report.h"

namespace viewerhost::ui {

namespace {

struct Registry {
  std::vector<std::unique_ptr<UikScript>> scripts;
  std::vector<std::unique_ptr<UikPart>> copies;
  // Extracted menus, one per (menu, parent) pair, so asking again for the
  // same menu under the same part does not pile up copies.
  std::map<std::pair<const UikPart *, const UikPart *>, std::unique_ptr<UikPart>> extracted;
  std::vector<UikPart *> handles;
  std::map<std::string, PartCounts> counts;
};

// Never destroyed: a plug-in may still free its parts while the process
// ends, after function-local statics have gone.
Registry &registry() {
  static Registry *instance = new Registry;
  return *instance;
}

void addHandle(UikPart *part) {
  registry().handles.push_back(part);
}

void dropHandle(const UikPart *part) {
  auto &handles = registry().handles;
  handles.erase(std::remove(handles.begin(), handles.end(), part), handles.end());
}

} // namespace

UikScript *adoptScript(std::unique_ptr<UikScript> script) {
  UikScript *kept = script.get();
  for (auto &part : kept->parts) addHandle(part.get());
  registry().scripts.push_back(std::move(script));
  return kept;
}

bool isLivePart(const UikPart *part) {
  if (part == nullptr) return false;
  const auto &handles = registry().handles;
  return std::find(handles.begin(), handles.end(), part) != handles.end();
}

const std::vector<UikPart *> &liveParts() {
  return registry().handles;
}

std::unique_ptr<UikPart> clonePart(const UikPart &part, UikPart *parent) {
  auto copy = std::make_unique<UikPart>();
  copy->kind = part.kind;
  copy->name = part.name;
  copy->label = part.label;
  copy->parent = parent;
  copy->script = part.script;
  copy->line = part.line;
  copy->function = part.function;
  copy->arguments = part.arguments;
  copy->valueIndex = part.valueIndex;
  copy->text = part.text;
  copy->source = part.source;
  copy->context = part.context;
  for (const auto &child : part.children) copy->children.push_back(clonePart(*child, copy.get()));
  return copy;
}

UikPart *childNamed(const UikPart *part, UikPart::Kind kind, const std::string &name) {
  if (part == nullptr) return nullptr;
  for (const auto &child : part->children)
    if (child->kind == kind && child->name == name) return child.get();
  return nullptr;
}

PartCounts &countsFor(const std::string &name) {
  return registry().counts[name];
}

void resetCounts() {
  registry().counts.clear();
}

UikPart *adoptCopy(std::unique_ptr<UikPart> copy) {
  UikPart *kept = copy.get();
  registry().copies.push_back(std::move(copy));
  addHandle(kept);
  return kept;
}

bool releaseCopy(UikPart *copy) {
  auto &copies = registry().copies;
  auto found = std::find_if(copies.begin(), copies.end(),
                            [copy](const std::unique_ptr<UikPart> &p) { return p.get() == copy; });
  if (found == copies.end()) return false;
  dropHandle(copy);
  // Menus extracted from this copy go with it.
  auto &extracted = registry().extracted;
  for (auto it = extracted.begin(); it != extracted.end();) {
    if (it->first.first == copy) {
      dropHandle(it->second.get());
      it = extracted.erase(it);
    } else {
      ++it;
    }
  }
  copies.erase(found);
  return true;
}

int copyCount() {
  return static_cast<int>(registry().copies.size());
}

bool isKnownScript(const UikScript *script) {
  for (const auto &kept : registry().scripts)
    if (kept.get() == script) return true;
  return false;
}

UikPart *extractMenu(const UikPart &menu, UikPart *parent) {
  auto &slot = registry().extracted[{&menu, parent}];
  if (!slot) {
    slot = clonePart(menu, parent);
    addHandle(slot.get());
  }
  return slot.get();
}

} // namespace viewerhost::ui

namespace {

using viewerhost::setError;
using namespace viewerhost::ui;

UikPart *topLevelPart(UikScript *script, const std::string &name) {
  for (auto &part : script->parts)
    if (part->name == name) return part.get();
  return nullptr;
}

} // namespace

UikPart *uik_PartFind(UikScript *script, const char *partName, ErrorReport *error) {
  try {
    if (script == nullptr || partName == nullptr || !isKnownScript(script)) {
      setError(error, "uik_PartFind: expected a parsed script and a part name");
      return nullptr;
    }
    UikPart *part = topLevelPart(script, partName);
    if (part == nullptr) {
      setError(error, script->fileName + ": no part named \"" + partName + "\"");
      return nullptr;
    }
    countsFor(part->name).finds++;
    return part;
  } catch (...) {
    setError(error, "uik_PartFind: out of memory");
    return nullptr;
  }
}

UikPart *uik_PartDup(UikPart *part, ErrorReport *error) {
  try {
    if (!isLivePart(part)) {
      setError(error, "uik_PartDup: expected a part of the toolkit");
      return nullptr;
    }
    UikPart *copy = adoptCopy(clonePart(*part, part->parent));
    countsFor(copy->name).copies++;
    return copy;
  } catch (...) {
    setError(error, "uik_PartDup: out of memory");
    return nullptr;
  }
}

void uik_PartFree(UikPart *part, ErrorReport *error) {
  try {
    if (part == nullptr) {
      setError(error, "uik_PartFree: expected a part, got null");
      return;
    }
    // Only copies belong to the caller; a script's own parts and extracted
    // menus stay with the toolkit.
    if (!isLivePart(part)) {
      setError(error, "uik_PartFree: not a part of the toolkit");
      return;
    }
    const std::string name = part->name;
    if (!releaseCopy(part)) {
      setError(error, "uik_PartFree: \"" + name + "\" belongs to the toolkit, not to the caller");
      return;
    }
    countsFor(name).frees++;
  } catch (...) {
    setError(error, "uik_PartFree: out of memory");
  }
}

UikPart *uik_FindMenu(UikScript *script, const char *menuName, ErrorReport *error) {
  try {
    if (script == nullptr || menuName == nullptr || !isKnownScript(script)) {
      setError(error, "uik_FindMenu: expected a parsed script and a menu name");
      return nullptr;
    }
    UikPart *part = topLevelPart(script, menuName);
    if (part == nullptr || part->kind != UikPart::Kind::Menu) {
      setError(error, script->fileName + ": no menu named \"" + menuName + "\"");
      return nullptr;
    }
    return part;
  } catch (...) {
    setError(error, "uik_FindMenu: out of memory");
    return nullptr;
  }
}

UikPart *uik_MenuExtract(UikPart *menu, UikPart *parent, ErrorReport *error) {
  try {
    if (!isLivePart(menu) || menu->kind != UikPart::Kind::Menu) {
      setError(error, "uik_MenuExtract: expected a menu of the toolkit");
      return nullptr;
    }
    UikPart *copy = extractMenu(*menu, parent);
    return copy;
  } catch (...) {
    setError(error, "uik_MenuExtract: out of memory");
    return nullptr;
  }
}
