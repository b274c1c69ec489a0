// entry_points.h - the texture module's exports that drive its lifecycle and
// shade one sample.
//
// The renderer loads cad/fog.so, calls initialize with its handle for the
// module, then dlmTextureCleanup, whose first call runs the one-time set-up
// (module description, default parameter list, dlmProcInfo). After that it
// calls dlmTextureProcedure once per shading point, and dlmTextureCleanup
// again whenever the cached material instances are to be dropped. The host
// calls one export at a time; no exception leaves any of them.
#ifndef FOG_TEXTURE_ENTRY_POINTS_H
#define FOG_TEXTURE_ENTRY_POINTS_H

#include <cstdint>

#include "cad_host.h"

#define FOG_TEXTURE_EXPORT extern "C" __attribute__((visibility("default")))

// The record the renderer reads the module's capabilities from. The module
// only sets the three lowest bits of the first word; the rest is the host's.
struct DlmProcInfo {
  uint32_t capabilities;
  uint8_t hostReserved[2048];
};

inline constexpr uint32_t PROC_INFO_BITS = 0x7;

FOG_TEXTURE_EXPORT DlmProcInfo dlmProcInfo;

// Records the third argument as the host's handle for the module; the first
// two are not read. Returns 0.
FOG_TEXTURE_EXPORT int32_t initialize(int32_t unused1, int32_t unused2, int32_t moduleHandle);

// First call: the one-time set-up with `dialogMode`. Every call: frees all
// cached instances and the fallback material.
FOG_TEXTURE_EXPORT void dlmTextureCleanup(int32_t dialogMode);

// Fills `color` for one sample and returns it. A sample that no instance can
// serve (memory exhausted) is clear: no colour, transparency 255. Runs the
// one-time set-up first if the host has not called dlmTextureCleanup yet.
FOG_TEXTURE_EXPORT TextureColor *dlmTextureProcedure(TextureColor *color,
                                                     const TextureSample *sample);

// Runs the one-time set-up unless it has run; a later dialogMode has no
// effect. Used by the exports that need the module description.
void textureModule_ensureSetUp(int32_t dialogMode);

#endif
