// ui_control.cpp - the toolkit's control API: the resource search path, and
// a user's hands on the parts (typing into fields, pressing buttons,
// choosing menu and popup items), plus the counters tests read.
#include "ui_control.h"

#include <filesystem>

#include "ui_parts.h"

namespace viewerhost {

namespace {

std::vector<std::string> &searchPath() {
  static std::vector<std::string> directories;
  return directories;
}

bool isRegularFile(const std::filesystem::path &path) {
  std::error_code ignored;
  return std::filesystem::is_regular_file(path, ignored);
}

UikPart *liveFrame(const UikPart *frame) {
  if (!ui::isLivePart(frame) || frame->kind != UikPart::Kind::Frame) return nullptr;
  return const_cast<UikPart *>(frame);
}

} // namespace

void setResourceSearchPath(std::vector<std::string> directories) {
  searchPath() = std::move(directories);
}

const std::vector<std::string> &resourceSearchPath() {
  return searchPath();
}

std::string findResource(const std::string &fileName) {
  if (fileName.empty()) return {};
  if (fileName.find('/') != std::string::npos) return isRegularFile(fileName) ? fileName : "";
  if (searchPath().empty()) return isRegularFile(fileName) ? fileName : "";
  for (const auto &directory : searchPath()) {
    const auto candidate = std::filesystem::path(directory) / fileName;
    if (isRegularFile(candidate)) return candidate.string();
  }
  return {};
}

UikPart *findDisplayedFrame(const std::string &name, const void *context) {
  for (UikPart *part : ui::liveParts())
    if (part->kind == UikPart::Kind::Frame && part->displayed && part->name == name &&
        (context == nullptr || part->context == context))
      return part;
  return nullptr;
}

bool isDisplayed(const UikPart *frame) {
  const UikPart *live = liveFrame(frame);
  return live != nullptr && live->displayed;
}

void *frameContext(const UikPart *frame) {
  const UikPart *live = liveFrame(frame);
  return live != nullptr ? live->context : nullptr;
}

UikPart *frameSource(const UikPart *frame) {
  const UikPart *live = liveFrame(frame);
  return live != nullptr ? live->source : nullptr;
}

std::string frameTitle(const UikPart *frame) {
  const UikPart *live = liveFrame(frame);
  return live != nullptr ? live->label : std::string();
}

std::vector<FieldView> frameFields(const UikPart *frame) {
  std::vector<FieldView> fields;
  if (const UikPart *live = liveFrame(frame))
    for (const auto &child : live->children)
      if (child->kind == UikPart::Kind::Field)
        fields.push_back({child->name, child->label, child->text});
  return fields;
}

std::vector<ButtonView> frameButtons(const UikPart *frame) {
  std::vector<ButtonView> buttons;
  if (const UikPart *live = liveFrame(frame))
    for (const auto &child : live->children)
      if (child->kind == UikPart::Kind::Button) buttons.push_back({child->name, child->label});
  return buttons;
}

std::optional<std::string> fieldText(const UikPart *frame, const std::string &field) {
  const UikPart *part = ui::childNamed(liveFrame(frame), UikPart::Kind::Field, field);
  if (part == nullptr) return std::nullopt;
  return part->text;
}

bool typeIntoField(UikPart *frame, const std::string &field, const std::string &text) {
  if (!isDisplayed(frame)) return false;
  UikPart *part = ui::childNamed(frame, UikPart::Kind::Field, field);
  if (part == nullptr) return false;
  part->text = text;
  return true;
}

bool pressButton(UikPart *frame, const std::string &button) {
  if (!isDisplayed(frame)) return false;
  UikPart *part = ui::childNamed(frame, UikPart::Kind::Button, button);
  if (part == nullptr) return false;
  std::vector<std::string> texts;
  for (const auto &name : part->arguments) {
    const UikPart *field = ui::childNamed(frame, UikPart::Kind::Field, name);
    texts.push_back(field != nullptr ? field->text : std::string());
  }
  // Everything the call needs is copied first: the function may free the frame.
  const std::string function = part->function;
  HstrStringList *result = ui::callScriptFunction(part, function, frame->context, texts);
  if (result != nullptr) hstr_StringListFree(result);
  return true;
}

std::vector<std::string> itemLabels(const UikPart *menuOrPopup) {
  std::vector<std::string> labels;
  if (!ui::isLivePart(menuOrPopup)) return labels;
  for (const auto &child : menuOrPopup->children)
    if (child->kind == UikPart::Kind::Item) labels.push_back(child->label);
  return labels;
}

bool chooseItem(UikPart *menuOrPopup, const std::string &label, void *context,
                const std::vector<std::string> &answers) {
  if (!ui::isLivePart(menuOrPopup) ||
      (menuOrPopup->kind != UikPart::Kind::Menu && menuOrPopup->kind != UikPart::Kind::Popup))
    return false;
  for (const auto &child : menuOrPopup->children) {
    if (child->kind != UikPart::Kind::Item || child->label != label) continue;
    if (answers.size() != child->arguments.size()) return false;
    const std::string function = child->function;
    HstrStringList *result = ui::callScriptFunction(child.get(), function, context, answers);
    if (result != nullptr) hstr_StringListFree(result);
    return true;
  }
  return false;
}

PartCounts partCounts(const std::string &name) {
  return ui::countsFor(name);
}

void resetPartCounts() {
  ui::resetCounts();
}

int liveCopies() {
  return ui::copyCount();
}

} // namespace viewerhost
