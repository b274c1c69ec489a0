// parameter_text.h - the fog parameters as host text: the module's one-time
// set-up, the default parameter list it publishes, and the parser of a
// material's parameter text.
//
// The host keeps a material's parameters as a string list attached as user
// data to one of its maps, one member per parameter: the name, one white-space
// character and the value text (parameter_values.h gives the forms). The
// module publishes a list of the same form holding its defaults through the
// exported `dlmTextureParameters`. None of this runs per shading point; all
// of it writes module-wide state and runs on the host's calling thread.
#ifndef FOG_TEXTURE_PARAMETER_TEXT_H
#define FOG_TEXTURE_PARAMETER_TEXT_H

#include <cstdint>

#include "cad_host.h"
#include "fog_params.h"

// Handle of the host string list holding the default parameter text; null
// until buildDefaultParameterList has made it. Exported for the host.
extern "C" __attribute__((visibility("default"))) XelStringList dlmTextureParameters;

// Records the module description (textureModuleDescription and
// activeFogParams) from its twelve values, then builds the default parameter
// list when dialogMode is 0. The first dlmTextureCleanup calls it once.
void textureModule_setUp(uint32_t paramBlockSize, FogTextureParams *defaultParams,
                         FogTextureParams *activeParams, double *scaleZParam, double *offsetZParam,
                         int32_t *relativeCoordsParam, int32_t defaultImageWidth,
                         int32_t defaultImageHeight, double previewExtentU, double previewExtentV,
                         int32_t dialogMode, const char *textureName) noexcept;

// Creates the default parameter list (twelve members, in table order) and
// publishes it in dlmTextureParameters; resets the active block to the
// defaults on the way. Does nothing when a list is already published. A
// member the host refuses to append is left out; the others still are.
void buildDefaultParameterList() noexcept;

// Resets the active block to the defaults and overlays the parameter text of
// the material's map 1 (secondMap 0) or map 2 (secondMap 1). The front-most
// member naming a parameter wins. Matching lower-cases the compared leading
// letters of the members in the host's own text; value texts are untouched.
void parseMaterialParameters(XelMaterial *material, int32_t secondMap) noexcept;

// The building blocks, with the table injectable.

// When `memberText` starts with `name` (ASCII letters compared without case)
// followed by one white-space character, the value text after that
// character; else null. Each compared upper-case letter of the member is
// lower-cased in place first.
char *matchParameterName(char *memberText, const char *name) noexcept;

// For each row of `table` (ending at a null name), walks the list's members
// from last to first and reads each member that names the row into the row's
// field. A member the host cannot hand over is skipped.
void parseParameterList(XelStringList list, const ParameterDescriptor *table) noexcept;

// Appends one member per row of `table` to the list, each its row's line.
// Stops when a line cannot be allocated; returns false then.
bool appendParameterLines(XelStringList list, const ParameterDescriptor *table) noexcept;

#endif
