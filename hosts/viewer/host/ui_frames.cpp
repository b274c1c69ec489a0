// ui_frames.cpp - frames on display and how the toolkit calls script
// functions. A frame gets a source part and a context object; displaying it
// fills each field from its getter (called with the frame's context), and
// its buttons later call their functions with the fields' texts. Errors a
// script function leaves go to the viewer's error reporter, as a toolkit
// shows them to the user.
#include <map>

#include "error_report.h"
#include "ui_parts.h"

namespace viewerhost::ui {

HstrStringList *callScriptFunction(UikPart *caller, const std::string &function, void *context,
                                   const std::vector<std::string> &arguments) {
  if (caller == nullptr || caller->script == nullptr) return nullptr;
  auto found = caller->script->functions.find(function);
  if (found == caller->script->functions.end() || found->second == nullptr) return nullptr;

  // The function gets its own copies: it may keep or change what it is given
  // while the caller's texts stay as they are.
  std::vector<std::string> texts = arguments;
  std::vector<char *> pointers;
  pointers.reserve(texts.size() + 1);
  for (auto &text : texts) pointers.push_back(text.data());
  pointers.push_back(nullptr);

  ErrorReport error = nullptr;
  HstrStringList *result =
      found->second(caller, context, static_cast<int32_t>(texts.size()), pointers.data(), &error);
  if (error != nullptr) hvis_ProcessErrorReport(&error);
  return result;
}

} // namespace viewerhost::ui

namespace {

using viewerhost::setError;
using namespace viewerhost::ui;

bool checkFrame(const UikPart *frame, const char *operation, ErrorReport *error) {
  if (isLivePart(frame) && frame->kind == UikPart::Kind::Frame) return true;
  setError(error, std::string(operation) + ": expected a frame of the toolkit");
  return false;
}

// The text a getter's list gives a field: the entry at the field's index,
// or empty when the list has no such entry.
std::string entryText(const HstrStringList *list, int index) {
  if (list == nullptr || list->strings == nullptr || index < 0 || index >= list->count) return {};
  const char *entry = list->strings[index];
  return entry != nullptr ? entry : "";
}

// Calls each getter of the frame once and fills its fields. The getters run
// before any field is written, and the frame is checked again afterwards: a
// script function may do anything, including freeing the frame.
void fillFields(UikPart *frame) {
  std::vector<std::string> getters;
  for (const auto &child : frame->children)
    if (child->kind == UikPart::Kind::Field && !child->function.empty())
      getters.push_back(child->function);

  void *context = frame->context;
  std::map<std::string, HstrStringList *> lists;
  for (const auto &getter : getters) {
    if (!isLivePart(frame)) break;
    if (lists.find(getter) == lists.end())
      lists[getter] = callScriptFunction(frame, getter, context, {});
  }

  if (isLivePart(frame)) {
    for (auto &child : frame->children)
      if (child->kind == UikPart::Kind::Field && !child->function.empty())
        child->text = entryText(lists[child->function], child->valueIndex);
  }
  for (auto &entry : lists)
    if (entry.second != nullptr) hstr_StringListFree(entry.second);
}

} // namespace

void uik_FrameSourceSet(UikPart *frame, UikPart *source, ErrorReport *error) {
  if (!checkFrame(frame, "uik_FrameSourceSet", error)) return;
  frame->source = source;
}

void uik_FrameContextSet(UikPart *frame, void *context, ErrorReport *error) {
  if (!checkFrame(frame, "uik_FrameContextSet", error)) return;
  frame->context = context;
}

void uik_FrameDisplay(UikPart *frame, ErrorReport *error) {
  try {
    if (!checkFrame(frame, "uik_FrameDisplay", error)) return;
    countsFor(frame->name).displays++;
    frame->displayed = true;
    frame->displayCount++;
    fillFields(frame);
  } catch (...) {
    setError(error, "uik_FrameDisplay: out of memory");
  }
}

void uik_FrameRemove(UikPart *frame, ErrorReport *error) {
  try {
    if (!checkFrame(frame, "uik_FrameRemove", error)) return;
    countsFor(frame->name).removals++;
    frame->displayed = false;
  } catch (...) {
    setError(error, "uik_FrameRemove: out of memory");
  }
}
