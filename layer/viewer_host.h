/* viewer_host.h - what the Mist layer plug-in may call in the scene viewer,
 * and what the viewer calls back.
 *
 * Plain C declarations: the viewer's layer records and function tables, its
 * scene and context objects, and the host libraries the plug-in links
 * against (scape_ scene layers, uik_ toolkit and canvases, hstr_ strings,
 * hmsc_ heap, hfio_ text files, hvis_ viewer utilities). The plug-in reaches
 * its host only through this header; the stand-in viewer implements it.
 *
 * Conventions that hold for every operation below:
 * - Error report: a pointer-sized slot, null while there is no error. An
 *   operation takes its address last and leaves a non-null value in it when
 *   it fails; hvis_ProcessErrorReport shows (and clears) it.
 * - Strings and records handed out as "new" live on the host heap; the
 *   receiver releases them with hmsc_HeapFree.
 * - Nothing here is thread-safe: the viewer calls its plug-ins from one
 *   thread, one call at a time.
 */
#ifndef FOG_VIEWER_HOST_H
#define FOG_VIEWER_HOST_H

#include <stdarg.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(FOG_VIEWER_HOST_BUILD)
#define VIEWER_HOST_API __attribute__((visibility("default")))
#else
#define VIEWER_HOST_API
#endif

/* ---------------------------------------------------------------- records */

/* Null while there is no error; otherwise the host's own error record. */
typedef void *ErrorReport;

typedef struct FeatureLayer FeatureLayer;
typedef struct FeatureLayerMethods FeatureLayerMethods;
typedef struct Scene Scene;
typedef struct SceneOps SceneOps;
typedef struct LayerContext LayerContext;
typedef struct LayerContextOps LayerContextOps;
typedef struct HostLayer HostLayer; /* the viewer's own layer object */
typedef struct HfioFile HfioFile;   /* an open text stream */
typedef struct UikRoot UikRoot;
typedef struct UikPart UikPart;     /* any UI part: frame, menu, popup */
typedef struct UikScript UikScript; /* a parsed UI script */
typedef struct UikDisplay UikDisplay;
typedef struct UikCanvas UikCanvas;
typedef struct UikCanvasContext UikCanvasContext;

/* The record the host passes to draw: the eye position in scene units. */
typedef struct ViewPoint {
  double x;
  double y;
  double z; /* eye elevation */
} ViewPoint;

/* A colour as the canvas functions take it: a tag (always 0 here) and red,
 * green, blue in 0..1. */
typedef struct UikColor {
  int32_t tag;
  double red;
  double green;
  double blue;
} UikColor;

/* A list of host strings: the value of a UI script call. Each entry is a
 * host-heap string (or null) owned by the list. */
typedef struct HstrStringList {
  int32_t count;
  char **strings;
} HstrStringList;

/* A function the UI script calls by name. The result is taken as the call's
 * value; null means the call has no value. */
typedef HstrStringList *(*ScriptFunction)(UikPart *caller, void *context, int32_t argumentCount,
                                          char **arguments, ErrorReport *error);

typedef struct ScriptFunctionEntry {
  const char *name; /* null ends the table */
  ScriptFunction function;
} ScriptFunctionEntry;

/* Makes a new feature layer for a host layer from argument strings; the
 * signature of fogvlLayerCreate and fogvlLayerOpen. */
typedef FeatureLayer *(*FeatureLayerConstructor)(HostLayer *hostLayer, int32_t hostArgument,
                                                 int32_t argumentCount, char **arguments);

/* The viewer's table of function slots in a feature layer.
 * scape_FeatureLayerCreate fills every slot with the host's own entries; a
 * plug-in overwrites the slots of its layer type. The host* slots are the
 * viewer's and no plug-in touches them. */
