// Parameter text: the module set-up, the published default list and the
// parser of a material's parameter text, against the stand-in CAD host.
#include "parameter_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "allocation_hooks.h"
#include "cad_control.h"
#include "fog_params_compare.h"

namespace {

const std::vector<std::string> kDefaultList = {
    "fog_relative_coords 1",
    "fog_pattern_scale_z 1.000000",
    "fog_pattern_offset_z 0.000000",
    "fog_primary_color_name Fog Color",
    "fog_primary_color 1.000000 0.900000 0.800000",
    "fog_minimum_density 0.100000",
    "fog_maximum_density 1.000000",
    "fog_drift_speed 0.300000",
    "fog_swirl_speed 90.000000",
    "fog_thickness 1.000000",
    "fog_contrast 1.000000",
    "fog_level_of_detail 3.000000",
};

// Saves and restores the module-wide state these tests change, and starts
// each test with a described module, no published list and a bare host.
class ParameterTextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedDescription_ = textureModuleDescription;
    savedActive_ = activeFogParams;
    savedList_ = dlmTextureParameters;
    dlmTextureParameters = nullptr;
    cadhost::reset();
    describeModule(1);
  }
  void TearDown() override {
    if (dlmTextureParameters != savedList_) {
      xelStringList_free(dlmTextureParameters);
    }
    dlmTextureParameters = savedList_;
    textureModuleDescription = savedDescription_;
    activeFogParams = savedActive_;
    cadhost::reset();
  }

  static void describeModule(int32_t dialogMode) {
    textureModule_setUp(FOG_PARAM_BLOCK_SIZE, &fogParamDefaults, &currentFogParams,
                        &currentFogParams.patternScaleZ, &currentFogParams.patternOffsetZ,
                        &currentFogParams.relativeCoords, 256, 256, 0.5, 0.5, dialogMode, "fog");
  }

  // A material whose map 1 (and map 2, when given) holds these members.
  static XelMaterial *material(const std::vector<std::string> &map1Members,
                               const std::vector<std::string> *map2Members = nullptr) {
    cadhost::MaterialSpec spec;
    spec.id = 7;
    spec.name = "mist";
    spec.map1 = cadhost::MapSpec{};
    spec.map1->parameterText = join(map1Members);
    if (map2Members != nullptr) {
      spec.map2 = cadhost::MapSpec{};
      spec.map2->parameterText = join(*map2Members);
    }
    return cadhost::addMaterial(spec);
  }

  static std::string join(const std::vector<std::string> &members) {
    std::string text;
    for (const std::string &m : members) {
      text += m + "\n";
    }
    return text;
  }

 private:
  TextureModuleDescription savedDescription_{};
  FogTextureParams *savedActive_ = nullptr;
  XelStringList savedList_ = nullptr;
};

TEST_F(ParameterTextTest, SetUpRecordsTheDescriptionAndSkipsTheListInDialogMode) {
  describeModule(3);
  const TextureModuleDescription &d = textureModuleDescription;
  EXPECT_EQ(d.paramBlockSize, sizeof(FogTextureParams));
  EXPECT_EQ(d.defaultParams, &fogParamDefaults);
  EXPECT_EQ(activeFogParams, &currentFogParams);
  EXPECT_EQ(d.scaleZParam, &currentFogParams.patternScaleZ);
  EXPECT_EQ(d.offsetZParam, &currentFogParams.patternOffsetZ);
  EXPECT_EQ(d.relativeCoordsParam, &currentFogParams.relativeCoords);
  EXPECT_EQ(d.defaultImageWidth, 256);
  EXPECT_EQ(d.defaultImageHeight, 256);
  EXPECT_EQ(d.previewExtentU, 0.5f);
  EXPECT_EQ(d.previewExtentV, 0.5f);
  EXPECT_EQ(d.dialogMode, 3);
  EXPECT_STREQ(d.textureName, "fog");
  EXPECT_EQ(dlmTextureParameters, nullptr);

  describeModule(0);
  ASSERT_NE(dlmTextureParameters, nullptr);
  EXPECT_EQ(cadhost::stringListMembers(dlmTextureParameters), kDefaultList);
}

TEST_F(ParameterTextTest, DefaultListIsBuiltOnceFromTheDefaults) {
  std::memset(&currentFogParams, 0x5A, sizeof currentFogParams);
  const int32_t listsBefore = cadhost::liveStringLists();
  buildDefaultParameterList();
  XelStringList first = dlmTextureParameters;
  ASSERT_NE(first, nullptr);
  buildDefaultParameterList();
  EXPECT_EQ(dlmTextureParameters, first);
  EXPECT_EQ(cadhost::liveStringLists(), listsBefore + 1);
  EXPECT_EQ(cadhost::stringListMembers(first), kDefaultList);
  EXPECT_FOG_PARAMS_EQ(currentFogParams, fogParamDefaults);
}

