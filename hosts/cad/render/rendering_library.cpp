// rendering_library.cpp - libcadrender.so, the CAD renderer's material
// library: materials by id, new materials and their release, a material's
// maps and a map's user data. The material tables live in libcadhost.so;
// this library serves them under the xelMaterial_ names.
//
// No operation here calls another exported one, so nothing a process
// defines under the same names can stand in between.
#include "host/host_state.h"
#include "host/material_table.h"

using namespace cadhost::detail;

extern "C" {

XelMaterial *xelMaterial_findFromId(int32_t id) {
  countCall("xelMaterial_findFromId");
  return materialFromHostTable(id);
}

XelMaterial *xelMaterial_create(void) {
  countCall("xelMaterial_create");
  return createMaterial();
}

void xelMaterial_free(XelMaterial *material) {
  countCall("xelMaterial_free");
  freeCreatedMaterial(material);
}

XelMap *xelMaterial_getMap(XelMaterial *material, int32_t mapNumber, int32_t) {
  countCall("xelMaterial_getMap");
  if (!isLiveMaterial(material)) return nullptr;
  switch (mapNumber) {
    case 1:
      return material->maps[0];
    case 2:
      return material->maps[1];
    case -1:
      return material->maps[0] != nullptr ? material->maps[0] : material->maps[1];
    default:
      return nullptr;
  }
}

XelStringList xelMaterial_getMapUserData(XelMap *map) {
  countCall("xelMaterial_getMapUserData");
  return isLiveMap(map) ? map->userData : nullptr;
}

} // extern "C"
