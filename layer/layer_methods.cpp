// layer_methods.cpp - the slots of a Mist layer that the viewer calls for its
// layer stack and its command scripts, and the layer's close.
#include "layer_methods.h"

#include "entry_points.h"
#include "fog_file.h"
#include "fog_layer.h"

namespace {

constexpr int32_t kLabelSize = 256;

FogLayer *recordOf(FeatureLayer *layer) {
  return layer != nullptr ? fogLayerOf(layer) : nullptr;
}

} // namespace

int32_t fogLayer_close(FeatureLayer *layer) noexcept {
  if (layer == nullptr) return 0;
  FogLayer *fog = fogLayerOf(layer);
  if (fog != nullptr) {
    fogFile_offerSave(layer);
    // The frame copy is the layer's whether it is on display or hidden;
    // either way nothing else would ever free it.
    if (fog->propertiesFrame != nullptr) {
      ErrorReport error = nullptr;
      uik_PartFree(fog->propertiesFrame, &error);
      fog->propertiesFrame = nullptr;
      fog->propertiesShown = 0;
    }
  }
  return fogLayer_release(layer);
}

char *fogLayer_fileNameGet(FeatureLayer *layer) noexcept {
  FogLayer *fog = recordOf(layer);
  return fog != nullptr ? hstr_Duplicate(fog->fileName) : nullptr;
}

void fogLayer_scriptCommandWrite(FeatureLayer *layer, HfioFile *file) noexcept {
  FogLayer *fog = recordOf(layer);
  if (fog == nullptr || file == nullptr) return;
  hfio_Fprintf(file, "\tADDFEATURELAYER \"%s\" ", fogLayerTypeName);
  if (fog->arguments != nullptr) {
    for (int32_t i = 0; i < fog->argumentCount; ++i) {
      const char *argument = fog->arguments[i];
      hfio_Fprintf(file, "\"%s\" ", argument != nullptr ? argument : "");
    }
  }
  hfio_Fprintf(file, ";\n");
}

char *fogLayer_labelGet(FeatureLayer *layer) noexcept {
  FogLayer *fog = recordOf(layer);
  if (fog == nullptr) return nullptr;
  if (fog->fileName == nullptr) return hstr_Duplicate(fogLayerTypeName);
  char label[kLabelSize];
  label[0] = '\0';
  hstr_GetNamePart(fog->fileName, label, kLabelSize);
  label[kLabelSize - 1] = '\0';
  return hstr_Duplicate(label);
}

UikPart *fogLayer_menuGet(FeatureLayer *) noexcept {
  if (pluginScript == nullptr) return nullptr;
  Scene *scene = scape_ViewerGetScene();
  if (scene == nullptr || scene->ops == nullptr || scene->ops->sceneFramePart == nullptr) {
    return nullptr;
  }
  UikPart *scenePart = scene->ops->sceneFramePart(scene);
  ErrorReport error = nullptr;
  UikPart *menu = uik_FindMenu(pluginScript, "vlfogmenu", &error);
  if (menu == nullptr) return nullptr;
  return uik_MenuExtract(menu, scenePart, &error);
}

void fogLayer_popupGet(FeatureLayer *, const char **popupName, UikScript **script) noexcept {
  if (popupName != nullptr) *popupName = "vlfog_stacker_popup";
  if (script != nullptr) *script = pluginScript;
}
