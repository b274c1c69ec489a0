// cad_control.h - the control side of the stand-in CAD application.
//
// Programs and tests set up the host's world here (materials and their maps,
// the ray tracer, published expression variables, the animation clock,
// views, units, the active point, the renderer's spot function table) and
// read back what the texture module did to it (notices, the user-abort and
// command log, call counts, live objects). The texture module itself never
// includes this header: it reaches the host only through cad_host.h.
//
// Everything lives in libcadhost.so, so a program can set up materials
// without loading the rendering library; libcadrender.so serves the
// xelMaterial_ operations from the same tables. Nothing here is thread-safe,
// like the host itself.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cad_host.h"

namespace cadhost {

// ------------------------------------------------------------ whole world

// Returns the host to its bare state: no materials in either table, no
// views, nothing published, ray tracer not loaded, no notice registrations,
// units 1.0, active point 0, animation time 0, spot values at their
// defaults, empty logs and call counts, no failures planned. Objects that a
// caller owns (materials from xelMaterial_create, lists from
// xelStringList_create or makeStringList) are left alone: the caller still
// holds them and releases them itself.
void reset();

// ------------------------------------------------------ failure injection

// Which calls of an operation fail: the first `after` calls from now
// succeed, then `count` calls fail (-1: every later call).
struct FailurePlan {
  int32_t after = 0;
  int32_t count = 0;
};
inline constexpr FailurePlan kAlwaysFail{0, -1};
inline constexpr FailurePlan kNeverFail{0, 0};

void setStringListCreateFailure(FailurePlan plan);
void setStringListInsertFailure(FailurePlan plan);
void setMaterialCreateFailure(FailurePlan plan);

// ----------------------------------------------------------- string lists

// A new list holding `members`, owned by the caller (xelStringList_free).
// Never subject to failure injection.
XelStringList makeStringList(const std::vector<std::string> &members);

// Copies of a list's member texts; empty for null or a released list.
std::vector<std::string> stringListMembers(XelStringList list);

// One member per line of `text`: lines end at '\n' (a '\r' before it is
// dropped); a final line break does not start another member.
std::vector<std::string> splitParameterText(std::string_view text);

// Lists from xelStringList_create and makeStringList not yet released.
int32_t liveStringLists();

// -------------------------------------------------------------- materials

struct MapSpec {
  std::string name{};
  int32_t mode = 0; // 0: addressed by u,v; 2: sub-units
  double patternScale[2] = {1.0, 1.0};
  double patternOffset[2] = {0.0, 0.0};
  bool hasUserData = true;     // false: the map has no user-data list
  std::string parameterText{}; // the user-data list, one member per line
};

struct MaterialSpec {
  int32_t id = 0;
  std::string name{}; // cut to 511 characters
  std::optional<MapSpec> map1{};
  std::optional<MapSpec> map2{};
};

// Puts a material into the host's table (xelMaterial_findFromId), replacing
// and releasing one with the same id. The host owns the record; it stays
// valid until replaced, removed or reset.
XelMaterial *addMaterial(const MaterialSpec &spec);
// Removes and releases the host's material with that id; false if none.
bool removeMaterial(int32_t id);
// The host's material with that id, or null (not counted as a call).
XelMaterial *findMaterial(int32_t id);

// The ray tracer's own material table, answered by its
// "velox_materialFindFromId" command.
XelMaterial *addRayTracerMaterial(const MaterialSpec &spec);
bool removeRayTracerMaterial(int32_t id);

// Materials from xelMaterial_create not yet freed.
int32_t liveMaterials();

// -------------------------------------------------- published variables

enum class Symbol {
  AnimatorSeconds,    // "animatorSecondsP": address of the animation time
  RayTracing,         // "veloxRayTracing": integer
  SpotFunctions,      // "rendloadSpotFuncs": address of the spot table
  NeedAltTransform,   // "veloxNeedAltXform": integer
  AltRenderOrigin,    // "veloxAltRenderOrigin": address of 3 doubles
  AltRenderTransform, // "veloxAltRenderXform": address of 9 doubles
};
const char *symbolName(Symbol symbol);

// Publishes (or withdraws) a variable; xelCExpression_getValue answers only
// published ones. Values are set below and may change while published.
void publish(Symbol symbol, bool published = true);
inline void withdraw(Symbol symbol) {
  publish(symbol, false);
}
bool isPublished(Symbol symbol);

// How often xelCExpression_getValue was asked for `symbol`, published or not.
int32_t expressionLookups(std::string_view symbol);

// The animation time in seconds. Its address never changes, so a module
// that holds it sees every later change.
void setAnimationSeconds(double seconds);
void advanceAnimation(double seconds);
double animationSeconds();
const double *animationSecondsAddress();

void setRayTracingValue(int32_t value);
void setNeedAltTransformValue(int32_t value);
void setAltRenderOrigin(const std::array<double, 3> &origin);
void setAltRenderTransform(const std::array<double, 9> &rowByRow);

// ------------------------------------------------------ spot function table

// Entry 140 gives the rectangle, 141 the depth range, 126 the matrix. The
// defaults are (0, 256, 256, 0), near 0 and far 1, and the identity.
struct ScreenRect {
  int32_t first = 0, second = 256, third = 256, fourth = 0;
};
void setScreenRect(const ScreenRect &rect);
void setDepthRange(float nearDepth, float farDepth);
void setScreenToView(const std::array<float, 16> &rowByRow);
// The table the host publishes as "rendloadSpotFuncs" (SPOT_TABLE_SIZE
// entries; only 126, 140 and 141 are filled).
SpotFunction *spotTable();

// ------------------------------------------------------ ray tracer, notices

// Whether xelSystem_findXelDesc("VELOX") finds the ray tracer.
void setRayTracerLoaded(bool loaded);

// Calls every registered notice function with `applicationName`, in the
// order of registration; returns how many were called.
int32_t sendNotice(const char *applicationName);
// The notice function registered for a module handle, or null.
DlmNoticeFunction noticeFunction(int32_t moduleHandle);

// ----------------------------------------------------------- views, units

// A window's view. Windows not set here (0 among them) answer no origin
// (0, 0, 0), the identity rotation and view number -1, with result 1.
struct ViewInfo {
  std::array<double, 3> origin{0.0, 0.0, 0.0};
  std::array<double, 9> rotation{1.0, 0.0, 0.0, 0.0, 1.0, 0.0, 0.0, 0.0, 1.0};
  int32_t viewNumber = 0;
};
void setView(int32_t windowId, const ViewInfo &view);
void removeView(int32_t windowId);

void setUorPerMaster(double uors);
void setUorPerSub(double uors);
// Active point 54, in UORs.
void setActivePoint(const std::array<double, 3> &point);

// ------------------------------------------------------------------- logs

// Every argument passed to xelSystem_userAbortEnable, in order.
std::vector<int32_t> userAbortLog();
// Whether the host's user-abort handling is on (it starts on).
bool userAbortEnabled();

struct QueuedCommand {
  int32_t queue = 0;
  uint32_t commandNumber = 0;
  std::string argumentText{}; // empty when the caller passed null
  int32_t flags = 0;
};
std::vector<QueuedCommand> commandLog();

// How often a host operation was called, by its name
// ("xelView_getInfoFromWindow", "xelMaterial_create", ...). The spot
// table's entries count as "rendloadSpotFuncs[126]", "[140]" and "[141]".
int32_t callCount(std::string_view operation);

} // namespace cadhost
