// layer_create.h - the viewer's entry point for a new Mist layer with the
// default slab worked out from the scene.
#pragma once

#include <cstdint>

#include "plugin_export.h"
#include "viewer_host.h"

// A new Mist layer for `hostLayer`: fog over the scene's ground rectangle
// from its lower elevation half-way up to its upper one, both rounded to
// one decimal; grey (0.6), density 0.1, 15 planes, visible. The first
// argument string (read even when the count is 0) names the fog file.
// Null when the host heap runs out or the host layer has no scene.
FOG_EXPORT FeatureLayer *fogvlLayerCreate(HostLayer *hostLayer, int32_t hostArgument,
                                          int32_t argumentCount, char **arguments);
