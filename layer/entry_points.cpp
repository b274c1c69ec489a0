// entry_points.cpp - the plug-in's exports that are not a layer constructor:
// the one-time parse of the UI script and the type and file type the viewer
// asks for.
#include "entry_points.h"

#include "plugin_export.h"
#include "script_functions.h"

UikScript *pluginScript = nullptr;

const char fogLayerTypeName[] = "Mist";

namespace {

// The kinds of the (kind, value) pairs uik_ParseVa takes after its error
// report: 1 hands it a table of script functions, 0 ends the list.
constexpr int32_t kParseEnd = 0;
constexpr int32_t kParseFunctionTable = 1;

} // namespace

FOG_EXPORT UikScript *fogvlLayerInterfaceInit(void) {
  if (pluginScript != nullptr) return pluginScript;
  ErrorReport error = nullptr;
  UikRoot *root = uik_GetTheRoot();
  UikPart *rootPart = root != nullptr ? root->rootPart : nullptr;
  pluginScript = uik_ParseVa(nullptr, "vlfog.uis", rootPart, &error, kParseFunctionTable,
                             scriptFunctionTable, kParseEnd);
  // Shown, since without its script the Mist layer has no properties,
  // menu or popup; the next call tries again.
  if (error != nullptr) hvis_ProcessErrorReport(&error);
  return pluginScript;
}

FOG_EXPORT const char *fogvlLayerGetTypeName(void) {
  return fogLayerTypeName;
}

FOG_EXPORT void fogvlLayerGetInterfaceFileTypeDef(char **typeName, char **fileType) {
  if (typeName != nullptr) *typeName = hstr_Duplicate(fogLayerTypeName);
  if (fileType != nullptr) *fileType = hstr_Duplicate("fog");
}

FOG_EXPORT int32_t fogFileTitleIdentify(void) {
  return -1;
}

FOG_EXPORT void *fogInstanceExtListGet(void) {
  return nullptr;
}