struct FeatureLayerMethods {
  /* Offers to save, releases the layer and its private record; the result is
   * that of releasing the record. After it the layer pointer is dead. */
  int32_t (*close)(FeatureLayer *layer);
  void (*hostSelect)(FeatureLayer *layer);
  /* Draws the layer into the current GL context. Of the arguments only the
   * viewpoint's elevation is the plug-in's business. Returns 0. */
  int32_t (*draw)(FeatureLayer *layer, double a, double b, double c, const ViewPoint *viewPoint,
                  double d, double e, void *f);
  void *(*extListGetA)(void);
  void *(*extListGetB)(void);
  void (*hostBoundsGet)(FeatureLayer *layer, double *bounds);
  /* A new host-heap copy of the layer's file name, or null. */
  char *(*fileNameGet)(FeatureLayer *layer);
  /* The layer's type name; a constant, not a copy. */
  const char *(*typeNameGet)(void);
  /* Writes the layer's file; the result is that of closing it (0 = ok). */
  int32_t (*save)(FeatureLayer *layer);
  /* The layer's picture for the layer stack, made for `canvas`; owned by
   * the toolkit, cached by the layer. Null when there is none. */
  UikCanvas *(*stackIconGet)(FeatureLayer *layer, UikCanvas *canvas, int32_t width,
                             ErrorReport *error);
  void (*hostRefresh)(FeatureLayer *layer);
  /* Writes the command line that recreates the layer to an open stream. */
  void (*scriptCommandWrite)(FeatureLayer *layer, HfioFile *file);
  /* A new host-heap string naming the layer in the stack. */
  char *(*labelGet)(FeatureLayer *layer);
  /* The layer's menu, extracted under the current scene's UI part. */
  UikPart *(*menuGet)(FeatureLayer *layer);
  /* Names the layer's stack popup and the script that defines it; both
   * stay owned by the plug-in. */
  void (*popupGet)(FeatureLayer *layer, const char **popupName, UikScript **script);
  void (*hostTimeStep)(FeatureLayer *layer, double seconds);
  int32_t (*secondDraw)(FeatureLayer *layer, double a, double b, double c,
                        const ViewPoint *viewPoint, double d, double e, void *f);
  void *reserved14; /* set to null by plug-ins */
  /* Tag lists: (tag, values...)... 0. See the layer type for its tags. */
  void (*attributesSet)(FeatureLayer *layer, ErrorReport *error, ...);
  void (*hostPick)(FeatureLayer *layer, double x, double y);
  int32_t (*attributesGet)(FeatureLayer *layer, ErrorReport *error, ...);
};

struct FeatureLayer {
  void *privateData;            /* the plug-in's record, set right after creation */
  FeatureLayerMethods *methods; /* owned by the host; slots filled by the plug-in */
  HostLayer *hostLayer;         /* set by the host when it adopts the layer */
  int32_t hostFlags;
};

/* Operations of a scene, in table order. */
struct SceneOps {
  /* Asks the viewer to draw the scene again. */
  void (*sceneRedraw)(Scene *scene, void *unused1, void *unused2, ErrorReport *error);
  /* The scene's UI part: source of frames, parent of menus. */
  UikPart *(*sceneFramePart)(Scene *scene);
  /* Lower and upper elevation of the terrain; `flags` and the two pointers
   * are the host's and may be null. */
  void (*sceneElevationRange)(Scene *scene, double *lower, double *upper, int32_t *flags,
                              void *unused1, void *unused2);
  /* The drawing window in pixels. */
  void (*sceneWindowSize)(Scene *scene, int32_t *width, int32_t *height);
  /* Offset added to scene coordinates before drawing; `which` is 0. */
  void (*sceneOriginOffset)(Scene *scene, int32_t which, double *dx, double *dy, double *dz);
  /* The ground rectangle; the last two values are the host's. */
  void (*sceneGroundExtents)(Scene *scene, double *xMin, double *xMax, double *yMin, double *yMax,
                             double *extra1, double *extra2);
};

struct Scene {
  const SceneOps *ops;
};

/* Operations of the context object a UI script call runs for. */
struct LayerContextOps {
  /* The context's layer of that type name, or null. */
  FeatureLayer *(*findLayerByType)(LayerContext *context, const char *typeName);
  /* Makes a new model layer by calling `constructor` with the argument
   * strings; returns it (null on failure, with the error report set). */
  FeatureLayer *(*createModelLayer)(LayerContext *context, int32_t argumentCount, char **arguments,
                                    FeatureLayerConstructor constructor, ErrorReport *error);
};

struct LayerContext {
  const LayerContextOps *ops;
};

struct UikRoot {
  UikPart *rootPart;
};

struct UikCanvas {
  UikDisplay *display;
};

