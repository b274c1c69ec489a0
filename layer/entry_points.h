// entry_points.h - what the viewer finds by name in the Mist layer plug-in,
// and the plug-in's module-wide state: the parsed UI script and the type
// name. The library does nothing when it is loaded or unloaded; the viewer
// calls fogvlLayerInterfaceInit before it uses anything else.
#pragma once

#include <cstdint>

#include "viewer_host.h"

// The parsed UI script "vlfog.uis": null until the first parse succeeds,
// then kept for the life of the process. Read by the menu, the popup and the
// properties frame.
extern UikScript *pluginScript;

// The layer type's name, "Mist": one constant, handed out and printed
// wherever the layer names its type.
extern const char fogLayerTypeName[];

extern "C" {

// Parses "vlfog.uis" on the first call, with the plug-in's script functions,
// and returns the script; later calls return the same script. A failed parse
// is shown through hvis_ProcessErrorReport and gives null; the next call
// parses again.
UikScript *fogvlLayerInterfaceInit(void);

// The constant "Mist" (not a copy).
const char *fogvlLayerGetTypeName(void);

// Stores new host-heap copies of "Mist" and of the file type "fog"; the
// caller owns both. A null out pointer is skipped.
void fogvlLayerGetInterfaceFileTypeDef(char **typeName, char **fileType);

// -1, whatever the host passes: the plug-in does not identify files by title.
int32_t fogFileTitleIdentify(void);

// Null: the layer type has no extension list.
void *fogInstanceExtListGet(void);

} // extern "C"
