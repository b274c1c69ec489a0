// sample_instance.h - finds the texture instance that serves a shading sample.
//
// Every sample names its material by id (or, without an id, the material's
// name is the key) and one of the material's two maps. The instance for that
// pair is looked up in the cache; a new one resolves the material through the
// host (the ray tracer first, then the host's material table, then a shared
// fallback material "Unknown material"), parses the map's parameter text,
// binds the animation clock and takes the map's pattern scale and offset.
// Then the instance's per-view transform is brought up to date for the
// sample's window.
#ifndef FOG_TEXTURE_SAMPLE_INSTANCE_H
#define FOG_TEXTURE_SAMPLE_INSTANCE_H

#include <cstdint>

#include "cad_host.h"
#include "fog_params.h"

// The host's handle for this module, recorded by initialize; passed back
// with every notice registration.
extern int32_t hostHandle;

// Name given to the fallback material.
inline constexpr char FALLBACK_MATERIAL_NAME[] = "Unknown material";

// params of the instance serving the sample, found or created, with its
// per-view state brought up to date; the instance is current. Null when no
// instance can be allocated (or before the module's set-up).
FogTextureParams *textureInstance_forSample(const TextureSample *sample);

// The shared fallback material, created on first need; null when the host
// cannot create it.
XelMaterial *fallbackMaterial_get();

// Frees the fallback material, if there is one.
void fallbackMaterial_release();

#endif
