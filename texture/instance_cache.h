// instance_cache.h - the fog texture's cache of parsed material instances.
//
// The renderer shades many points of each material, in several views.
// Parsing a material's parameter text and preparing a view's transform happen
// once; the results live in a TextureInstance, one per material id and map
// number, in a singly linked list owned by the module (newest first). The
// instance found or created last is the current instance: the point transform
// and the shading of a sample reach their instance through it.
//
// Lookups return the address of the instance's params, not of the instance.
// Instances are freed only all together (textureInstance_releaseAll, run by
// dlmTextureCleanup).
#ifndef FOG_TEXTURE_INSTANCE_CACHE_H
#define FOG_TEXTURE_INSTANCE_CACHE_H

#include <cstddef>
#include <cstdint>

#include "fog_params.h"
#include "point_transform.h"

inline constexpr size_t MATERIAL_NAME_SIZE = 256;

// lastAltRender when no per-view set-up has run since creation or reset.
inline constexpr int16_t ALT_RENDER_NONE = 2;

// One cache entry. Fields in this order; params last.
struct TextureInstance {
  int32_t materialId;    // key: 0 for samples without an id (then the name keys), -1 preview
  int32_t mapNumber;     // key: 1, or 2 for samples flagged SAMPLE_SECOND_MAP
  int16_t viewLocked;    // set when the view's slot was found prepared; no set-up runs then
  int16_t lastAltRender; // SAMPLE_ALT_RENDER at the last set-up as 0 or 1; 2: none yet
  int32_t lastWindowId;  // windowId at the last set-up; -1: none yet
  char materialName[MATERIAL_NAME_SIZE]; // at most 255 characters, zero-terminated
  TextureInstance *next;                 // null at the tail
  double patternOffset[3];               // x, y from the map, z from fog_pattern_offset_z
  double patternScale[3];                // x, y from the map, z from fog_pattern_scale_z
  float inverseScaleZ;                   // 1 / patternScale z; 0 when that scale is 0
  int32_t mapMode;                       // the map's mode word; 2 selects sub-units
  int32_t relativeCoords;                // non-zero: subtract the sample's relative origin
  TransformSlot *currentSlot;            // slot chosen by the last set-up; null until then
  TransformSlot transformSlots[TRANSFORM_SLOT_COUNT];
  FogTextureParams params; // private copy of the parameter block
};

// params of the first instance from the head keyed by (materialId,
// mapNumber), made current; null when none, the current instance unchanged.
FogTextureParams *textureInstance_find(int32_t materialId, int32_t mapNumber);

// params of the first instance from the head whose materialName equals the
// name (case-sensitive) and whose mapNumber matches, whatever its id; made
// current. A name of 256 characters or more is compared by the 255 characters
// an instance keeps of it, so a long-named material still finds its own
// instance.
FogTextureParams *textureInstance_findByName(const char *name, int32_t mapNumber);

// A new, fresh instance at the head of the list, copying the block that
// activeFogParams designates (the defaults when it is null), made current.
// Null, with no current instance, when it cannot be allocated. The name is
// kept to its first 255 characters; a null name is taken as empty.
FogTextureParams *textureInstance_create(int32_t materialId, int32_t mapNumber, const char *name);

// Advances a caller-held cursor (start with null) and returns the params of
// the instance it then holds; null at the end or for a null cursor address.
FogTextureParams *textureInstance_next(TextureInstance **cursor);

// The instance found or created last; null when none.
TextureInstance *textureInstance_current();

// Frees every instance; afterwards the list and the current instance are null.
void textureInstance_releaseAll();

// Instances are allocated through this function (zero-filled, like calloc,
// and released with free) so that tests can make an allocation fail; null
// restores calloc.
using TextureInstanceAllocator = void *(*)(size_t count, size_t size);
void textureInstance_setAllocator(TextureInstanceAllocator allocator);

// Export: forgets the per-view transform state of every instance. Returns 0.
extern "C" __attribute__((visibility("default"))) int32_t dlmResetTransform(void);

#endif
