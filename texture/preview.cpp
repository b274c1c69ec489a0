// preview.cpp - dlmTextureDisplay: the material editor's picture of the fog.
//
// The picture always shows the module's defaults: while it draws, the active
// parameter block is pointed at the defaults so that the preview instance
// (material id -1, map 1, no name), made on the first preview, copies them.
// Everything the picture changes besides that instance (the active block,
// the host's user-abort handling) is restored on every way out.
#include "preview.h"

#include <cmath>
#include <cstddef>

#include "fog_params.h"
#include "instance_cache.h"

namespace {

constexpr int32_t PREVIEW_MATERIAL_ID = -1;
constexpr int32_t PREVIEW_MAP_NUMBER = 1;
constexpr int32_t COMMAND_QUEUE = 0;
constexpr int32_t COMMAND_FLAGS = 1;

FogTextureParams *previewInstance() {
  FogTextureParams *params = textureInstance_find(PREVIEW_MATERIAL_ID, PREVIEW_MAP_NUMBER);
  return params ? params : textureInstance_create(PREVIEW_MATERIAL_ID, PREVIEW_MAP_NUMBER, "");
}

void tellHostPictureEnded() {
  if (textureModuleDescription.dialogMode != 0)
    xelDialog_cmdNumberQueue(COMMAND_QUEUE, XEL_CMD_TEXTURE_PREVIEW_DONE,
                             textureModuleDescription.textureName, COMMAND_FLAGS);
}

// Returns 0 when every pixel was drawn, PREVIEW_ABORTED when the abort test
// stopped the picture.
int32_t drawPicture(uint8_t *image, int32_t width, int32_t height, PreviewAbortTest abortTest) {
  TextureSample sample{};
  sample.flags = SAMPLE_UV;
  sample.windowId = 0;
  sample.materialId = PREVIEW_MATERIAL_ID;

  const size_t rowBytes = 3 * size_t(width);
  const float stepU = static_cast<float>(double(textureModuleDescription.previewExtentU) / width);
  const float stepV = static_cast<float>(double(textureModuleDescription.previewExtentV) / height);
  float v = 0.0f;
  for (int32_t row = 0; row < height; ++row) {
    uint8_t *red = image + rowBytes * size_t(row);
    uint8_t *green = red + width;
    uint8_t *blue = green + width;
    float u = 0.0f;
    for (int32_t column = 0; column < width; ++column) {
      if (abortTest && abortTest() != 0) return PREVIEW_ABORTED;
      sample.u = u;
      sample.v = v;
      TextureColor color{};
      dlmTextureProcedure(&color, &sample);
      red[column] = previewByte(color.red);
      green[column] = previewByte(color.green);
      blue[column] = previewByte(color.blue);
      u = u + stepU; // accumulated in single precision, as the host's previews are
    }
    v = v + stepV;
  }
  return 0;
}

} // namespace

uint8_t previewByte(float component) {
  if (component > 255.0f) return 255;
  if (!(component >= 0.0f)) return 0;
  return static_cast<uint8_t>(static_cast<int32_t>(component));
}

FOG_TEXTURE_EXPORT int32_t dlmTextureDisplay(uint8_t *image, int32_t *size,
                                             PreviewAbortTest abortTest) {
  FogTextureParams *remembered = activeFogParams;
  try {
    textureModule_ensureSetUp(0);
    remembered = activeFogParams;
    const TextureModuleDescription &module = textureModuleDescription;
    if (!image) {
      if (size) {
        size[0] = module.defaultImageWidth;
        size[1] = module.defaultImageHeight;
      }
      return 0;
    }
    int32_t width = size && size[0] > 0 ? size[0] : module.defaultImageWidth;
    int32_t height = size && size[1] > 0 ? size[1] : module.defaultImageHeight;

    activeFogParams = &fogParamDefaults;
    if (!previewInstance()) {
      // Without its instance every pixel would have to be made from a
      // material while the defaults are active; the picture is not drawn
      // and not reported as complete.
      tellHostPictureEnded();
      activeFogParams = remembered;
      return PREVIEW_ABORTED;
    }

    xelSystem_userAbortEnable(0);
    int32_t result = drawPicture(image, width, height, abortTest);
    xelSystem_userAbortEnable(1);
    tellHostPictureEnded();
    activeFogParams = remembered;
    return result;
  } catch (...) {
    activeFogParams = remembered;
    return PREVIEW_ABORTED;
  }
}
