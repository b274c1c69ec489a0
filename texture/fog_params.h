// fog_params.h - the fog texture's parameter block, its defaults, the table
// that names, types and locates each parameter, and the module description.
//
// A FogTextureParams block holds the twelve parameters a material gives the
// fog plus three working fields (useUV, animated, timeSource). The module
// keeps three blocks of its own: the constant defaults, the working block
// that the parameter text is parsed into, and a pointer to the block that a
// parse or a new instance starts from. The module description records the
// module-wide values handed over once, at the first dlmTextureCleanup.
//
// All of it is module-wide state without locks: the host calls the module
// from one thread, one call at a time.
#ifndef FOG_TEXTURE_FOG_PARAMS_H
#define FOG_TEXTURE_FOG_PARAMS_H

#include <cstdint>

// The fog parameters of one material. Plain record, fields in this order.
struct FogTextureParams {
  int32_t relativeCoords;    // non-zero: subtract the sample's relative origin
  float driftSpeed;          // pattern units per second along x
  float swirlSpeed;          // degrees per second around the swirl ellipse
  double patternScaleZ;      // the map supplies x and y
  double patternOffsetZ;     // the map supplies x and y
  char primaryColorName[20]; // display name, terminated within the 20 bytes
  double primaryColor[3];    // red, green, blue, nominally 0..1
  float minimumDensity;      // density where the pattern is thinnest
  float maximumDensity;      // density where the pattern is thickest
  float thickness;           // gain on the second fractal sum
  float contrast;            // exponent applied to the scaled sum
  float levelOfDetail;       // octaves, fractional allowed
  int32_t useUV;             // working: shade at (u, v) instead of the 3-D point
  int32_t animated;          // working: drift or swirl is non-zero
  const double *timeSource;  // working: where the animation time is read; never null
};

// The bytes copied between parameter blocks and reserved for an instance's
// block. The host's 32-bit layout has 112; here the block is larger because
// timeSource is a 64-bit address, and the whole block must be copied.
inline constexpr uint32_t FOG_PARAM_BLOCK_SIZE = sizeof(FogTextureParams);

// Holds 0.0 from load to unload and is never written; a block without a live
// animation clock reads its time here.
extern const double staticZeroTime;

// The built-in defaults. The module never writes this block; it is not const
// only because activeFogParams designates it while a preview is drawn.
extern FogTextureParams fogParamDefaults;

// The working block: every parse writes into it, and the parameter table
// addresses its fields. All zero until the first parse or default-list build.
extern FogTextureParams currentFogParams;

// The block that a parse or default-list build resets to the defaults and
// that a new instance copies: currentFogParams from the set-up on, and
// fogParamDefaults while a preview is drawn. Null before the set-up.
extern FogTextureParams *activeFogParams;

// Type codes of ParameterDescriptor::type: how a parameter's value is stored.
enum : int32_t {
  PARAM_INT32 = 1,     // int32
  PARAM_UINT32 = 2,    // uint32
  PARAM_FLOAT = 3,     // float
  PARAM_DOUBLE = 4,    // double
  PARAM_NAME20 = 5,    // 20 bytes of text
  PARAM_DOUBLE3 = 6,   // three doubles
  PARAM_TEXT = 7,      // `size` bytes of text
  PARAM_INT64 = 8,     // int64
  PARAM_UINT64 = 9,    // uint64
  PARAM_ARRAY = 0x8000 // or-ed in: an array of elements of the base type
};

// One row of a parameter table.
struct ParameterDescriptor {
  const char *name; // all lower case; null ends the table
  void *value;      // the field that holds the value
  int32_t type;     // a type code, possibly with PARAM_ARRAY
  int32_t size;     // PARAM_TEXT only: bytes of the field, terminator included; else 0
  int32_t *count;   // arrays only: where the element count is kept; else null
};

inline constexpr int FOG_PARAMETER_COUNT = 12;

// The twelve fog parameters in their published order, then an all-zero row.
// Every value designates a field of currentFogParams.
extern const ParameterDescriptor fogParameterTable[FOG_PARAMETER_COUNT + 1];

// Module-wide values recorded once by textureModule_setUp; 0 and null until
// then. (The active block is the separate pointer activeFogParams.)
struct TextureModuleDescription {
  uint32_t paramBlockSize;         // bytes copied between parameter blocks
  FogTextureParams *defaultParams; // start of every parse and default-list build
  double *scaleZParam;             // patternScaleZ of currentFogParams
  double *offsetZParam;            // patternOffsetZ of currentFogParams
  int32_t *relativeCoordsParam;    // relativeCoords of currentFogParams
  int32_t defaultImageWidth;       // preview width; screen width when the host gives none
  int32_t defaultImageHeight;      // the same for the height
  float previewExtentU;            // range of u the preview covers
  float previewExtentV;            // range of v the preview covers
  int32_t dialogMode;              // argument of the first dlmTextureCleanup
  const char *textureName;         // "fog"
};

extern TextureModuleDescription textureModuleDescription;

#endif
