// parameter_text.cpp - the module's one-time set-up, the published default
// parameter list and the parser of a material's parameter text.
#include "parameter_text.h"

#include <string>

#include "parameter_values.h"

extern "C" {
__attribute__((visibility("default"))) XelStringList dlmTextureParameters = nullptr;
}

namespace {

bool isAsciiSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Every parse and default-list build starts the active block from the
// defaults. The whole record is copied: a shorter copy would cut the
// timeSource address in two.
void resetActiveBlock() {
  FogTextureParams *defaults = textureModuleDescription.defaultParams;
  if (activeFogParams == nullptr || defaults == nullptr || activeFogParams == defaults) {
    return;
  }
  *activeFogParams = *defaults;
}

} // namespace

void textureModule_setUp(uint32_t paramBlockSize, FogTextureParams *defaultParams,
                         FogTextureParams *activeParams, double *scaleZParam, double *offsetZParam,
                         int32_t *relativeCoordsParam, int32_t defaultImageWidth,
                         int32_t defaultImageHeight, double previewExtentU, double previewExtentV,
                         int32_t dialogMode, const char *textureName) noexcept {
  TextureModuleDescription &d = textureModuleDescription;
  d.paramBlockSize = paramBlockSize;
  d.defaultParams = defaultParams;
  activeFogParams = activeParams;
  d.scaleZParam = scaleZParam;
  d.offsetZParam = offsetZParam;
  d.relativeCoordsParam = relativeCoordsParam;
  d.defaultImageWidth = defaultImageWidth;
  d.defaultImageHeight = defaultImageHeight;
  d.previewExtentU = float(previewExtentU);
  d.previewExtentV = float(previewExtentV);
  d.dialogMode = dialogMode;
  d.textureName = textureName;
  if (dialogMode == 0) {
    buildDefaultParameterList();
  }
}

void buildDefaultParameterList() noexcept {
  if (dlmTextureParameters != nullptr) {
    return;
  }
  dlmTextureParameters = xelStringList_create(0, 0);
  if (dlmTextureParameters == nullptr) {
    return;
  }
  resetActiveBlock();
  appendParameterLines(dlmTextureParameters, fogParameterTable);
}

void parseMaterialParameters(XelMaterial *material, int32_t secondMap) noexcept {
  resetActiveBlock();
  if (material == nullptr) {
    return;
  }
  XelMap *map = xelMaterial_getMap(material, secondMap == 1 ? 2 : 1, 0);
  if (map == nullptr) {
    return;
  }
  XelStringList list = xelMaterial_getMapUserData(map);
  if (list == nullptr) {
    return;
  }
  parseParameterList(list, fogParameterTable);
}

char *matchParameterName(char *memberText, const char *name) noexcept {
  if (memberText == nullptr || name == nullptr) {
    return nullptr;
  }
  size_t i = 0;
  for (; name[i] != '\0'; ++i) {
    char &c = memberText[i];
    if (c == '\0') {
      return nullptr;
    }
    if (c >= 'A' && c <= 'Z') {
      c = char(c - 'A' + 'a');
    }
    if (c != name[i]) {
      return nullptr;
    }
  }
  // The name must end here: fog_primary_color is not fog_primary_color_name.
  if (!isAsciiSpace(memberText[i])) {
    return nullptr;
  }
  return memberText + i + 1;
}

void parseParameterList(XelStringList list, const ParameterDescriptor *table) noexcept {
  if (list == nullptr || table == nullptr) {
    return;
  }
  for (const ParameterDescriptor *row = table; row->name != nullptr; ++row) {
    const int32_t size = xelStringList_size(list);
    // From the back, so that the member nearest the front is read last and wins.
    for (int32_t index = size - 1; index >= 0; --index) {
      char *text = nullptr;
      if (xelStringList_getMember(&text, nullptr, list, index) != 0 || text == nullptr) {
        continue;
      }
      if (const char *value = matchParameterName(text, row->name)) {
        readParameterValue(*row, value);
      }
    }
  }
}

bool appendParameterLines(XelStringList list, const ParameterDescriptor *table) noexcept {
  if (list == nullptr || table == nullptr) {
    return true;
  }
  try {
    std::string line; // reused: its room only grows
    for (const ParameterDescriptor *row = table; row->name != nullptr; ++row) {
      line.clear();
      appendParameterLine(line, *row);
      int32_t index = -1;
      if (xelStringList_insertMember(&index, list, -1, 1) == 0) {
        xelStringList_setMember(list, index, line.c_str(), nullptr);
      }
    }
  } catch (...) { // a line that cannot grow ends the build
    return false;
  }
  return true;
}
