// scene_job.h - the steps the scene and the animation share: turning the
// material option into the host material's parameter text, and putting the
// host and the module in the state a render starts from.
#pragma once

#include <string>

#include "cad_world.h"
#include "commands.h"

namespace fogrender {

// The material of `options`: the checked lines of its file, named after the
// file, or the module's own default list when no file is given. False, after
// reporting the file and line on standard error, for a bad file.
bool loadFogMaterial(const TextureModule &module, const SceneOptions &options,
                     FogMaterial &material);

// Drops the module's cached instances (so the material's text is read
// afresh), installs the material and the camera's view in the host and sets
// the clock to `seconds`.
void prepareFogRender(const TextureModule &module, const FogMaterial &material,
                      const PixelCamera &camera, double seconds);

} // namespace fogrender
