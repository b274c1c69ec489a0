// point_transform.h - carries a renderer's shading point into the fog's
// pattern space.
//
// A sample gives its point in view coordinates, as a screen position with
// depth, or only as surface coordinates u and v. Pattern space is the model in
// master units (or sub-units), divided by the pattern scale, less the pattern
// offset, optionally taken relative to an origin the renderer supplies.
//
// The work is split in two. setUpViewTransform asks the host once per
// instance and view for everything it needs (view rotation and origin, unit
// scale, screen extent, the ray tracer's alternative transform) and stores
// the numbers in one of the instance's nine TransformSlot records;
// transformSamplePoint then only applies them, with no host call and no
// allocation. Both work on the current texture instance.
#ifndef FOG_TEXTURE_POINT_TRANSFORM_H
#define FOG_TEXTURE_POINT_TRANSFORM_H

#include <cstdint>

#include "cad_host.h"

// One view's prepared transform. Slot k of an instance serves host view
// number k - 1: slot 0 is for samples without a window, slots 1..8 for views
// 0..7.
struct TransformSlot {
  int32_t prepared;       // non-zero once set up; a prepared slot is never recomputed
  double hostOrigin[3];   // host's active point 54 times the unit scale; subtracted last
  double translation[3];  // view origin carried into pattern space
  double screenScale[3];  // 2 / screen width, height, depth range; 0 for a zero extent
  double screenCenter[3]; // centre of the screen rectangle and of the depth range
  float screenToView[16]; // 4x4, row by row: weighted screen coordinates to view
  double rotation[9];     // 3x3, row by row, columns scaled into pattern units
};

inline constexpr int TRANSFORM_SLOT_COUNT = 9;

// Host symbol value kind used for every expression lookup of the module.
inline constexpr int32_t HOST_VALUE_KIND = 32;

// Chooses the current instance's slot for the sample's view and prepares it
// unless it already is; finding it prepared locks the instance on that slot.
// A window whose view number lies outside 0..7 is treated as no window, so the
// slot index always stays within the nine slots.
void setUpViewTransform(const TextureSample *sample);

// Writes the pattern-space point of the sample, using the current instance's
// chosen slot. A sample that carries no point at all is taken at the view
// origin. Without a current instance or chosen slot the point is (0, 0, 0).
void transformSamplePoint(float point[3], const TextureSample *sample);

#endif
