// layer_methods.h - the Mist layer's slots that serve the viewer's layer
// stack and session scripts: closing a layer, its file name, the command
// line that recreates it, its label, its menu and its popup.
#pragma once

#include <cstdint>

#include "viewer_host.h"

// Offers to save a modified layer, releases its properties frame copy,
// the host layer object, the string copies and the record. The result is
// that of freeing the record (0 = freed). The layer is dead afterwards.
int32_t fogLayer_close(FeatureLayer *layer) noexcept;

// A new host-heap copy of the layer's file name, or null when it has none.
char *fogLayer_fileNameGet(FeatureLayer *layer) noexcept;

// Writes the layer's command line to `file`: a tab, ADDFEATURELAYER, the
// type name and every argument string, each in double quotes and followed
// by a blank, then ";" and a line feed. A null argument entry is written as
// an empty string.
void fogLayer_scriptCommandWrite(FeatureLayer *layer, HfioFile *file) noexcept;

// A new host-heap string naming the layer in the stack: the name part of its
// file name, or the type name for a layer without a file. The caller frees
// it with hmsc_HeapFree.
char *fogLayer_labelGet(FeatureLayer *layer) noexcept;

// The layer menu "vlfogmenu" extracted under the current scene's UI part;
// null when there is no current scene or parsed script. The layer itself is
// not used.
UikPart *fogLayer_menuGet(FeatureLayer *layer) noexcept;

// Names the layer's stack popup, "vlfog_stacker_popup", and the script that
// defines it; both stay the plug-in's. Null out pointers are skipped.
void fogLayer_popupGet(FeatureLayer *layer, const char **popupName, UikScript **script) noexcept;
