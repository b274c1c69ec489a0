// attribute_tags.h - the Mist layer's attribute slots. The host reads and
// changes a layer's numbers without knowing its record, through a variable
// argument list of tags, each followed by its values (set) or by pointers
// that receive them (get), ended by the tag 0:
//
//   1  density                  get: double *        set: double
//   2  planeCount               get: int32_t *       set: int32_t
//   3  bottomElevation          get: double *        set: double
//   4  topElevation             get: double *        set: double
//   5  xMin, yMin, xMax, yMax   get: 4 x double *    set: 4 x double
//   6  red, green, blue         get: double[3] *     set: const double[3] *
//
// Tags are read left to right; the same tag may come more than once (a later
// set wins). A tag not in the list consumes nothing: the next argument is
// read as the next tag.
#pragma once

#include <cstdint>

#include "viewer_host.h"

enum FogAttributeTag : int32_t {
  FOG_ATTRIBUTE_END = 0,
  FOG_ATTRIBUTE_DENSITY = 1,
  FOG_ATTRIBUTE_PLANE_COUNT = 2,
  FOG_ATTRIBUTE_BOTTOM_ELEVATION = 3,
  FOG_ATTRIBUTE_TOP_ELEVATION = 4,
  FOG_ATTRIBUTE_RECTANGLE = 5,
  FOG_ATTRIBUTE_COLOR = 6,
};

// The attributesGet slot. The plane count is delivered truncated toward zero
// (saturated to the int32 range, NaN as 0). A null pointer after a tag
// receives nothing. The error report is not used. Returns 0.
int32_t fogLayer_attributesGet(FeatureLayer *layer, ErrorReport *error, ...) noexcept;

// The attributesSet slot. Stores the values as given, unchecked; it does not
// mark the layer modified, ask for a redraw or touch the stack icon. A null
// colour pointer changes nothing. The error report is not used.
void fogLayer_attributesSet(FeatureLayer *layer, ErrorReport *error, ...) noexcept;
