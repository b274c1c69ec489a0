// fog_layer.h - the private record of one Mist layer and the layer set-up
// shared by creating a layer and opening one from a fog file.
#pragma once

#include <cstdint>

#include "viewer_host.h"

// One Mist layer. Lives on the host heap from creation or opening until the
// layer's close slot; reachable only through its FeatureLayer.
struct FogLayer {
  Scene *scene;          // all scene queries go here
  HostLayer *hostLayer;  // the layer the Mist layer was made for
  char *fileName;        // owned host-heap copy, or null
  int32_t argumentCount; // entries in arguments (0 with null)
  char **arguments;      // owned host-heap copies of the argument strings
  int32_t hostArgument;  // stored, never read
  UikRoot *uiRoot;       // stored, never read
  UikCanvas *iconCanvas; // cached stack icon, owned by the toolkit
  int32_t modified;      // properties changed since the last save
  double xMin;
  double yMin;
  double xMax;
  double yMax;
  double topElevation; // nothing orders top and bottom
  double bottomElevation;
  double density;           // alpha of one plane, not clamped
  double planeCount;        // used as its integer part, truncated toward zero
  UikPart *propertiesFrame; // this layer's own copy, made at first show
  int32_t propertiesShown;
  int32_t visible;
  double red;
  double green;
  double blue;
};

// The record behind a feature layer.
inline FogLayer *fogLayerOf(FeatureLayer *layer) {
  return static_cast<FogLayer *>(layer->privateData);
}

// Steps shared by creation and opening: the host layer object, the record,
// scene, file name, flags, argument copies and method slots. Returns null,
// with nothing left allocated, when the host heap cannot supply the layer,
// the record or a string copy, or when the host layer belongs to no scene
// (a layer without a scene could neither be measured nor drawn). A negative
// count, or a null array, gives a layer without argument copies. The ground
// extents are the caller's next step.
FeatureLayer *fogLayer_setUp(HostLayer *hostLayer, int32_t hostArgument, int32_t argumentCount,
                             char **arguments);

// Stores the scene's ground rectangle in the record.
void fogLayer_readGroundExtents(FogLayer *fog);

// Frees everything fogLayer_setUp made: the argument copies and the file
// name, then the host layer object, then the record. The result is that of
// freeing the record (0 = freed). A null layer gives 0.
int32_t fogLayer_release(FeatureLayer *layer);

// Fills the layer's FeatureLayerMethods slots with the Mist functions.
void fogLayer_bindMethods(FeatureLayerMethods *methods);
