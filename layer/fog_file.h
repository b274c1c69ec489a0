// fog_file.h - the Mist layer's fog file: seven numbers of plain text, one a
// line, each written with "%f" (six decimals):
//
//   bottom elevation, top elevation, red, green, blue, density, planes
//
// Reading takes anything "%lf" reads, with any white space between the
// numbers. The ground rectangle is not stored; it comes from the scene.
// Every access goes through the viewer's hfio_ file functions.
#pragma once

#include <cstdint>

#include "plugin_export.h"
#include "viewer_host.h"

// A new Mist layer read from the fog file named by the first argument
// string (the other arguments are those of fogvlLayerCreate). It starts as
// a new layer in this scene and takes the file's seven numbers; it is not
// marked modified.
// - A file that cannot be opened (missing, no permission, a name too long)
//   gives that new layer unchanged, with its file name, so that the user can
//   save it there.
// - A file that opens but does not yield seven numbers (empty, short, text
//   that is not a number, a read that fails) is not a fog file: the layer is
//   released again and the result is null, so that the host can tell the
//   user, and a later save cannot overwrite the file with other values.
// Either way a failure the viewer reports is shown through
// hvis_ProcessErrorReport. Null also when the layer itself cannot be made.
FOG_EXPORT FeatureLayer *fogvlLayerOpen(HostLayer *hostLayer, int32_t hostArgument,
                                        int32_t argumentCount, char **arguments) noexcept;

// The save slot: writes the layer's fog file (created or truncated). The
// result is that of closing the file: 0 when every line reached it. On any
// failure - no file name, the open, a write or the close - the result is
// non-zero and the layer stays modified.
int32_t fogFile_save(FeatureLayer *layer) noexcept;

// The save prompt run first by the close slot: when the layer is modified,
// asks "Save Mist Layer <file name>?" and saves on a yes. A save that fails
// then is shown through hvis_ProcessErrorReport, since the layer is about
// to go and its changes with it.
void fogFile_offerSave(FeatureLayer *layer) noexcept;

// Builds the save question for `fileName` (null for a layer without a file)
// into `question`, which holds kFogQuestionSize bytes. A name too long for
// the buffer is shown by its end, after "...".
inline constexpr int32_t kFogQuestionSize = 256;
void fogFile_saveQuestion(const char *fileName, char *question) noexcept;
