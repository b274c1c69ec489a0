// viewer_scene_fixture.h - a test fixture with a fresh stand-in scene (made
// current) and a clean viewer: no queued answers, no recorded questions or
// errors, no planned allocation failure. The scene, with every layer left
// in its stack, is destroyed after the test.
#pragma once

#include <gtest/gtest.h>

#include "viewer_control.h"

class ViewerSceneTest : public ::testing::Test {
 protected:
  void SetUp() override {
    viewerhost::heapFailAllocation(0);
    viewerhost::clearAnswers();
    viewerhost::clearQuestions();
    viewerhost::clearErrorLog();
    viewerhost::setAnswerCallback({});
    scene = viewerhost::createScene();
    liveBlocksAtStart = viewerhost::heapLiveBlocks();
  }

  void TearDown() override {
    viewerhost::destroyScene(scene);
    viewerhost::heapFailAllocation(0);
    viewerhost::setAnswerCallback({});
  }

  HostLayer *hostLayer() const { return viewerhost::sceneHostLayer(scene); }

  // Host-heap blocks made since the test began and not freed.
  long blocksLeft() const {
    return static_cast<long>(viewerhost::heapLiveBlocks()) - static_cast<long>(liveBlocksAtStart);
  }

  Scene *scene = nullptr;
  std::size_t liveBlocksAtStart = 0;
};
