// layer_binding.cpp - fills a Mist layer's FeatureLayerMethods slots. Every
// slot not named here keeps the host's own entry.
#include "attribute_tags.h"
#include "entry_points.h"
#include "fog_draw.h"
#include "fog_file.h"
#include "fog_layer.h"
#include "layer_methods.h"
#include "stack_icon.h"

void fogLayer_bindMethods(FeatureLayerMethods *methods) {
  if (methods == nullptr) return;
  methods->close = fogLayer_close;
  methods->draw = fogLayer_draw;
  methods->extListGetA = fogInstanceExtListGet;
  methods->extListGetB = fogInstanceExtListGet;
#if !defined(FOG_EARLIER_BUILD)
  // The earlier build leaves the host's own file name entry in place.
  methods->fileNameGet = fogLayer_fileNameGet;
#endif
  methods->typeNameGet = fogvlLayerGetTypeName;
  methods->save = fogFile_save;
  methods->stackIconGet = fogLayer_stackIconGet;
  methods->scriptCommandWrite = fogLayer_scriptCommandWrite;
  methods->labelGet = fogLayer_labelGet;
  methods->menuGet = fogLayer_menuGet;
  methods->popupGet = fogLayer_popupGet;
  methods->secondDraw = fogLayer_secondDraw;
  methods->reserved14 = nullptr;
  methods->attributesSet = fogLayer_attributesSet;
  methods->attributesGet = fogLayer_attributesGet;
}