/* ------------------------------------------------------------ scene layers */

VIEWER_HOST_API FeatureLayer *scape_FeatureLayerCreate(void);
VIEWER_HOST_API void scape_FeatureLayerFree(FeatureLayer *layer);
/* The scene a host layer belongs to. */
VIEWER_HOST_API Scene *scape_GetScenePtrFromLayer(HostLayer *hostLayer);
/* The viewer's current scene, or null. */
VIEWER_HOST_API Scene *scape_ViewerGetScene(void);
/* Layer-stack commands for the context layer of a UI script call. */
VIEWER_HOST_API void scape_ArrangeLayersToggleLayerVisibility(void *context);
VIEWER_HOST_API void scape_ArrangeLayersRaiseToTop(UikPart *caller, void *context,
                                                   int32_t argumentCount, char **arguments,
                                                   ErrorReport *error);
VIEWER_HOST_API void scape_ArrangeLayersLowerToBottom(UikPart *caller, void *context,
                                                      int32_t argumentCount, char **arguments,
                                                      ErrorReport *error);
VIEWER_HOST_API void scape_ArrangeLayersDeleteLayer(UikPart *caller, void *context,
                                                    int32_t argumentCount, char **arguments,
                                                    ErrorReport *error);

/* ---------------------------------------------------------------- toolkit */

VIEWER_HOST_API UikRoot *uik_GetTheRoot(void);
/* Parses the UI script found by `fileName` under `parent`. After the error
 * report come (kind, value) pairs ended by 0; kind 1 is a
 * ScriptFunctionEntry table whose functions the script may call by name.
 * Null on failure, with the error report set (file, line, what was
 * expected). The script lives until the toolkit ends. */
VIEWER_HOST_API UikScript *uik_ParseVa(void *reserved, const char *fileName, UikPart *parent,
                                       ErrorReport *error, ...);
VIEWER_HOST_API UikPart *uik_FindMenu(UikScript *script, const char *menuName, ErrorReport *error);
/* A menu made from `menu` for use under `parent`; owned by the toolkit. */
VIEWER_HOST_API UikPart *uik_MenuExtract(UikPart *menu, UikPart *parent, ErrorReport *error);
VIEWER_HOST_API UikPart *uik_PartFind(UikScript *script, const char *partName, ErrorReport *error);
/* A new copy of a part; release it with uik_PartFree. */
VIEWER_HOST_API UikPart *uik_PartDup(UikPart *part, ErrorReport *error);
VIEWER_HOST_API void uik_PartFree(UikPart *part, ErrorReport *error);
VIEWER_HOST_API void uik_FrameSourceSet(UikPart *frame, UikPart *source, ErrorReport *error);
/* The object the frame's script calls receive as their context. */
VIEWER_HOST_API void uik_FrameContextSet(UikPart *frame, void *context, ErrorReport *error);
/* Shows the frame, filling its fields from its getter functions. */
VIEWER_HOST_API void uik_FrameDisplay(UikPart *frame, ErrorReport *error);
VIEWER_HOST_API void uik_FrameRemove(UikPart *frame, ErrorReport *error);

/* A new host-heap record of three doubles: the button-face colour. */
VIEWER_HOST_API double *uik_ButtonFaceColorGet(ErrorReport *error);
/* Reads an XPM picture into a new canvas; null when it cannot be read.
 * `extra1` and `extra2` receive the hot spot (or -1). */
VIEWER_HOST_API UikCanvas *uik_CanvasReadXpmFile(UikDisplay *display, const char *fileName,
                                                 int32_t *width, int32_t *height, int32_t *extra1,
                                                 int32_t *extra2, ErrorReport *error);
/* A new off-screen canvas of the given size, compatible with `canvas`. */
VIEWER_HOST_API UikCanvas *uik_CanvasCreateOffScreenCopyVis(UikCanvas *canvas, int32_t width,
                                                            int32_t height, ErrorReport *error);
VIEWER_HOST_API void uik_CanvasDelete(UikCanvas *canvas, ErrorReport *error);
VIEWER_HOST_API UikCanvasContext *uik_CanvasContextCreate(UikCanvas *canvas, ErrorReport *error);
VIEWER_HOST_API void uik_CanvasContextDelete(UikCanvasContext *context, ErrorReport *error);
/* 1: colours are given as records; 0: the toolkit's default. */
VIEWER_HOST_API void uik_CanvasContextSetColorMethod(UikCanvasContext *context, int32_t method,
                                                     ErrorReport *error);
