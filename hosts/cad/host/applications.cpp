// applications.cpp - the host's loaded applications and their notices: the
// ray tracer "VELOX" with its material lookup command, and the notice
// functions that modules register and the host calls with the name of an
// application being unloaded.
#include <strings.h>

#include <cstdarg>
#include <cstring>

#include "host_state.h"
#include "material_table.h"

struct XelDesc {
  const char *name;
};

namespace cadhost {
namespace {

// The one notice slot a module may fill.
constexpr int32_t kNoticeSlot = 1;

struct Registration {
  int32_t moduleHandle;
  DlmNoticeFunction function;
};

struct ApplicationState {
  bool rayTracerLoaded = false;
  std::vector<Registration> notices; // in order of registration
};

ApplicationState &state() {
  static auto *s = new ApplicationState;
  return *s;
}

XelDesc rayTracer{"VELOX"};

} // namespace

void setRayTracerLoaded(bool loaded) {
  state().rayTracerLoaded = loaded;
}

int32_t sendNotice(const char *applicationName) {
  // A notice function may register or remove functions while it runs.
  const std::vector<Registration> receivers = state().notices;
  for (const Registration &r : receivers) r.function(r.moduleHandle, applicationName);
  return static_cast<int32_t>(receivers.size());
}

DlmNoticeFunction noticeFunction(int32_t moduleHandle) {
  for (const Registration &r : state().notices)
    if (r.moduleHandle == moduleHandle) return r.function;
  return nullptr;
}

void detail::resetApplications() {
  state() = ApplicationState{};
}

} // namespace cadhost

using cadhost::state;

extern "C" {

int32_t dlmSystem_setFunction(int32_t slot, int32_t moduleHandle, DlmNoticeFunction function) {
  cadhost::detail::countCall("dlmSystem_setFunction");
  if (slot != cadhost::kNoticeSlot) return 1;
  auto &notices = state().notices;
  for (auto r = notices.begin(); r != notices.end(); ++r) {
    if (r->moduleHandle != moduleHandle) continue;
    if (function == nullptr)
      notices.erase(r);
    else
      r->function = function;
    return 0;
  }
  if (function == nullptr) return 0;
  try {
    notices.push_back({moduleHandle, function});
  } catch (...) {
    return 1;
  }
  return 0;
}

XelDesc *xelSystem_findXelDesc(const char *applicationName) {
  cadhost::detail::countCall("xelSystem_findXelDesc");
  if (applicationName == nullptr || !state().rayTracerLoaded) return nullptr;
  return strcasecmp(applicationName, cadhost::rayTracer.name) == 0 ? &cadhost::rayTracer : nullptr;
}

void *xelSystem_callFunctionByCmdName(XelDesc *application, const char *commandName, ...) {
  cadhost::detail::countCall("xelSystem_callFunctionByCmdName");
  if (application != &cadhost::rayTracer || !state().rayTracerLoaded || commandName == nullptr)
    return nullptr;
  if (std::strcmp(commandName, "velox_materialFindFromId") != 0) return nullptr;
  va_list arguments;
  va_start(arguments, commandName);
  const int32_t id = va_arg(arguments, int32_t);
  va_end(arguments);
  return cadhost::detail::materialFromRayTracerTable(id);
}

} // extern "C"
