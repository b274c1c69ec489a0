// fog_params.cpp - the parameter blocks, the parameter table and the module
// description of the fog texture module.
//
// The defaults are written as the single-precision values the fog was tuned
// with (0.3f, 0.9f, ...); where a field is a double, the float is widened, so
// the defaults read back as 0.8999999761581421 and not 0.9.
#include "fog_params.h"

#include <cstddef>

static_assert(offsetof(FogTextureParams, relativeCoords) == 0);
static_assert(offsetof(FogTextureParams, driftSpeed) == 4);
static_assert(offsetof(FogTextureParams, swirlSpeed) == 8);
static_assert(offsetof(FogTextureParams, patternScaleZ) == 16);
static_assert(offsetof(FogTextureParams, primaryColorName) == 32);
static_assert(offsetof(FogTextureParams, primaryColor) == 56);
static_assert(offsetof(FogTextureParams, levelOfDetail) == 96);
static_assert(offsetof(FogTextureParams, timeSource) + sizeof(const double *) ==
              sizeof(FogTextureParams));

const double staticZeroTime = 0.0;

FogTextureParams fogParamDefaults = {
    1,                                 // relativeCoords
    0.3f,                              // driftSpeed
    90.0f,                             // swirlSpeed
    1.0,                               // patternScaleZ
    0.0,                               // patternOffsetZ
    "Fog Color",                       // primaryColorName
    {1.0, double(0.9f), double(0.8f)}, // primaryColor
    0.1f,                              // minimumDensity
    1.0f,                              // maximumDensity
    1.0f,                              // thickness
    1.0f,                              // contrast
    3.0f,                              // levelOfDetail
    1,                                 // useUV
    0,                                 // animated
    &staticZeroTime,                   // timeSource
};

FogTextureParams currentFogParams = {};

FogTextureParams *activeFogParams = nullptr;

const ParameterDescriptor fogParameterTable[FOG_PARAMETER_COUNT + 1] = {
    {"fog_relative_coords", &currentFogParams.relativeCoords, PARAM_INT32, 0, nullptr},
    {"fog_pattern_scale_z", &currentFogParams.patternScaleZ, PARAM_DOUBLE, 0, nullptr},
    {"fog_pattern_offset_z", &currentFogParams.patternOffsetZ, PARAM_DOUBLE, 0, nullptr},
    {"fog_primary_color_name", currentFogParams.primaryColorName, PARAM_NAME20, 0, nullptr},
    {"fog_primary_color", currentFogParams.primaryColor, PARAM_DOUBLE3, 0, nullptr},
    {"fog_minimum_density", &currentFogParams.minimumDensity, PARAM_FLOAT, 0, nullptr},
    {"fog_maximum_density", &currentFogParams.maximumDensity, PARAM_FLOAT, 0, nullptr},
    {"fog_drift_speed", &currentFogParams.driftSpeed, PARAM_FLOAT, 0, nullptr},
    {"fog_swirl_speed", &currentFogParams.swirlSpeed, PARAM_FLOAT, 0, nullptr},
    {"fog_thickness", &currentFogParams.thickness, PARAM_FLOAT, 0, nullptr},
    {"fog_contrast", &currentFogParams.contrast, PARAM_FLOAT, 0, nullptr},
    {"fog_level_of_detail", &currentFogParams.levelOfDetail, PARAM_FLOAT, 0, nullptr},
    {nullptr, nullptr, 0, 0, nullptr},
};

TextureModuleDescription textureModuleDescription = {};
