/* cad_host.h - what the fog texture module may call in the CAD application,
 * and the records the renderer hands it.
 *
 * Plain C declarations: the renderer's sample and colour records, the
 * material and map records laid out by the host, the expression value
 * record, the spot function table, and the host operations: the
 * programming interface (xelCExpression_, xelSystem_, xelView_,
 * xelModelRef_, xelParams_, xelRMatrix_, xelDialog_, xelStringList_,
 * dlmSystem_) in libcadhost.so, and the rendering library (xelMaterial_)
 * in libcadrender.so, which the module loads on first use.
 *
 * The host calls the module from one thread, one call at a time. Records
 * laid out by offset keep the host's offsets on every platform; pointers
 * that the host publishes as values are pointer-sized.
 */
#ifndef FOG_CAD_HOST_H
#define FOG_CAD_HOST_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(FOG_CAD_HOST_BUILD)
#define CAD_HOST_API __attribute__((visibility("default")))
#else
#define CAD_HOST_API
#endif

/* ------------------------------------------------------- renderer records */

/* Bits of TextureSample.flags; the other bits are ignored. */
enum {
  SAMPLE_PERSPECTIVE = 0x1,  /* screen points pass through screenToView */
  SAMPLE_UV = 0x2,           /* u and v are given */
  SAMPLE_SCREEN_POINT = 0x4, /* screenPoint and screenW are given */
  SAMPLE_VIEW_POINT = 0x8,   /* viewPoint is given */
  SAMPLE_SECOND_MAP = 0x20,  /* the sample is for the material's map 2 */
  SAMPLE_ALT_RENDER = 0x40   /* the ray tracer's alternative view transform */
};

/* One shading point, laid out by the host. */
typedef struct TextureSample {
  uint32_t flags;
  int32_t windowId;         /* 0: no window */
  int32_t materialId;       /* 0: none (key by name); -1: the preview */
  float relativeOrigin[3];  /* subtracted when the instance's relativeCoords is set */
  float screenPoint[3];     /* x, y, depth */
  float screenW;            /* homogeneous weight of screenPoint */
  float viewPoint[3];       /* offsets from the view origin in UORs */
  uint8_t hostReserved[12]; /* the renderer's own */
  float u;
  float v;
} TextureSample;

/* The texture's answer for one shading point. */
typedef struct TextureColor {
  float red; /* 0..255, already weighted by the density */
  float green;
  float blue;
  float transparency; /* 255: clear, 0: opaque */
} TextureColor;

/* A value the host publishes under a symbol name. The value word sits at
 * byte 8: an integer, or an address (pointer-sized). */
typedef struct XelExpressionValue {
  int32_t type;
  int32_t reserved;
  union {
    intptr_t integer;
    void *address;
  } value;
} XelExpressionValue;

/* A map of a material, laid out by the host. */
typedef struct XelMap {
  char name[256];
  int32_t number; /* 1 or 2 */
  int32_t hostFlags;
  int32_t mode; /* byte 264: 0 addresses the map by u,v; 2 uses sub-units */
  int32_t hostReserved[3];
  double patternScale[2];            /* byte 280: x, y */
  double patternOffset[2];           /* byte 296: x, y */
  struct XelStringListRec *userData; /* the parameter text, or null */
} XelMap;

/* A material, laid out by the host. */
typedef struct XelMaterial {
  int32_t id;
  char name[512];  /* byte 4: zero-terminated */
  XelMap *maps[2]; /* map 1 and map 2, or null */
} XelMaterial;

#ifdef __cplusplus
static_assert(sizeof(TextureSample) == 72, "TextureSample layout");
static_assert(offsetof(TextureSample, windowId) == 4, "TextureSample layout");
static_assert(offsetof(TextureSample, materialId) == 8, "TextureSample layout");
static_assert(offsetof(TextureSample, relativeOrigin) == 12, "TextureSample layout");
static_assert(offsetof(TextureSample, screenPoint) == 24, "TextureSample layout");
static_assert(offsetof(TextureSample, screenW) == 36, "TextureSample layout");
static_assert(offsetof(TextureSample, viewPoint) == 40, "TextureSample layout");
static_assert(offsetof(TextureSample, u) == 64, "TextureSample layout");
static_assert(offsetof(TextureSample, v) == 68, "TextureSample layout");
static_assert(sizeof(TextureColor) == 16, "TextureColor layout");
static_assert(offsetof(TextureColor, transparency) == 12, "TextureColor layout");
static_assert(sizeof(XelExpressionValue) == 16, "expression value record");
static_assert(offsetof(XelExpressionValue, value) == 8, "expression value record");
static_assert(offsetof(XelMaterial, name) == 4, "material record");
static_assert(offsetof(XelMap, mode) == 264, "map record");
static_assert(offsetof(XelMap, patternScale) == 280, "map record");
static_assert(offsetof(XelMap, patternScale) + 8 == 288, "map record");
static_assert(offsetof(XelMap, patternOffset) == 296, "map record");
static_assert(offsetof(XelMap, patternOffset) + 8 == 304, "map record");
#else
_Static_assert(sizeof(TextureSample) == 72, "TextureSample layout");
_Static_assert(offsetof(TextureSample, viewPoint) == 40, "TextureSample layout");
_Static_assert(offsetof(TextureSample, u) == 64, "TextureSample layout");
_Static_assert(sizeof(XelExpressionValue) == 16, "expression value record");
_Static_assert(offsetof(XelMaterial, name) == 4, "material record");
_Static_assert(offsetof(XelMap, mode) == 264, "map record");
_Static_assert(offsetof(XelMap, patternOffset) == 296, "map record");
#endif