TEST_F(ParameterTextTest, DefaultListSurvivesHostFailures) {
  cadhost::setStringListCreateFailure(cadhost::kAlwaysFail);
  buildDefaultParameterList();
  EXPECT_EQ(dlmTextureParameters, nullptr);

  // The fourth append fails: that parameter alone is left out.
  cadhost::setStringListCreateFailure(cadhost::kNeverFail);
  cadhost::setStringListInsertFailure({3, 1});
  buildDefaultParameterList();
  ASSERT_NE(dlmTextureParameters, nullptr);
  std::vector<std::string> expected = kDefaultList;
  expected.erase(expected.begin() + 3);
  EXPECT_EQ(cadhost::stringListMembers(dlmTextureParameters), expected);
}

TEST_F(ParameterTextTest, ALineThatCannotBeAllocatedEndsTheList) {
  // The second line is over 300 characters long; the first fits without a
  // heap allocation of that size.
  double first = 1.0, second = 1e308, third = 2.0;
  const ParameterDescriptor table[] = {
      {"first", &first, PARAM_DOUBLE, 0, nullptr},
      {"second", &second, PARAM_DOUBLE, 0, nullptr},
      {"third", &third, PARAM_DOUBLE, 0, nullptr},
      {nullptr, nullptr, 0, 0, nullptr},
  };
  XelStringList list = cadhost::makeStringList({});
  bool finished = true;
  {
    AllocationRefusal refusal(256);
    finished = appendParameterLines(list, table);
  }
  EXPECT_FALSE(finished);
  EXPECT_EQ(cadhost::stringListMembers(list), (std::vector<std::string>{"first 1.000000"}));
  EXPECT_TRUE(appendParameterLines(list, table));
  EXPECT_EQ(cadhost::stringListMembers(list).size(), 4u);
  xelStringList_free(list);
}

TEST_F(ParameterTextTest, MaterialTextOverlaysTheDefaults) {
  struct Case {
    const char *what;
    std::vector<std::string> members;
    std::function<void(FogTextureParams &)> expect;
  };
  const auto unchanged = [](FogTextureParams &) {};
  const Case cases[] = {
      {"no members", {}, unchanged},
      {"capital letters", {"FOG_CONTRAST 2"}, [](FogTextureParams &p) { p.contrast = 2.0f; }},
      {"colour name is not the colour",
       {"fog_primary_color_name Fog Color"},
       [](FogTextureParams &p) {
         std::memcpy(p.primaryColorName, "Fog Color\0\0\0\0\0\0\0\0\0\0\0", 20);
       }},
      {"colour name set",
       {"fog_primary_color_name Mist"},
       [](FogTextureParams &p) {
         std::memcpy(p.primaryColorName, "Mist\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0", 20);
       }},
      {"name without value", {"fog_thickness", "fog_contrast_x 4", "fog_contrast4"}, unchanged},
      {"tab separator", {"fog_thickness\t3"}, [](FogTextureParams &p) { p.thickness = 3.0f; }},
      {"two spaces before a number",
       {"fog_swirl_speed  45.5"},
       [](FogTextureParams &p) { p.swirlSpeed = 45.5f; }},
      {"two spaces before a name",
       {"fog_primary_color_name  Mist"},
       [](FogTextureParams &p) {
         std::memcpy(p.primaryColorName, " Mist\0\0\0\0\0\0\0\0\0\0\0\0\0\0", 20);
       }},
      {"name cut to 19 characters",
       {"fog_primary_color_name ABCDEFGHIJKLMNOPQRSTUVWXYZ"},
       [](FogTextureParams &p) { std::memcpy(p.primaryColorName, "ABCDEFGHIJKLMNOPQRS\0", 20); }},
      {"two of three colour components",
       {"fog_primary_color 0.25 0.5"},
       [](FogTextureParams &p) {
         p.primaryColor[0] = 0.25;
         p.primaryColor[1] = 0.5;
       }},
      {"missing component from a later member",
       {"fog_primary_color 0.25 0.5", "fog_primary_color 0.1 0.2 0.3"},
       [](FogTextureParams &p) {
         p.primaryColor[0] = 0.25;
         p.primaryColor[1] = 0.5;
         p.primaryColor[2] = 0.3;
       }},
      {"front member wins",
       {"fog_thickness 2", "fog_level_of_detail 5.5", "fog_thickness 5"},
       [](FogTextureParams &p) {
         p.thickness = 2.0f;
         p.levelOfDetail = 5.5f;
       }},
      {"relative coords without digits",
       {"fog_relative_coords yes"},
       [](FogTextureParams &p) { p.relativeCoords = 0; }},
      {"every parameter",
       {"fog_relative_coords 0", "fog_pattern_scale_z 2.5", "fog_pattern_offset_z -1.25",
        "fog_primary_color_name Grey", "fog_primary_color 0.5 0.5 0.5", "fog_minimum_density 0.2",
        "fog_maximum_density 0.9", "fog_drift_speed 1.5", "fog_swirl_speed 0", "fog_thickness 0.75",
        "fog_contrast 3", "fog_level_of_detail 4", "fog_unknown 9"},
       [](FogTextureParams &p) {
         p.relativeCoords = 0;
         p.patternScaleZ = 2.5;
         p.patternOffsetZ = -1.25;
         std::memcpy(p.primaryColorName, "Grey\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0", 20);
         p.primaryColor[0] = p.primaryColor[1] = p.primaryColor[2] = 0.5;
         p.minimumDensity = 0.2f;
         p.maximumDensity = 0.9f;
         p.driftSpeed = 1.5f;
         p.swirlSpeed = 0.0f;
         p.thickness = 0.75f;
         p.contrast = 3.0f;
         p.levelOfDetail = 4.0f;
       }},
  };
  for (const Case &c : cases) {
    std::memset(&currentFogParams, 0x5A, sizeof currentFogParams);
    XelMaterial *m = material(c.members);
    parseMaterialParameters(m, 0);
    FogTextureParams expected = fogParamDefaults;
    c.expect(expected);
    EXPECT_FOG_PARAMS_EQ(currentFogParams, expected) << " for " << c.what;
  }
}

