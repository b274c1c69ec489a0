// The stand-in viewer itself where plug-ins rely on it: name parts cut to
// their buffer, numbers shown so they read back equal, text files that
// report failures, yes/no answers, errors shown, the heap's bookkeeping and
// the layer stack with its context object.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "host/error_report.h"
#include "viewer_scene_fixture.h"

namespace {

using ViewerHostTest = ViewerSceneTest;

TEST_F(ViewerHostTest, NamePartDropsDirectoryAndExtensionAndFitsTheBuffer) {
  struct Case {
    const char *path;
    int32_t size;
    const char *expected;
  };
  const Case cases[] = {
      {"/data/valley.fog", 256, "valley"},
      {"valley.fog", 256, "valley"},
      {"/data/set.v2/valley", 256, "valley"},
      {"archive.tar.gz", 256, "archive.tar"},
      {"/data/.hidden", 256, ".hidden"},
      {"/data/", 256, ""},
      {"", 256, ""},
      {nullptr, 256, ""},
      {"/data/valley.fog", 4, "val"},
      {"/data/valley.fog", 7, "valley"},
      {"/data/valley.fog", 1, ""},
      // "Brücke": the cut falls inside the two bytes of the u-umlaut.
      {"/d/Br\xC3\xBC"
       "cke.fog",
       4, "Br"},
      {"/d/Br\xC3\xBC"
       "cke.fog",
       5, "Br\xC3\xBC"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(std::string(c.path != nullptr ? c.path : "<null>") + " in " +
                 std::to_string(c.size));
    char buffer[16];
    std::memset(buffer, 'X', sizeof buffer);
    hstr_GetNamePart(c.path, buffer, std::min<int32_t>(c.size, sizeof buffer));
    EXPECT_STREQ(buffer, c.expected);
    for (std::size_t i = static_cast<std::size_t>(std::min<int32_t>(c.size, sizeof buffer));
         i < sizeof buffer; ++i)
      EXPECT_EQ(buffer[i], 'X') << "written past the buffer at " << i;
  }

  char untouched[4] = {'X', 'X', 'X', 'X'};
  hstr_GetNamePart("/data/valley.fog", untouched, 0);
  hstr_GetNamePart("/data/valley.fog", nullptr, 256);
  EXPECT_EQ(untouched[0], 'X');
}

TEST_F(ViewerHostTest, DoublesAreShownAsTextThatReadsBackEqual) {
  const double values[] = {0.1,   1.0 / 3.0, 161.7,   161.70000000000002, 15.0, 7.5, -0.0,
                           1e300, 5e-324,    -123.456};
  const int32_t count = static_cast<int32_t>(std::size(values));
  ErrorReport error = nullptr;
  HstrStringList *list = hstr_DoubleToStringList(count, values, &error);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(error, nullptr);
  ASSERT_EQ(list->count, count);
  for (int32_t i = 0; i < count; ++i) {
    ASSERT_NE(list->strings[i], nullptr);
    EXPECT_EQ(std::bit_cast<uint64_t>(std::atof(list->strings[i])),
              std::bit_cast<uint64_t>(values[i]))
        << list->strings[i];
  }
  // Short values stay short for the user.
  EXPECT_STREQ(list->strings[0], "0.1");
  EXPECT_STREQ(list->strings[4], "15");
  EXPECT_STREQ(list->strings[5], "7.5");
  hstr_StringListFree(list);
  EXPECT_EQ(blocksLeft(), 0);

  for (std::size_t step = 1; step <= 3; ++step) {
    viewerhost::heapFailAllocation(step);
    ErrorReport failed = nullptr;
    EXPECT_EQ(hstr_DoubleToStringList(2, values, &failed), nullptr) << step;
    EXPECT_NE(failed, nullptr) << step;
    viewerhost::clearError(&failed);
    EXPECT_EQ(blocksLeft(), 0) << step;
  }
}

TEST_F(ViewerHostTest, TextFilesReportFailuresAndRefuseNullHandles) {
  ErrorReport error = nullptr;
  EXPECT_EQ(hfio_Open("/nonexistent-dir/missing.fog", "r", &error), nullptr);
  ASSERT_NE(error, nullptr);
  EXPECT_NE(viewerhost::errorMessage(error).find("missing.fog"), std::string::npos);
  viewerhost::clearError(&error);

  double value = 0.0;
  EXPECT_EQ(hfio_Fscanf(nullptr, "%lf", &value), EOF);
  EXPECT_LT(hfio_Fprintf(nullptr, "%f\n", 1.0), 0);
  EXPECT_NE(hfio_Close(nullptr, &error), 0);
  EXPECT_NE(error, nullptr);
  viewerhost::clearError(&error);

  // Writes that never reach the disk make the close fail.
  if (std::filesystem::exists("/dev/full")) {
    HfioFile *full = hfio_Open("/dev/full", "w", &error);
    ASSERT_NE(full, nullptr);
    hfio_Fprintf(full, "%f\n", 12.3);
    EXPECT_NE(hfio_Close(full, &error), 0);
    EXPECT_NE(viewerhost::errorMessage(error).find("cannot write /dev/full"), std::string::npos)
        << viewerhost::errorMessage(error);
    viewerhost::clearError(&error);
  }

  // So does a read that fails: a directory opens, but cannot be read.
  const std::string directory = std::filesystem::temp_directory_path().string();
  HfioFile *listing = hfio_Open(directory.c_str(), "r", &error);
  ASSERT_NE(listing, nullptr);
  EXPECT_EQ(hfio_Fscanf(listing, "%lf", &value), EOF);
  EXPECT_NE(hfio_Close(listing, &error), 0);
  EXPECT_NE(viewerhost::errorMessage(error).find("cannot read " + directory), std::string::npos)
      << viewerhost::errorMessage(error);
  viewerhost::clearError(&error);

  const std::string path =
      (std::filesystem::temp_directory_path() / ("viewer_host_test_" + std::to_string(getpid())))
          .string();
  HfioFile *out = hfio_Open(path.c_str(), "w", &error);
  ASSERT_NE(out, nullptr);
  EXPECT_GT(hfio_Fprintf(out, "%f\n", -3.5), 0);
  EXPECT_EQ(hfio_Close(out, &error), 0);
  HfioFile *in = hfio_Open(path.c_str(), "r", &error);
  ASSERT_NE(in, nullptr);
  EXPECT_EQ(hfio_Fscanf(in, "%lf", &value), 1);
  EXPECT_EQ(value, -3.5);
  EXPECT_EQ(hfio_Fscanf(in, "%lf", &value), EOF);
  EXPECT_EQ(hfio_Close(in, &error), 0);
  EXPECT_EQ(error, nullptr);
  std::filesystem::remove(path);
}

TEST_F(ViewerHostTest, QuestionsAreAnsweredFromTheQueueThenTheCallbackThenNo) {
  viewerhost::queueAnswer(true);
  viewerhost::queueAnswer(false);
  EXPECT_EQ(hvis_QueryYesNo("first?", "No", "Yes"), 1);
  EXPECT_EQ(hvis_QueryYesNo("second?", "No", "Yes"), 0);
  EXPECT_EQ(hvis_QueryYesNo("third?", "No", "Yes"), 0);

  std::vector<std::string> seen;
  viewerhost::setAnswerCallback(
      [&seen](const std::string &question, const std::string &no, const std::string &yes) {
        seen.push_back(question + "|" + no + "|" + yes);
        return true;
      });
  viewerhost::queueAnswer(false);
  EXPECT_EQ(hvis_QueryYesNo("fourth?", "No", "Yes"), 0);
  EXPECT_EQ(hvis_QueryYesNo("fifth?", "Keep", "Save"), 1);
  EXPECT_EQ(seen, std::vector<std::string>{"fifth?|Keep|Save"});

  EXPECT_EQ(viewerhost::questionsAsked(),
            (std::vector<std::string>{"first?", "second?", "third?", "fourth?", "fifth?"}));
}

TEST_F(ViewerHostTest, ShownErrorsAreLoggedAndCleared) {
  ErrorReport error = nullptr;
  hvis_ProcessErrorReport(&error);
  hvis_ProcessErrorReport(nullptr);
  viewerhost::setError(&error, "vlfog.uis:3: expected a frame");
  viewerhost::setError(&error, "a later error does not replace the first");
  hvis_ProcessErrorReport(&error);
  EXPECT_EQ(error, nullptr);
  EXPECT_EQ(viewerhost::errorLog(), std::vector<std::string>{"vlfog.uis:3: expected a frame"});
}

TEST_F(ViewerHostTest, HeapRefusesForeignAndDoubleFreesAndFailsOnRequest) {
  void *block = hmsc_HeapMalloc(8);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(blocksLeft(), 1);
  const std::size_t invalidBefore = viewerhost::heapInvalidFrees();
  EXPECT_EQ(hmsc_HeapFree(block), 0);
  EXPECT_NE(hmsc_HeapFree(block), 0);
  int local = 0;
  EXPECT_NE(hmsc_HeapFree(&local), 0);
  EXPECT_EQ(hmsc_HeapFree(nullptr), 0);
  EXPECT_EQ(viewerhost::heapInvalidFrees(), invalidBefore + 2);

  viewerhost::heapFailAllocation(2);
  void *first = hmsc_HeapMalloc(8);
  EXPECT_TRUE(viewerhost::heapFailurePending());
  EXPECT_EQ(hmsc_HeapMalloc(8), nullptr);
  EXPECT_FALSE(viewerhost::heapFailurePending());
  void *third = hmsc_HeapMalloc(8);
  EXPECT_NE(first, nullptr);
  EXPECT_NE(third, nullptr);
  hmsc_HeapFree(first);
  hmsc_HeapFree(third);
  EXPECT_EQ(blocksLeft(), 0);
}

// A host layer with a type name of its own, made the way a plug-in
// constructor makes one.
const char *testTypeName() {
  return "Test";
}
FeatureLayer *makeTestLayer(HostLayer *, int32_t, int32_t, char **) {
  FeatureLayer *layer = scape_FeatureLayerCreate();
  if (layer != nullptr) layer->methods->typeNameGet = testTypeName;
  return layer;
}

FeatureLayer *makeNoLayer(HostLayer *, int32_t, int32_t, char **) {
  return nullptr;
}

std::vector<FeatureLayer *> stackOrder(Scene *scene) {
  std::vector<FeatureLayer *> order;
  for (const auto &entry : viewerhost::layerStack(scene)) order.push_back(entry.layer);
  return order;
}

TEST_F(ViewerHostTest, LayerStackCommandsRearrangeToggleAndDelete) {
  FeatureLayer *a = scape_FeatureLayerCreate();
  FeatureLayer *b = scape_FeatureLayerCreate();
  FeatureLayer *c = scape_FeatureLayerCreate();
  ASSERT_TRUE(viewerhost::addLayer(scene, a));
  ASSERT_TRUE(viewerhost::addLayer(scene, b));
  ASSERT_TRUE(viewerhost::addLayer(scene, c));
  EXPECT_FALSE(viewerhost::addLayer(scene, a));
  EXPECT_EQ(stackOrder(scene), (std::vector<FeatureLayer *>{c, b, a}));
  EXPECT_EQ(a->hostLayer, hostLayer());

  ErrorReport error = nullptr;
  scape_ArrangeLayersRaiseToTop(nullptr, a, 0, nullptr, &error);
  EXPECT_EQ(stackOrder(scene), (std::vector<FeatureLayer *>{a, c, b}));
  scape_ArrangeLayersLowerToBottom(nullptr, c, 0, nullptr, &error);
  EXPECT_EQ(stackOrder(scene), (std::vector<FeatureLayer *>{a, b, c}));
  scape_ArrangeLayersToggleLayerVisibility(b);
  EXPECT_FALSE(viewerhost::layerStack(scene)[1].shown);
  scape_ArrangeLayersToggleLayerVisibility(b);
  EXPECT_TRUE(viewerhost::layerStack(scene)[1].shown);
  EXPECT_EQ(error, nullptr);

  const int redrawsBefore = viewerhost::redrawCount(scene);
  scape_ArrangeLayersDeleteLayer(nullptr, b, 0, nullptr, &error);
  EXPECT_EQ(stackOrder(scene), (std::vector<FeatureLayer *>{a, c}));
  EXPECT_GT(viewerhost::redrawCount(scene), redrawsBefore);

  // A layer in no stack: the commands change nothing and say so.
  FeatureLayer *loose = scape_FeatureLayerCreate();
  scape_ArrangeLayersRaiseToTop(nullptr, loose, 0, nullptr, &error);
  EXPECT_NE(error, nullptr);
  viewerhost::clearError(&error);
  scape_ArrangeLayersDeleteLayer(nullptr, loose, 0, nullptr, &error);
  EXPECT_NE(error, nullptr);
  viewerhost::clearError(&error);
  EXPECT_EQ(stackOrder(scene), (std::vector<FeatureLayer *>{a, c}));

  // Freeing a stacked layer takes it out of the stack.
  scape_FeatureLayerFree(c);
  EXPECT_EQ(stackOrder(scene), std::vector<FeatureLayer *>{a});
  scape_FeatureLayerFree(loose);
  scape_ArrangeLayersDeleteLayer(nullptr, a, 0, nullptr, &error);
  EXPECT_EQ(blocksLeft(), 0);
}

TEST_F(ViewerHostTest, ContextFindsLayersByTypeAndMakesModelLayers) {
  LayerContext *context = viewerhost::sceneLayerContext(scene);
  ASSERT_NE(context, nullptr);
  EXPECT_EQ(context->ops->findLayerByType(context, "Test"), nullptr);

  FeatureLayer *plain = scape_FeatureLayerCreate();
  ASSERT_TRUE(viewerhost::addLayer(scene, plain));
  char *arguments[] = {const_cast<char *>("one.fog")};
  ErrorReport error = nullptr;
  FeatureLayer *made = context->ops->createModelLayer(context, 1, arguments, makeTestLayer, &error);
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(error, nullptr);
  EXPECT_EQ(stackOrder(scene), (std::vector<FeatureLayer *>{made, plain}));
  EXPECT_EQ(context->ops->findLayerByType(context, "Test"), made);
  EXPECT_EQ(context->ops->createModelLayer(context, 1, arguments, nullptr, &error), nullptr);
  EXPECT_NE(error, nullptr);
  viewerhost::clearError(&error);
  // A constructor that makes nothing: the failure is reported, the stack
  // stays as it was.
  EXPECT_EQ(context->ops->createModelLayer(context, 1, arguments, makeNoLayer, &error), nullptr);
  EXPECT_NE(viewerhost::errorMessage(error).find("could not be made"), std::string::npos);
  viewerhost::clearError(&error);
  EXPECT_EQ(stackOrder(scene), (std::vector<FeatureLayer *>{made, plain}));

  EXPECT_EQ(scape_GetScenePtrFromLayer(hostLayer()), scene);
  EXPECT_EQ(scape_ViewerGetScene(), scene);
}

} // namespace
