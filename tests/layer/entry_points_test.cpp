// The plug-in's exports: one parse of the UI script (retried after a failure,
// which is shown once per attempt), the type and file type names, and the
// two constant answers.
#include "entry_points.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "temp_dir.h"
#include "ui_control.h"
#include "viewer_control.h"

namespace {

class EntryPointsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.ok());
    savedSearchPath = viewerhost::resourceSearchPath();
    viewerhost::clearErrorLog();
    // Every test starts before the first parse.
    pluginScript = nullptr;
  }
  void TearDown() override { viewerhost::setResourceSearchPath(savedSearchPath); }

  std::vector<std::string> savedSearchPath;
  TempDir dir;
};

TEST_F(EntryPointsTest, InterfaceInitParsesOnceAndKeepsTheScript) {
  viewerhost::setResourceSearchPath({FOG_LAYER_RESOURCES});
  UikScript *first = fogvlLayerInterfaceInit();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(pluginScript, first);

  // With no script to be found any more, a second parse would fail and be
  // reported; the same script comes back and nothing is shown.
  viewerhost::setResourceSearchPath({dir.path().string()});
  EXPECT_EQ(fogvlLayerInterfaceInit(), first);
  EXPECT_TRUE(viewerhost::errorLog().empty());
}

TEST_F(EntryPointsTest, FailedParseIsShownAndTriedAgainNextTime) {
  dir.write("vlfog.uis", "frame fogpropertiesframe \"Mist\"\n  field\nend\n");
  viewerhost::setResourceSearchPath({dir.path().string()});

  EXPECT_EQ(fogvlLayerInterfaceInit(), nullptr);
  ASSERT_EQ(viewerhost::errorLog().size(), 1u);
  EXPECT_NE(viewerhost::errorLog()[0].find("vlfog.uis"), std::string::npos);
  EXPECT_EQ(fogvlLayerInterfaceInit(), nullptr);
  EXPECT_EQ(viewerhost::errorLog().size(), 2u);

  viewerhost::setResourceSearchPath({FOG_LAYER_RESOURCES});
  UikScript *script = fogvlLayerInterfaceInit();
  EXPECT_NE(script, nullptr);
  EXPECT_EQ(pluginScript, script);
  EXPECT_EQ(viewerhost::errorLog().size(), 2u);
}

TEST_F(EntryPointsTest, TypeNamesAndConstantAnswers) {
  EXPECT_STREQ(fogvlLayerGetTypeName(), "Mist");
  EXPECT_EQ(fogvlLayerGetTypeName(), fogvlLayerGetTypeName()); // the constant itself

  const std::size_t blocks = viewerhost::heapLiveBlocks();
  char *type1 = nullptr, *file1 = nullptr, *type2 = nullptr, *file2 = nullptr;
  fogvlLayerGetInterfaceFileTypeDef(&type1, &file1);
  fogvlLayerGetInterfaceFileTypeDef(&type2, &file2);
  ASSERT_NE(type1, nullptr);
  ASSERT_NE(file1, nullptr);
  EXPECT_STREQ(type1, "Mist");
  EXPECT_STREQ(file1, "fog");
  EXPECT_STREQ(type2, "Mist");
  EXPECT_STREQ(file2, "fog");
  EXPECT_NE(type1, type2);
  EXPECT_NE(type1, fogvlLayerGetTypeName());
  EXPECT_NE(file1, file2);
  for (char *copy : {type1, file1, type2, file2}) EXPECT_EQ(hmsc_HeapFree(copy), 0);
  fogvlLayerGetInterfaceFileTypeDef(nullptr, nullptr);
  EXPECT_EQ(viewerhost::heapLiveBlocks(), blocks);

  EXPECT_EQ(fogFileTitleIdentify(), -1);
  EXPECT_EQ(fogInstanceExtListGet(), nullptr);
}

} // namespace
