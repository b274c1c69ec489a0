// The stand-in CAD application: string lists, published variables, notices,
// the ray tracer, views and units, logs, and materials with their maps.
#include "cad_host.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "cad_control.h"

namespace {

class CadHost : public ::testing::Test {
 protected:
  void SetUp() override { cadhost::reset(); }
  void TearDown() override { cadhost::reset(); }
};

// Reads a value of type T at a byte offset of a host record, as a module
// that knows only the offsets would.
template <typename T>
T at(const void *record, size_t offset) {
  T value;
  std::memcpy(&value, static_cast<const char *>(record) + offset, sizeof value);
  return value;
}

int32_t append(XelStringList list, const char *text) {
  int32_t index = -1;
  if (xelStringList_insertMember(&index, list, -1, 1) != 0) return -1;
  xelStringList_setMember(list, index, text, nullptr);
  return index;
}

// ------------------------------------------------------------ string lists

TEST_F(CadHost, StringListKeepsCopiesAndHandsOutWritableMembers) {
  const int32_t before = cadhost::liveStringLists();
  XelStringList list = xelStringList_create(0, 0);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(cadhost::liveStringLists(), before + 1);

  char buffer[32] = "fog_density 0.5";
  EXPECT_EQ(append(list, buffer), 0);
  std::strcpy(buffer, "reused buffer"); // the member is a copy
  EXPECT_EQ(append(list, "fog_thickness 2"), 1);

  int32_t index = -1;
  ASSERT_EQ(xelStringList_insertMember(&index, list, 0, 2), 0); // two blanks at the front
  EXPECT_EQ(index, 0);
  EXPECT_EQ(xelStringList_size(list), 4);

  char *text = nullptr;
  ASSERT_EQ(xelStringList_getMember(&text, nullptr, list, 2), 0);
  ASSERT_NE(text, nullptr);
  text[0] = 'F'; // writes land in the list's own text
  EXPECT_EQ(cadhost::stringListMembers(list),
            (std::vector<std::string>{"", "", "Fog_density 0.5", "fog_thickness 2"}));

  xelStringList_free(list);
  EXPECT_EQ(cadhost::liveStringLists(), before);
}

TEST_F(CadHost, StringListRefusesBadArgumentsAndStaleHandles) {
  XelStringList list = cadhost::makeStringList({"a", "b"});
  int32_t index = 77;
  struct Insert {
    int32_t position, count;
  };
  for (const Insert bad : {Insert{-2, 1}, Insert{3, 1}, Insert{0, 0}, Insert{-1, -1}}) {
    EXPECT_NE(xelStringList_insertMember(&index, list, bad.position, bad.count), 0)
        << bad.position << " " << bad.count;
  }
  EXPECT_EQ(index, 77);
  EXPECT_EQ(xelStringList_insertMember(&index, list, 2, 1), 0); // at the end is allowed
  EXPECT_EQ(index, 2);

  char *text = reinterpret_cast<char *>(&index);
  for (const int32_t bad : {-1, 3, 100}) {
    EXPECT_NE(xelStringList_getMember(&text, nullptr, list, bad), 0) << bad;
    EXPECT_EQ(text, nullptr);
    EXPECT_NE(xelStringList_setMember(list, bad, "x", nullptr), 0) << bad;
  }
  EXPECT_NE(xelStringList_setMember(list, 0, nullptr, nullptr), 0);
  EXPECT_NE(xelStringList_getMember(nullptr, nullptr, list, 0), 0);

  xelStringList_free(list);
  // A released handle is refused, not read.
  EXPECT_EQ(xelStringList_size(list), 0);
  EXPECT_NE(xelStringList_getMember(&text, nullptr, list, 0), 0);
  EXPECT_NE(xelStringList_insertMember(&index, list, -1, 1), 0);
  xelStringList_free(list);
  EXPECT_EQ(xelStringList_size(nullptr), 0);
}

TEST_F(CadHost, PlannedFailuresHitExactlyThePlannedCalls) {
  cadhost::setStringListCreateFailure(cadhost::kAlwaysFail);
  EXPECT_EQ(xelStringList_create(0, 0), nullptr);
  EXPECT_EQ(xelStringList_create(0, 0), nullptr);
  cadhost::setStringListCreateFailure(cadhost::kNeverFail);
  XelStringList list = xelStringList_create(0, 0);
  ASSERT_NE(list, nullptr);

  cadhost::setStringListInsertFailure({2, 1}); // the third insert fails
  std::vector<int32_t> results;
  for (int i = 0; i < 5; ++i) {
    int32_t index = -1;
    results.push_back(xelStringList_insertMember(&index, list, -1, 1));
  }
  EXPECT_EQ(results, (std::vector<int32_t>{0, 0, 1, 0, 0}));
  EXPECT_EQ(xelStringList_size(list), 4);

  cadhost::setStringListInsertFailure({0, 1});
  cadhost::reset(); // planned failures do not outlive a reset
  int32_t index = -1;
  EXPECT_EQ(xelStringList_insertMember(&index, list, -1, 1), 0);
  xelStringList_free(list);
}

TEST_F(CadHost, ParameterTextSplitsIntoLines) {
  using Lines = std::vector<std::string>;
  const struct {
    const char *text;
    Lines lines;
  } cases[] = {
      {"", {}},
      {"fog_density 1", {"fog_density 1"}},
      {"a 1\nb 2\n", {"a 1", "b 2"}},
      {"a 1\r\nb 2\r\n", {"a 1", "b 2"}},
      {"a 1\n\nb 2", {"a 1", "", "b 2"}},
      {"\n", {""}},
  };
  for (const auto &c : cases) EXPECT_EQ(cadhost::splitParameterText(c.text), c.lines) << c.text;
}

// -------------------------------------------------------------- variables

TEST_F(CadHost, PublishedVariablesAnswerWithTheValueAtByteEight) {
  using cadhost::Symbol;
  cadhost::setRayTracingValue(3);
  cadhost::setNeedAltTransformValue(1);
  cadhost::setAltRenderOrigin({1.0, 2.0, 3.0});
  cadhost::setAltRenderTransform({0, 1, 0, -1, 0, 0, 0, 0, 1});

  const Symbol all[] = {Symbol::AnimatorSeconds, Symbol::RayTracing,
                        Symbol::SpotFunctions,   Symbol::NeedAltTransform,
                        Symbol::AltRenderOrigin, Symbol::AltRenderTransform};
  for (const Symbol symbol : all) {
    XelExpressionValue value;
    std::memset(&value, 0xAB, sizeof value);
    EXPECT_NE(xelCExpression_getValue(&value, 0, cadhost::symbolName(symbol), 32), 0);
    EXPECT_EQ(at<uint32_t>(&value, 8), 0xABABABABu) << "unpublished variables write nothing";
    cadhost::publish(symbol);
  }

  auto word = [](const char *symbol) {
    XelExpressionValue value{};
    EXPECT_EQ(xelCExpression_getValue(&value, 0, symbol, 32), 0) << symbol;
    return at<intptr_t>(&value, 8);
  };
  const auto *seconds = reinterpret_cast<const double *>(word("animatorSecondsP"));
  EXPECT_EQ(word("veloxRayTracing"), 3);
  EXPECT_EQ(word("veloxNeedAltXform"), 1);
  const auto *origin = reinterpret_cast<const double *>(word("veloxAltRenderOrigin"));
  EXPECT_EQ(origin[2], 3.0);
  const auto *transform = reinterpret_cast<const double *>(word("veloxAltRenderXform"));
  EXPECT_EQ(transform[3], -1.0);

  // The clock is read through its address: later changes show there.
  ASSERT_EQ(seconds, cadhost::animationSecondsAddress());
  cadhost::setAnimationSeconds(1.5);
  cadhost::advanceAnimation(0.25);
  EXPECT_EQ(*seconds, 1.75);

  auto *table = reinterpret_cast<SpotFunction *>(word("rendloadSpotFuncs"));
  cadhost::setScreenRect({10, 20, 30, 40});
  cadhost::setDepthRange(0.25f, 4.0f);
  cadhost::setScreenToView({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16});
  int32_t rect[4] = {};
  reinterpret_cast<SpotScreenRect>(table[SPOT_SCREEN_RECT])(&rect[0], &rect[1], &rect[2], &rect[3]);
  EXPECT_EQ(std::vector<int32_t>(rect, rect + 4), (std::vector<int32_t>{10, 20, 30, 40}));
  float nearDepth = 0, farDepth = 0;
  reinterpret_cast<SpotDepthRange>(table[SPOT_DEPTH_RANGE])(&nearDepth, &farDepth);
  EXPECT_EQ(nearDepth, 0.25f);
  EXPECT_EQ(farDepth, 4.0f);
  float matrix[16] = {};
  reinterpret_cast<SpotScreenToView>(table[SPOT_SCREEN_TO_VIEW])(matrix);
  EXPECT_EQ(matrix[4], 5.0f);
  EXPECT_EQ(matrix[15], 16.0f);
  EXPECT_EQ(cadhost::callCount("rendloadSpotFuncs[140]"), 1);

  cadhost::withdraw(Symbol::AnimatorSeconds);
  XelExpressionValue value{};
  EXPECT_NE(xelCExpression_getValue(&value, 0, "animatorSecondsP", 32), 0);
  EXPECT_NE(xelCExpression_getValue(&value, 0, "noSuchVariable", 32), 0);
  EXPECT_EQ(cadhost::expressionLookups("animatorSecondsP"), 3);
}

// ---------------------------------------------------- notices, ray tracer

std::vector<std::string> noticesSeen;
int32_t recordNotice(int32_t handle, const char *name) {
  noticesSeen.push_back(std::to_string(handle) + ":" + name);
  return 0;
}
int32_t recordNoticeAgain(int32_t handle, const char *name) {
  noticesSeen.push_back("again " + std::to_string(handle) + ":" + name);
  return 0;
}

TEST_F(CadHost, NoticesReachOneFunctionPerModule) {
  noticesSeen.clear();
  EXPECT_EQ(dlmSystem_setFunction(1, 7, recordNotice), 0);
  EXPECT_EQ(dlmSystem_setFunction(1, 9, recordNotice), 0);
  EXPECT_EQ(dlmSystem_setFunction(1, 7, recordNoticeAgain), 0); // replaces module 7's
  EXPECT_NE(dlmSystem_setFunction(2, 5, recordNotice), 0);      // no such slot
  EXPECT_EQ(cadhost::sendNotice("animashr"), 2);
  EXPECT_EQ(noticesSeen, (std::vector<std::string>{"again 7:animashr", "9:animashr"}));

  EXPECT_EQ(dlmSystem_setFunction(1, 7, nullptr), 0);
  EXPECT_EQ(cadhost::noticeFunction(7), nullptr);
  EXPECT_EQ(cadhost::noticeFunction(9), &recordNotice);
  noticesSeen.clear();
  EXPECT_EQ(cadhost::sendNotice("other"), 1);
  EXPECT_EQ(noticesSeen, (std::vector<std::string>{"9:other"}));
}

TEST_F(CadHost, RayTracerAnswersFromItsOwnTable) {
  cadhost::addMaterial({.id = 5, .name = "host five"});
  XelMaterial *traced = cadhost::addRayTracerMaterial({.id = 5, .name = "traced five"});
  EXPECT_EQ(xelSystem_findXelDesc("VELOX"), nullptr);
  cadhost::setRayTracerLoaded(true);
  XelDesc *velox = xelSystem_findXelDesc("VELOX");
  ASSERT_NE(velox, nullptr);
  EXPECT_EQ(xelSystem_findXelDesc("OTHER"), nullptr);

  EXPECT_EQ(xelSystem_callFunctionByCmdName(velox, "velox_materialFindFromId", int32_t{5}), traced);
  EXPECT_EQ(xelSystem_callFunctionByCmdName(velox, "velox_materialFindFromId", int32_t{6}),
            nullptr);
  EXPECT_EQ(xelSystem_callFunctionByCmdName(velox, "velox_other", int32_t{5}), nullptr);
  EXPECT_EQ(xelSystem_callFunctionByCmdName(nullptr, "velox_materialFindFromId", int32_t{5}),
            nullptr);
  cadhost::setRayTracerLoaded(false);
  EXPECT_EQ(xelSystem_callFunctionByCmdName(velox, "velox_materialFindFromId", int32_t{5}),
            nullptr);
}

// ------------------------------------------------------ views, units, logs

TEST_F(CadHost, ViewsUnitsAndActivePoint) {
  cadhost::ViewInfo view;
  view.origin = {100.0, 200.0, 300.0};
  view.rotation = {0, 1, 0, -1, 0, 0, 0, 0, 1};
  view.viewNumber = 3;
  cadhost::setView(42, view);

  double origin[3] = {9, 9, 9}, rotation[9] = {};
  int32_t number = 9;
  auto ask = [&](int32_t window) {
    return xelView_getInfoFromWindow(nullptr, nullptr, nullptr, nullptr, nullptr, origin, nullptr,
                                     nullptr, nullptr, rotation, nullptr, nullptr, &number, window);
  };
  EXPECT_EQ(ask(42), 0);
  EXPECT_EQ(origin[1], 200.0);
  EXPECT_EQ(rotation[3], -1.0);
  EXPECT_EQ(number, 3);

  EXPECT_NE(ask(43), 0); // unknown window: no view
  EXPECT_EQ(std::vector<double>(origin, origin + 3), (std::vector<double>{0, 0, 0}));
  double identity[9] = {};
  xelRMatrix_getIdentity(identity);
  EXPECT_EQ(std::memcmp(rotation, identity, sizeof identity), 0);
  EXPECT_EQ(identity[0] + identity[4] + identity[8], 3.0);
  EXPECT_EQ(number, -1);

  cadhost::setUorPerMaster(1000.0);
  cadhost::setUorPerSub(10.0);
  XelModelRef model = xelModelRef_getActive();
  ASSERT_NE(model, nullptr);
  EXPECT_EQ(xelModelRef_getUorPerMaster(model), 1000.0);
  EXPECT_EQ(xelModelRef_getUorPerSub(model), 10.0);

  cadhost::setActivePoint({1.0, -2.0, 3.5});
  double point[3] = {};
  EXPECT_EQ(xelParams_getActive(point, 54), 0);
  EXPECT_EQ(point[1], -2.0);
  EXPECT_EQ(point[2], 3.5);
  EXPECT_NE(xelParams_getActive(point, 53), 0);
}

TEST_F(CadHost, UserAbortAndCommandsAreLogged) {
  EXPECT_EQ(xelSystem_userAbortEnable(0), 1);
  EXPECT_FALSE(cadhost::userAbortEnabled());
  EXPECT_EQ(xelSystem_userAbortEnable(1), 0);
  EXPECT_EQ(cadhost::userAbortLog(), (std::vector<int32_t>{0, 1}));

  xelDialog_cmdNumberQueue(0, XEL_CMD_TEXTURE_PREVIEW_DONE, "fog", 1);
  xelDialog_cmdNumberQueue(2, 5, nullptr, 0);
  const auto commands = cadhost::commandLog();
  ASSERT_EQ(commands.size(), 2u);
  EXPECT_EQ(commands[0].commandNumber, 0x79020000u);
  EXPECT_EQ(commands[0].argumentText, "fog");
  EXPECT_EQ(commands[0].flags, 1);
  EXPECT_EQ(commands[1].argumentText, "");
  EXPECT_EQ(cadhost::callCount("xelDialog_cmdNumberQueue"), 2);

  cadhost::reset();
  EXPECT_TRUE(cadhost::userAbortLog().empty());
  EXPECT_TRUE(cadhost::commandLog().empty());
  EXPECT_EQ(cadhost::callCount("xelDialog_cmdNumberQueue"), 0);
}

// -------------------------------------------------------------- materials

TEST_F(CadHost, MaterialRecordsKeepTheHostOffsets) {
  cadhost::MapSpec map;
  map.mode = 2;
  map.patternScale[0] = 1.5;
  map.patternScale[1] = 2.5;
  map.patternOffset[0] = -3.0;
  map.patternOffset[1] = 4.0;
  map.parameterText = "fog_density 0.5\nFOG_THICKNESS 2\n";
  cadhost::addMaterial({.id = 12, .name = "Valley fog", .map1 = map});

  XelMaterial *material = xelMaterial_findFromId(12);
  ASSERT_NE(material, nullptr);
  EXPECT_STREQ(reinterpret_cast<const char *>(material) + 4, "Valley fog");
  XelMap *first = xelMaterial_getMap(material, 1, 0);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(at<int32_t>(first, 264), 2);
  EXPECT_EQ(at<double>(first, 280), 1.5);
  EXPECT_EQ(at<double>(first, 288), 2.5);
  EXPECT_EQ(at<double>(first, 296), -3.0);
  EXPECT_EQ(at<double>(first, 304), 4.0);
  EXPECT_EQ(cadhost::stringListMembers(xelMaterial_getMapUserData(first)),
            (std::vector<std::string>{"fog_density 0.5", "FOG_THICKNESS 2"}));
  EXPECT_EQ(xelMaterial_findFromId(13), nullptr);
}

TEST_F(CadHost, MapSelection) {
  cadhost::MapSpec plain;
  cadhost::MapSpec bare;
  bare.hasUserData = false;
  XelMaterial *both = cadhost::addMaterial({.id = 1, .map1 = plain, .map2 = bare});
  XelMaterial *second = cadhost::addMaterial({.id = 2, .map2 = plain});
  XelMaterial *none = cadhost::addMaterial({.id = 3});
  const struct {
    XelMaterial *material;
    int32_t number;
    XelMap *expected;
  } cases[] = {
      {both, 1, both->maps[0]}, {both, 2, both->maps[1]},     {both, -1, both->maps[0]},
      {second, 1, nullptr},     {second, 2, second->maps[1]}, {second, -1, second->maps[1]},
      {none, 1, nullptr},       {none, -1, nullptr},          {both, 3, nullptr},
      {both, 0, nullptr},       {nullptr, 1, nullptr},
  };
  for (const auto &c : cases) {
    EXPECT_EQ(xelMaterial_getMap(c.material, c.number, 0), c.expected)
        << (c.material ? c.material->id : 0) << " map " << c.number;
  }
  ASSERT_NE(both->maps[1], nullptr);
  EXPECT_EQ(both->maps[1]->number, 2);
  EXPECT_EQ(xelMaterial_getMapUserData(both->maps[1]), nullptr);
  EXPECT_NE(xelMaterial_getMapUserData(both->maps[0]), nullptr);
  EXPECT_EQ(xelMaterial_getMapUserData(nullptr), nullptr);
}

TEST_F(CadHost, CreatedMaterialsBelongToTheCaller) {
  XelMaterial *tabled = cadhost::addMaterial({.id = 4, .name = "kept"});
  const int32_t before = cadhost::liveMaterials();
  XelMaterial *created = xelMaterial_create();
  ASSERT_NE(created, nullptr);
  EXPECT_EQ(created->id, 0);
  EXPECT_STREQ(created->name, "");
  EXPECT_EQ(xelMaterial_getMap(created, -1, 0), nullptr);
  EXPECT_EQ(cadhost::liveMaterials(), before + 1);

  std::strcpy(created->name, "Unknown material");
  cadhost::reset(); // the caller still holds it
  EXPECT_STREQ(created->name, "Unknown material");
  EXPECT_EQ(cadhost::liveMaterials(), before + 1);
  xelMaterial_free(created);
  EXPECT_EQ(cadhost::liveMaterials(), before);

  tabled = cadhost::addMaterial({.id = 4, .name = "kept"});
  xelMaterial_free(tabled); // the host's own material is not the caller's to free
  EXPECT_EQ(xelMaterial_findFromId(4), tabled);
  EXPECT_STREQ(tabled->name, "kept");

  cadhost::setMaterialCreateFailure(cadhost::kAlwaysFail);
  EXPECT_EQ(xelMaterial_create(), nullptr);
  EXPECT_EQ(cadhost::liveMaterials(), before);
}

TEST_F(CadHost, AddingAnIdAgainReplacesTheMaterial) {
  cadhost::addMaterial({.id = 8, .name = "old"});
  XelMaterial *replacement = cadhost::addMaterial({.id = 8, .name = "new"});
  EXPECT_EQ(xelMaterial_findFromId(8), replacement);
  EXPECT_STREQ(xelMaterial_findFromId(8)->name, "new");
  EXPECT_TRUE(cadhost::removeMaterial(8));
  EXPECT_FALSE(cadhost::removeMaterial(8));
  EXPECT_EQ(xelMaterial_findFromId(8), nullptr);
}

} // namespace
