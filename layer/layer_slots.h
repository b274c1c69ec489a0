// layer_slots.h - the Mist functions that fill a layer's method slots and
// the plug-in's exports, as the units that define them declare them.
#pragma once

#include "viewer_host.h"
