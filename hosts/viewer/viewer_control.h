// viewer_control.h - how host programs and tests set up and watch the
// stand-in scene viewer: its scenes (elevation range, ground rectangle,
// origin offset, window size, redraws, layer stack), the answers its yes/no
// questions get, the errors it showed, and its heap.
//
// The plug-in never includes this header; it reaches the viewer only
// through viewer_host.h. Everything here runs on the viewer's one thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "viewer_host.h"

namespace viewerhost {

// ------------------------------------------------------------------ heap

// Blocks handed out by hmsc_HeapMalloc and not yet freed.
std::size_t heapLiveBlocks();
// Makes the n-th hmsc_HeapMalloc call from now return null (1 = the next
// call); the calls after it succeed again. 0 cancels a planned failure.
void heapFailAllocation(std::size_t n);
// True while a failure planned by heapFailAllocation has not happened yet.
bool heapFailurePending();
// hmsc_HeapFree calls refused because the block was not live (a double
// free or a pointer the heap never handed out), since the start.
std::size_t heapInvalidFrees();

// ---------------------------------------------------------------- scenes

// A new scene with elevation range 0..100, ground rectangle x 0..1000,
// y 0..1000, origin offset (0, 0, 0) and a 640 x 480 window. It becomes the
// current scene (scape_ViewerGetScene). Owned by the viewer until
// destroyScene.
Scene *createScene();
// Closes every layer left in the scene's stack (through its close slot, top
// first), then frees the scene. The current scene becomes null when it was
// this one. A null or unknown scene is ignored.
void destroyScene(Scene *scene);
// Makes `scene` (or null) the scene scape_ViewerGetScene returns.
void setCurrentScene(Scene *scene);
Scene *currentScene();

void setElevationRange(Scene *scene, double lower, double upper);
void setGroundExtents(Scene *scene, double xMin, double xMax, double yMin, double yMax);
void setOriginOffset(Scene *scene, double dx, double dy, double dz);
void setWindowSize(Scene *scene, int32_t width, int32_t height);
// sceneRedraw calls so far, plus one for each change of the layer stack.
int redrawCount(Scene *scene);
// The viewer's own layer of the scene: what plug-in layers are made for.
// scape_GetScenePtrFromLayer maps it back to the scene.
HostLayer *sceneHostLayer(Scene *scene);
// The scene's UI part (Kind::Scene), as sceneFramePart returns it.
UikPart *scenePart(Scene *scene);

// ----------------------------------------------------------- layer stack

struct LayerStackEntry {
  FeatureLayer *layer;
  bool shown;
};

// The scene's layer stack, top first.
std::vector<LayerStackEntry> layerStack(Scene *scene);
// Puts a layer on top of the scene's stack, shown, and adopts it (its
// hostLayer becomes the scene's host layer). False when the scene is
// unknown, the layer is null or already in a stack.
bool addLayer(Scene *scene, FeatureLayer *layer);
// Takes a layer out of whatever stack holds it without closing it; false
// when no stack holds it.
bool removeLayer(FeatureLayer *layer);
// The scene a layer's stack belongs to, or null.
Scene *sceneOfLayer(FeatureLayer *layer);
// The scene's context object for UI script calls: findLayerByType searches
// its stack, createModelLayer adds the new layer on top. Lives as long as
// the scene.
LayerContext *sceneLayerContext(Scene *scene);

// ------------------------------------------------------- yes/no questions

// Called for a question when no queued answer is left; true means yes.
using AnswerCallback = std::function<bool(const std::string &question, const std::string &noLabel,
                                          const std::string &yesLabel)>;

// Queues the answer to a coming hvis_QueryYesNo call (first in, first out).
void queueAnswer(bool yes);
// Drops the queued answers that were not used.
void clearAnswers();
// Set (or, with an empty function, unset) the callback for unqueued
// questions. Without a callback an unqueued question is answered no.
void setAnswerCallback(AnswerCallback callback);
// Every question asked since the start or the last clearQuestions, in order.
std::vector<std::string> questionsAsked();
void clearQuestions();

// ---------------------------------------------------------------- errors

// Every message shown by hvis_ProcessErrorReport, in order.
std::vector<std::string> errorLog();
void clearErrorLog();

} // namespace viewerhost
