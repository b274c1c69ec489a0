// material_table.h - the host's materials as the rendering library
// (libcadrender.so) reaches them. The tables themselves live in
// libcadhost.so beside the control API, so a program can set materials up
// without loading the rendering library.
#pragma once

#include <cstdint>

#include "cad_host.h"

namespace cadhost::detail {

// The host table's material with that id, or null.
XelMaterial *materialFromHostTable(int32_t id) noexcept;
// The ray tracer's material with that id, or null.
XelMaterial *materialFromRayTracerTable(int32_t id) noexcept;
// A new empty material (id 0, empty name, no maps) owned by the caller;
// null when creation fails or is planned to fail.
XelMaterial *createMaterial() noexcept;
// Releases a material from createMaterial; anything else is left alone.
void freeCreatedMaterial(XelMaterial *material) noexcept;
// Whether the pointer is a live material of any table or of createMaterial.
bool isLiveMaterial(const XelMaterial *material) noexcept;
// Whether the pointer is a map of a live material.
bool isLiveMap(const XelMap *map) noexcept;

} // namespace cadhost::detail
