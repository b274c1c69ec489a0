// script_functions.cpp - the Mist layer's script functions: what the menu,
// the layer-stack popup and the properties frame of "vlfog.uis" call. The
// layer-stack commands go straight to the viewer; the rest show and hide a
// layer's own copy of the properties frame, and read and write the values
// it shows. A call without a context layer does nothing and gives no list.
#include "script_functions.h"

#include <climits>
#include <cstdlib>

#include "entry_points.h"
#include "fog_layer.h"
#include "layer_create.h"

namespace {

constexpr const char *kPropertiesFrameName = "fogpropertiesframe";
constexpr int32_t kFormatBufferSize = 256;

// The strings "fogsetfogproperties" takes, in order: density, plane count,
// top, bottom, red, green, blue, show flag.
constexpr int32_t kPropertyStringCount = 8;

FogLayer *fogLayerOfContext(void *context) {
  auto *layer = static_cast<FeatureLayer *>(context);
  return layer != nullptr ? fogLayerOf(layer) : nullptr;
}

// A number as the standard atof reads it. strtod reads the same text the
// same way and, unlike atof, is defined for a number beyond the range of a
// double (it gives an infinity or zero).
double numberOf(const char *text) {
  return std::strtod(text, nullptr);
}

// The show flag as the standard atoi reads it, except that a number beyond
// the 32-bit range is held at the range's end instead of being undefined.
int32_t showFlagOf(const char *text) {
  const long value = std::strtol(text, nullptr, 10);
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(value);
}

void redrawScene(Scene *scene) {
  if (scene == nullptr || scene->ops == nullptr || scene->ops->sceneRedraw == nullptr) return;
  ErrorReport error = nullptr;
  scene->ops->sceneRedraw(scene, nullptr, nullptr, &error);
}

HstrStringList *valueList(double value, ErrorReport *error) {
  return hstr_DoubleToStringList(1, &value, error);
}

// Brings up layer's properties frame: its own copy, made on the first show
// and kept, with the scene's part as source and the layer as context.
void showProperties(FeatureLayer *layer) {
  FogLayer *fog = fogLayerOf(layer);
  if (fog == nullptr) return;
  ErrorReport error = nullptr;
  if (fog->propertiesShown != 0) {
    uik_FrameDisplay(fog->propertiesFrame, &error);
    return;
  }
  if (fog->propertiesFrame == nullptr) {
    UikPart *frame = uik_PartFind(pluginScript, kPropertiesFrameName, &error);
    fog->propertiesFrame = frame != nullptr ? uik_PartDup(frame, &error) : nullptr;
  }
  // Without a frame (no parsed script yet) the layer stays "not shown", so
  // a later show tries again instead of displaying nothing for good.
  if (fog->propertiesFrame == nullptr) return;
  fog->propertiesShown = 1;

  Scene *scene = fog->scene;
  UikPart *source = nullptr;
  if (scene != nullptr && scene->ops != nullptr && scene->ops->sceneFramePart != nullptr)
    source = scene->ops->sceneFramePart(scene);
  uik_FrameSourceSet(fog->propertiesFrame, source, &error);
  uik_FrameContextSet(fog->propertiesFrame, layer, &error);
  uik_FrameDisplay(fog->propertiesFrame, &error);
}

HstrStringList *setVisibility(UikPart *, void *context, int32_t, char **, ErrorReport *) noexcept {
  if (context == nullptr) return nullptr;
  scape_ArrangeLayersToggleLayerVisibility(context);
  return nullptr;
}

HstrStringList *raiseToTop(UikPart *caller, void *context, int32_t argumentCount, char **arguments,
                           ErrorReport *error) noexcept {
  if (context == nullptr) return nullptr;
  scape_ArrangeLayersRaiseToTop(caller, context, argumentCount, arguments, error);
  return nullptr;
}

HstrStringList *lowerToBottom(UikPart *caller, void *context, int32_t argumentCount,
                              char **arguments, ErrorReport *error) noexcept {
  if (context == nullptr) return nullptr;
  scape_ArrangeLayersLowerToBottom(caller, context, argumentCount, arguments, error);
  return nullptr;
}

HstrStringList *deleteLayer(UikPart *caller, void *context, int32_t argumentCount, char **arguments,
                            ErrorReport *error) noexcept {
  if (context == nullptr) return nullptr;
  scape_ArrangeLayersDeleteLayer(caller, context, argumentCount, arguments, error);
  return nullptr;
}

HstrStringList *createModelLayer(UikPart *, void *context, int32_t argumentCount, char **arguments,
                                 ErrorReport *) noexcept {
  auto *layerContext = static_cast<LayerContext *>(context);
  if (layerContext == nullptr || layerContext->ops == nullptr ||
      layerContext->ops->createModelLayer == nullptr)
    return nullptr;
  ErrorReport error = nullptr;
  layerContext->ops->createModelLayer(layerContext, argumentCount, arguments, fogvlLayerCreate,
                                      &error);
  return nullptr;
}

HstrStringList *hideProperties(UikPart *, void *context, int32_t, char **, ErrorReport *) noexcept {
  FogLayer *fog = fogLayerOfContext(context);
  if (fog == nullptr || fog->propertiesShown == 0) return nullptr;
  fog->propertiesShown = 0;
  ErrorReport error = nullptr;
  uik_FrameRemove(fog->propertiesFrame, &error);
  return nullptr;
}

HstrStringList *showFogProperties(UikPart *, void *context, int32_t, char **,
                                  ErrorReport *) noexcept {
  auto *layerContext = static_cast<LayerContext *>(context);
  if (layerContext == nullptr || layerContext->ops == nullptr ||
      layerContext->ops->findLayerByType == nullptr)
    return nullptr;
  FeatureLayer *layer = layerContext->ops->findLayerByType(layerContext, fogLayerTypeName);
  if (layer != nullptr) showProperties(layer);
  return nullptr;
}

HstrStringList *setFogProperties(UikPart *, void *context, int32_t argumentCount, char **arguments,
                                 ErrorReport *) noexcept {
  FogLayer *fog = fogLayerOfContext(context);
  if (fog == nullptr) return nullptr;
  // Fewer than eight strings, or a missing one, changes nothing: the call
  // never reads past what it was given, and a layer is never half-updated.
  if (argumentCount < kPropertyStringCount || arguments == nullptr) return nullptr;
  for (int32_t i = 0; i < kPropertyStringCount; ++i)
    if (arguments[i] == nullptr) return nullptr;

  const double values[7] = {numberOf(arguments[0]), numberOf(arguments[1]), numberOf(arguments[2]),
                            numberOf(arguments[3]), numberOf(arguments[4]), numberOf(arguments[5]),
                            numberOf(arguments[6])};
  double *const fields[7] = {
      &fog->density, &fog->planeCount, &fog->topElevation, &fog->bottomElevation,
      &fog->red,     &fog->green,      &fog->blue};

  // Exact comparison in field order; a NaN on either side differs. Equal
  // values leave the flag as it was.
  for (int i = 0; i < 7; ++i) {
    if (!(values[i] == *fields[i])) {
      fog->modified = 1;
      break;
    }
  }
  for (int i = 0; i < 7; ++i) *fields[i] = values[i];
  fog->visible = showFlagOf(arguments[7]);

  redrawScene(fog->scene);
  return nullptr;
}

HstrStringList *getFogColor(UikPart *, void *context, int32_t, char **, ErrorReport *) noexcept {
  FogLayer *fog = fogLayerOfContext(context);
  if (fog == nullptr) return nullptr;
  ErrorReport error = nullptr;
  HstrStringList *list = hstr_StringListCreate(3, &error);
  if (list == nullptr || list->strings == nullptr || list->count < 3) return list;
  const double components[3] = {fog->red, fog->green, fog->blue};
  for (int i = 0; i < 3; ++i) {
    char buffer[kFormatBufferSize];
    hfio_Sprintf(buffer, "%g", components[i]);
    list->strings[i] = hstr_Duplicate(buffer);
  }
  return list;
}

HstrStringList *getFogDensity(UikPart *, void *context, int32_t, char **,
                              ErrorReport *error) noexcept {
  FogLayer *fog = fogLayerOfContext(context);
  return fog != nullptr ? valueList(fog->density, error) : nullptr;
}

HstrStringList *getFogLayerNumber(UikPart *, void *context, int32_t, char **,
                                  ErrorReport *error) noexcept {
  FogLayer *fog = fogLayerOfContext(context);
  return fog != nullptr ? valueList(fog->planeCount, error) : nullptr;
}

HstrStringList *getFogTopLevel(UikPart *, void *context, int32_t, char **,
                               ErrorReport *error) noexcept {
  FogLayer *fog = fogLayerOfContext(context);
  return fog != nullptr ? valueList(fog->topElevation, error) : nullptr;
}

HstrStringList *getFogBottomLevel(UikPart *, void *context, int32_t, char **,
                                  ErrorReport *error) noexcept {
  FogLayer *fog = fogLayerOfContext(context);
  return fog != nullptr ? valueList(fog->bottomElevation, error) : nullptr;
}

HstrStringList *getShowFog(UikPart *, void *context, int32_t, char **,
                           ErrorReport *error) noexcept {
  FogLayer *fog = fogLayerOfContext(context);
  return fog != nullptr ? valueList(fog->visible != 0 ? 1.0 : 0.0, error) : nullptr;
}

} // namespace

const ScriptFunctionEntry scriptFunctionTable[] = {
    {"setvisibility", setVisibility},
    {"raisetotop", raiseToTop},
    {"lowertobottom", lowerToBottom},
    {"deletelayer", deleteLayer},
    {"fogcreatemodellayer", createModelLayer},
    {"foghidefogproperties", hideProperties},
    {"fogshowfogproperties", showFogProperties},
    {"fogsetfogproperties", setFogProperties},
    {"foggetfogcolor", getFogColor},
    {"foggetfogdensity", getFogDensity},
    {"foggetfoglayernumber", getFogLayerNumber},
    {"foggetfogtopelevel", getFogTopLevel},
    {"foggetfogbottomelevel", getFogBottomLevel},
    {"foggetshowfog", getShowFog},
    {nullptr, nullptr},
};

#if !defined(FOG_EARLIER_BUILD)
FOG_EXPORT HstrStringList *FOGShowFogProperties(UikPart *caller, void *context,
                                                int32_t argumentCount, char **arguments,
                                                ErrorReport *error) noexcept {
  return showFogProperties(caller, context, argumentCount, arguments, error);
}
#endif
