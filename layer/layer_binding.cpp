// layer_binding.cpp - fills a Mist layer's FeatureLayerMethods slots. Every
// slot not named here keeps the host's own entry.
#include "fog_layer.h"

void fogLayer_bindMethods(FeatureLayerMethods *methods) {
  (void)methods;
}