typedef struct XelStringListRec *XelStringList; /* a host string list */
typedef struct XelDesc XelDesc;                 /* a loaded host application */
typedef struct XelModelRefRec *XelModelRef;

/* The renderer's spot function table, published as "rendloadSpotFuncs":
 * an array of function addresses. The entries the texture calls: */
typedef void (*SpotFunction)(void);
typedef void (*SpotScreenRect)(int32_t *first, int32_t *second, int32_t *third,
                               int32_t *fourth);                   /* 140 */
typedef void (*SpotDepthRange)(float *nearDepth, float *farDepth); /* 141 */
typedef void (*SpotScreenToView)(float *matrix4x4);                /* 126 */
enum {
  SPOT_SCREEN_TO_VIEW = 126,
  SPOT_SCREEN_RECT = 140,
  SPOT_DEPTH_RANGE = 141,
  SPOT_TABLE_SIZE = 256
};

/* The host calls a registered notice function with an application's name
 * when that application is unloaded. */
typedef int32_t (*DlmNoticeFunction)(int32_t unused, const char *applicationName);

/* Host command queued after a preview when the material editor is open. */
enum { XEL_CMD_TEXTURE_PREVIEW_DONE = 0x79020000 };

/* ------------------------------------------------- programming interface */

/* 0 when the host publishes `symbol`, with its value in `value`. `context`
 * is 0 and `valueKind` 32 for the texture's lookups. */
CAD_HOST_API int32_t xelCExpression_getValue(XelExpressionValue *value, int32_t context,
                                             const char *symbol, int32_t valueKind);
/* Registers (or with null removes) the module's notice function; `slot` 1. */
CAD_HOST_API int32_t dlmSystem_setFunction(int32_t slot, int32_t moduleHandle,
                                           DlmNoticeFunction function);
/* The descriptor of a loaded host application, or null. */
CAD_HOST_API XelDesc *xelSystem_findXelDesc(const char *applicationName);
/* Calls a command of a loaded application; its arguments follow the name.
 * For "velox_materialFindFromId": one int32 id, result a material or null. */
CAD_HOST_API void *xelSystem_callFunctionByCmdName(XelDesc *application, const char *commandName,
                                                   ...);
/* Turns the host's own user-abort handling off (0) or on (1); the previous
 * state is returned. */
CAD_HOST_API int32_t xelSystem_userAbortEnable(int32_t enable);
/* Queues a host command with an argument text. */
CAD_HOST_API int32_t xelDialog_cmdNumberQueue(int32_t queue, uint32_t commandNumber,
                                              const char *argumentText, int32_t flags);
/* View origin (3 doubles, UORs), rotation (9 doubles, row by row) and view
 * number (0..7) of a window; every other argument may be null. */
CAD_HOST_API int32_t xelView_getInfoFromWindow(void *a1, void *a2, void *a3, void *a4, void *a5,
                                               double *origin, void *a7, void *a8, void *a9,
                                               double *rotation, void *a11, void *a12,
                                               int32_t *viewNumber, int32_t windowId);
CAD_HOST_API void xelRMatrix_getIdentity(double *matrix3x3);
CAD_HOST_API XelModelRef xelModelRef_getActive(void);
CAD_HOST_API double xelModelRef_getUorPerMaster(XelModelRef model);
CAD_HOST_API double xelModelRef_getUorPerSub(XelModelRef model);
/* Active parameter `which` (54: the host's active point, 3 doubles in UORs). */
CAD_HOST_API int32_t xelParams_getActive(double *value, int32_t which);

/* String lists. Members are texts owned by the list. */
CAD_HOST_API XelStringList xelStringList_create(int32_t reserved1, int32_t reserved2);
CAD_HOST_API void xelStringList_free(XelStringList list);
/* Inserts `count` empty members at `position` (-1: at the end); *index
 * receives the first new member's index. 0 on success. */
CAD_HOST_API int32_t xelStringList_insertMember(int32_t *index, XelStringList list,
                                                int32_t position, int32_t count);
CAD_HOST_API int32_t xelStringList_setMember(XelStringList list, int32_t index, const char *text,
                                             void *reserved);
CAD_HOST_API int32_t xelStringList_size(XelStringList list);
/* *text receives the member's own (writable) text. 0 on success. */
CAD_HOST_API int32_t xelStringList_getMember(char **text, void *reserved, XelStringList list,
                                             int32_t index);

/* ------------------------------------------------------ rendering library */

CAD_HOST_API XelMaterial *xelMaterial_findFromId(int32_t id);
/* A new, empty material owned by the caller; release with xelMaterial_free. */
CAD_HOST_API XelMaterial *xelMaterial_create(void);
CAD_HOST_API void xelMaterial_free(XelMaterial *material);
/* Map 1 or 2 of a material; -1 selects the map the renderer uses for the
 * pattern (map 1 when present, else map 2). Null when there is none. */
CAD_HOST_API XelMap *xelMaterial_getMap(XelMaterial *material, int32_t mapNumber, int32_t reserved);
CAD_HOST_API XelStringList xelMaterial_getMapUserData(XelMap *map);

#ifdef __cplusplus
}
#endif

#endif
