// script_functions.h - the functions the plug-in's UI script "vlfog.uis"
// calls by name: the layer-stack commands, creating a Mist layer, showing and
// hiding a layer's properties frame, and reading and writing the values the
// frame shows. The table is registered with the toolkit when the script is
// parsed; every function has the ScriptFunction signature of viewer_host.h.
#pragma once

#include "plugin_export.h"
#include "viewer_host.h"

// The 14 script functions in their fixed order, ended by a (null, null) pair.
extern const ScriptFunctionEntry scriptFunctionTable[];

// "fogshowfogproperties": asks the context (a LayerContext) for its Mist
// layer and shows that layer's properties frame; does nothing when there is
// none. Result: null. The current build exports it under this name as well.
#if !defined(FOG_EARLIER_BUILD)
FOG_EXPORT HstrStringList *FOGShowFogProperties(UikPart *caller, void *context,
                                                int32_t argumentCount, char **arguments,
                                                ErrorReport *error) noexcept;
#endif
