// instance_cache.cpp - the list of texture instances, its lookups, creation,
// the per-view reset export and the release of the whole cache.
#include "instance_cache.h"

#include <cstdlib>
#include <cstring>

namespace {

TextureInstance *instanceListHead = nullptr;
TextureInstance *currentInstance = nullptr;
TextureInstanceAllocator instanceAllocator = nullptr;

// The form in which an instance keeps a name: its first 255 characters.
// Reads at most 255 bytes of the given text, so a host name that is not
// terminated within that reach cannot be overrun.
void keyOfName(const char *name, char key[MATERIAL_NAME_SIZE]) {
  size_t length = name ? strnlen(name, MATERIAL_NAME_SIZE - 1) : 0;
  if (length > 0) memcpy(key, name, length);
  key[length] = '\0';
}

void makeFresh(TextureInstance *instance) {
  for (TransformSlot &slot : instance->transformSlots) slot.prepared = 0;
  instance->lastWindowId = -1;
  instance->viewLocked = 0;
  instance->lastAltRender = ALT_RENDER_NONE;
}

} // namespace

FogTextureParams *textureInstance_find(int32_t materialId, int32_t mapNumber) {
  for (TextureInstance *instance = instanceListHead; instance; instance = instance->next) {
    if (instance->materialId == materialId && instance->mapNumber == mapNumber) {
      currentInstance = instance;
      return &instance->params;
    }
  }
  return nullptr;
}

FogTextureParams *textureInstance_findByName(const char *name, int32_t mapNumber) {
  char key[MATERIAL_NAME_SIZE];
  keyOfName(name, key);
  for (TextureInstance *instance = instanceListHead; instance; instance = instance->next) {
    if (instance->mapNumber == mapNumber && strcmp(instance->materialName, key) == 0) {
      currentInstance = instance;
      return &instance->params;
    }
  }
  return nullptr;
}

FogTextureParams *textureInstance_create(int32_t materialId, int32_t mapNumber, const char *name) {
  void *memory = instanceAllocator ? instanceAllocator(1, sizeof(TextureInstance))
                                   : calloc(1, sizeof(TextureInstance));
  if (!memory) {
    currentInstance = nullptr;
    return nullptr;
  }
  auto *instance = static_cast<TextureInstance *>(memory);
  instance->next = instanceListHead;
  instance->materialId = materialId;
  instance->mapNumber = mapNumber;
  keyOfName(name, instance->materialName);
  // The whole block is copied: on this platform it is larger than the
  // host's 32-bit layout, and a shorter copy would cut timeSource.
  const FogTextureParams *source = activeFogParams ? activeFogParams : &fogParamDefaults;
  memcpy(&instance->params, source, FOG_PARAM_BLOCK_SIZE);
  instanceListHead = instance;
  for (double &scale : instance->patternScale) scale = 1.0;
  instance->inverseScaleZ = 1.0f;
  makeFresh(instance);
  currentInstance = instance;
  return &instance->params;
}

FogTextureParams *textureInstance_next(TextureInstance **cursor) {
  if (!cursor) return nullptr;
  TextureInstance *next = *cursor ? (*cursor)->next : instanceListHead;
  *cursor = next;
  return next ? &next->params : nullptr;
}

TextureInstance *textureInstance_current() {
  return currentInstance;
}

void textureInstance_releaseAll() {
  TextureInstance *instance = instanceListHead;
  while (instance) {
    TextureInstance *next = instance->next;
    free(instance);
    instance = next;
  }
  instanceListHead = nullptr;
  currentInstance = nullptr;
}

void textureInstance_setAllocator(TextureInstanceAllocator allocator) {
  instanceAllocator = allocator;
}

extern "C" __attribute__((visibility("default"))) int32_t dlmResetTransform(void) {
  for (TextureInstance *instance = instanceListHead; instance; instance = instance->next)
    makeFresh(instance);
  return 0;
}
