// materials.cpp - the host's materials: the table the rendering library
// searches by id, the ray tracer's own table, and the materials that
// callers create and free. Each material record owns its maps, and each map
// owns the string list that holds its parameter text.
#include <algorithm>
#include <cstring>
#include <memory>

#include "host_state.h"
#include "material_table.h"

namespace cadhost {
namespace {

// The record comes first so that its address is the material handed out.
struct OwnedMaterial {
  XelMaterial record{};
  XelMap maps[2]{};

  ~OwnedMaterial() {
    for (XelMap &map : maps) detail::freeHostList(map.userData);
  }
};

using Table = std::vector<std::unique_ptr<OwnedMaterial>>;

struct MaterialState {
  Table hostTable;
  Table rayTracerTable;
  Table created;
  detail::FailureSwitch createFailure;
};

MaterialState &state() {
  static auto *s = new MaterialState;
  return *s;
}

template <size_t N>
void copyName(char (&field)[N], const std::string &name) {
  const size_t length = std::min(name.size(), N - 1);
  std::memcpy(field, name.data(), length);
  field[length] = '\0';
}

void fillMap(XelMap &map, int32_t number, const MapSpec &spec) {
  copyName(map.name, spec.name);
  map.number = number;
  map.mode = spec.mode;
  map.patternScale[0] = spec.patternScale[0];
  map.patternScale[1] = spec.patternScale[1];
  map.patternOffset[0] = spec.patternOffset[0];
  map.patternOffset[1] = spec.patternOffset[1];
  map.userData =
      spec.hasUserData ? detail::newHostList(splitParameterText(spec.parameterText)) : nullptr;
}

std::unique_ptr<OwnedMaterial> build(const MaterialSpec &spec) {
  auto material = std::make_unique<OwnedMaterial>();
  material->record.id = spec.id;
  copyName(material->record.name, spec.name);
  const std::optional<MapSpec> *specs[2] = {&spec.map1, &spec.map2};
  for (int i = 0; i < 2; ++i) {
    if (!specs[i]->has_value()) continue;
    fillMap(material->maps[i], i + 1, **specs[i]);
    material->record.maps[i] = &material->maps[i];
  }
  return material;
}

XelMaterial *add(Table &table, const MaterialSpec &spec) {
  auto material = build(spec);
  XelMaterial *record = &material->record;
  const auto same = std::find_if(table.begin(), table.end(),
                                 [&](const auto &m) { return m->record.id == spec.id; });
  if (same != table.end())
    *same = std::move(material);
  else
    table.push_back(std::move(material));
  return record;
}

bool remove(Table &table, int32_t id) {
  const auto same =
      std::find_if(table.begin(), table.end(), [&](const auto &m) { return m->record.id == id; });
  if (same == table.end()) return false;
  table.erase(same);
  return true;
}

XelMaterial *find(const Table &table, int32_t id) {
  for (const auto &material : table)
    if (material->record.id == id) return &material->record;
  return nullptr;
}

bool holdsMap(const Table &table, const XelMap *map) {
  return std::any_of(table.begin(), table.end(), [&](const auto &m) {
    return m->record.maps[0] == map || m->record.maps[1] == map;
  });
}

bool holds(const Table &table, const XelMaterial *record) {
  return std::any_of(table.begin(), table.end(),
                     [&](const auto &m) { return &m->record == record; });
}

} // namespace

XelMaterial *addMaterial(const MaterialSpec &spec) {
  return add(state().hostTable, spec);
}
bool removeMaterial(int32_t id) {
  return remove(state().hostTable, id);
}
XelMaterial *findMaterial(int32_t id) {
  return find(state().hostTable, id);
}
XelMaterial *addRayTracerMaterial(const MaterialSpec &spec) {
  return add(state().rayTracerTable, spec);
}
bool removeRayTracerMaterial(int32_t id) {
  return remove(state().rayTracerTable, id);
}
int32_t liveMaterials() {
  return static_cast<int32_t>(state().created.size());
}
void setMaterialCreateFailure(FailurePlan plan) {
  state().createFailure.set(plan);
}

void detail::resetMaterials() {
  state().hostTable.clear();
  state().rayTracerTable.clear();
  state().createFailure.set(kNeverFail);
}

XelMaterial *detail::materialFromHostTable(int32_t id) noexcept {
  return find(state().hostTable, id);
}

XelMaterial *detail::materialFromRayTracerTable(int32_t id) noexcept {
  return find(state().rayTracerTable, id);
}

XelMaterial *detail::createMaterial() noexcept {
  if (state().createFailure.nextCallFails()) return nullptr;
  try {
    state().created.push_back(std::make_unique<OwnedMaterial>());
    return &state().created.back()->record;
  } catch (...) {
    return nullptr;
  }
}

void detail::freeCreatedMaterial(XelMaterial *material) noexcept {
  Table &created = state().created;
  const auto same = std::find_if(created.begin(), created.end(),
                                 [&](const auto &m) { return &m->record == material; });
  if (same != created.end()) created.erase(same);
}

bool detail::isLiveMaterial(const XelMaterial *material) noexcept {
  if (material == nullptr) return false;
  return holds(state().hostTable, material) || holds(state().rayTracerTable, material) ||
         holds(state().created, material);
}

bool detail::isLiveMap(const XelMap *map) noexcept {
  if (map == nullptr) return false;
  return holdsMap(state().hostTable, map) || holdsMap(state().rayTracerTable, map) ||
         holdsMap(state().created, map);
}

} // namespace cadhost
