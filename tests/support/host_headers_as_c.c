/* The two host contracts are plain C: this file compiles them as C11 with
 * pedantic errors, so a C++-only construct in either header fails the build. */
#include "cad_host.h"
#include "viewer_host.h"

size_t hostHeadersAsCRecordSizes(void);

size_t hostHeadersAsCRecordSizes(void) {
  return sizeof(FeatureLayerMethods) + sizeof(SceneOps) + sizeof(UikColor) + sizeof(TextureSample) +
         sizeof(TextureColor) + sizeof(XelMap) + sizeof(XelMaterial);
}
