// The earlier build's slot table: the viewer keeps its own file name entry,
// every other Mist slot is bound as in the current build.
#include <gtest/gtest.h>

#include "entry_points.h"
#include "fog_file.h"
#include "layer_create.h"
#include "layer_methods.h"
#include "viewer_scene_fixture.h"

namespace {

using EarlierBindingTest = ViewerSceneTest;

TEST_F(EarlierBindingTest, FileNameSlotStaysTheHostsOwn) {
  char *arguments[] = {const_cast<char *>("/data/valley.fog")};
  FeatureLayer *layer = fogvlLayerCreate(hostLayer(), 0, 1, arguments);
  ASSERT_NE(layer, nullptr);
  FeatureLayer *plain = scape_FeatureLayerCreate();
  ASSERT_NE(plain, nullptr);

  EXPECT_EQ(layer->methods->fileNameGet, plain->methods->fileNameGet);
  EXPECT_NE(layer->methods->fileNameGet, &fogLayer_fileNameGet);
  // Its neighbours in the table are the Mist ones.
  EXPECT_EQ(layer->methods->extListGetB, &fogInstanceExtListGet);
  EXPECT_EQ(layer->methods->typeNameGet, &fogvlLayerGetTypeName);
  EXPECT_EQ(layer->methods->save, &fogFile_save);
  EXPECT_EQ(layer->methods->close, &fogLayer_close);

  scape_FeatureLayerFree(plain);
  EXPECT_EQ(layer->methods->close(layer), 0);
  EXPECT_EQ(blocksLeft(), 0);
}

} // namespace