TEST_F(ParameterTextTest, MatchingLowerCasesTheComparedLettersOnly) {
  XelMaterial *m = material({"FOG_CONTRAST 2.0E0", "FOG_THICKNESS_X 7", "UNRELATED TEXT"});
  parseMaterialParameters(m, 0);
  EXPECT_EQ(currentFogParams.contrast, 2.0f);
  EXPECT_EQ(currentFogParams.thickness, 1.0f);
  EXPECT_EQ(
      cadhost::stringListMembers(m->maps[0]->userData),
      (std::vector<std::string>{"fog_contrast 2.0E0", "fog_thickness_X 7", "uNRELATED TEXT"}));
}

TEST_F(ParameterTextTest, SecondMapSelectsMapTwo) {
  const std::vector<std::string> map2 = {"fog_contrast 4"};
  XelMaterial *m = material({"fog_contrast 3"}, &map2);
  parseMaterialParameters(m, 1);
  EXPECT_EQ(currentFogParams.contrast, 4.0f);
  parseMaterialParameters(m, 0);
  EXPECT_EQ(currentFogParams.contrast, 3.0f);
}

TEST_F(ParameterTextTest, MissingMapOrTextLeavesTheDefaults) {
  cadhost::MaterialSpec noUserData;
  noUserData.id = 8;
  noUserData.map1 = cadhost::MapSpec{};
  noUserData.map1->hasUserData = false;
  cadhost::MaterialSpec noMaps;
  noMaps.id = 9;
  XelMaterial *materials[] = {cadhost::addMaterial(noUserData), cadhost::addMaterial(noMaps),
                              nullptr};
  for (XelMaterial *m : materials) {
    std::memset(&currentFogParams, 0x5A, sizeof currentFogParams);
    parseMaterialParameters(m, 0);
    EXPECT_FOG_PARAMS_EQ(currentFogParams, fogParamDefaults);
    std::memset(&currentFogParams, 0x5A, sizeof currentFogParams);
    parseMaterialParameters(m, 1);
    EXPECT_FOG_PARAMS_EQ(currentFogParams, fogParamDefaults);
  }
}

TEST_F(ParameterTextTest, ParseLeavesTheDefaultsBlockAloneWhileItIsActive) {
  // While a preview draws, the defaults are the active block.
  activeFogParams = &fogParamDefaults;
  const FogTextureParams before = fogParamDefaults;
  parseMaterialParameters(material({"fog_contrast 2"}), 0);
  EXPECT_FOG_PARAMS_EQ(fogParamDefaults, before);
}

TEST(MatchParameterName, NeedsTheWholeNameAndOneWhiteSpace) {
  struct Case {
    const char *member;
    const char *name;
    const char *value; // null: no match
    const char *memberAfter;
  };
  const Case cases[] = {
      {"fog_contrast 2", "fog_contrast", "2", "fog_contrast 2"},
      {"Fog_Contrast\r2", "fog_contrast", "2", "fog_contrast\r2"},
      {"fog_contrast\v", "fog_contrast", "", "fog_contrast\v"},
      {"fog_contrast", "fog_contrast", nullptr, "fog_contrast"},
      {"fog_contrastX 2", "fog_contrast", nullptr, "fog_contrastX 2"},
      {"FOG_COLOUR 2", "fog_contrast", nullptr, "fog_colOUR 2"},
      {"", "fog_contrast", nullptr, ""},
      {"FOG", "fog_contrast", nullptr, "fog"},
  };
  for (const Case &c : cases) {
    std::string member = c.member;
    const char *value = matchParameterName(member.data(), c.name);
    if (c.value == nullptr) {
      EXPECT_EQ(value, nullptr) << c.member;
    } else {
      ASSERT_NE(value, nullptr) << c.member;
      EXPECT_STREQ(value, c.value) << c.member;
    }
    EXPECT_EQ(member, c.memberAfter);
  }
}

} // namespace