/* A raised bevel of `bevel` pixels over the rectangle x, y, width, height. */
VIEWER_HOST_API void uik_CanvasDrawBevelRect(UikCanvasContext *context, int32_t flags,
                                             int32_t style, int32_t x, int32_t y, int32_t width,
                                             int32_t height, int32_t bevel, const UikColor *light,
                                             const UikColor *face, const UikColor *dark,
                                             ErrorReport *error);
VIEWER_HOST_API void uik_CanvasCopyArea(UikCanvasContext *context, UikCanvas *source,
                                        int32_t sourceX, int32_t sourceY, int32_t width,
                                        int32_t height, int32_t destinationX, int32_t destinationY,
                                        ErrorReport *error);
VIEWER_HOST_API void uik_CanvasContextSetFont(UikCanvasContext *context, const char *fontName,
                                              ErrorReport *error);
/* Extents of `text` in the context's font: advance, width, then the top
 * (negative: above the base point) and bottom (below it) in pixels. */
VIEWER_HOST_API void uik_CanvasContextGetStringExtents(UikCanvasContext *context, const char *text,
                                                       int32_t *advance, int32_t *width,
                                                       int32_t *top, int32_t *bottom,
                                                       ErrorReport *error);
VIEWER_HOST_API void uik_CanvasContextSetForeground(UikCanvasContext *context,
                                                    const UikColor *color, ErrorReport *error);
/* Draws `text` with its base point at (x, y). */
VIEWER_HOST_API void uik_CanvasDrawText(UikCanvasContext *context, const char *text, int32_t x,
                                        int32_t y, ErrorReport *error);

/* ---------------------------------------------------------------- strings */

/* A new host-heap copy of `text`; null for a null text. */
VIEWER_HOST_API char *hstr_Duplicate(const char *text);
/* The file name of `path` without directory and extension, cut to fit
 * `size` bytes with its terminator. */
VIEWER_HOST_API void hstr_GetNamePart(const char *path, char *buffer, int32_t size);
/* A new list of `count` null entries. */
VIEWER_HOST_API HstrStringList *hstr_StringListCreate(int32_t count, ErrorReport *error);
/* A new list of `count` strings formatting the doubles. */
VIEWER_HOST_API HstrStringList *hstr_DoubleToStringList(int32_t count, const double *values,
                                                        ErrorReport *error);
/* Releases a list and its strings. */
VIEWER_HOST_API void hstr_StringListFree(HstrStringList *list);

/* ------------------------------------------------------------------- heap */

/* Null when the heap cannot supply the block. */
VIEWER_HOST_API void *hmsc_HeapMalloc(uint32_t size);
/* 0 on success; a null block is accepted and also gives 0. */
VIEWER_HOST_API int32_t hmsc_HeapFree(void *block);

/* ------------------------------------------------------------- text files */

/* Opens like fopen; null (and the error report set) on failure. */
VIEWER_HOST_API HfioFile *hfio_Open(const char *path, const char *mode, ErrorReport *error);
/* Closes like fclose: 0 when everything written reached the file; non-zero,
 * with the error report set, when a read or write on the stream failed. */
VIEWER_HOST_API int32_t hfio_Close(HfioFile *file, ErrorReport *error);
VIEWER_HOST_API int32_t hfio_Fprintf(HfioFile *file, const char *format, ...);
VIEWER_HOST_API int32_t hfio_Fscanf(HfioFile *file, const char *format, ...);
VIEWER_HOST_API int32_t hfio_Sprintf(char *buffer, const char *format, ...);

/* ------------------------------------------------------------ the viewer */

/* Shows the error in the report to the user and clears the report. */
VIEWER_HOST_API void hvis_ProcessErrorReport(ErrorReport *error);
/* Asks a yes/no question; non-zero when the user chose `yesLabel`. */
VIEWER_HOST_API int32_t hvis_QueryYesNo(const char *question, const char *noLabel,
                                        const char *yesLabel);

#ifdef __cplusplus
}
#endif

#endif
