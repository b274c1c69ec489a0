// Fog files: the text a save writes, opening it back in either layout, files
// that cannot be read, saves that fail, and the save question at close.
#include "fog_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "attribute_tags.h"
#include "fog_layer.h"
#include "layer_create.h"
#include "temp_dir.h"
#include "viewer_control.h"
#include "viewer_scene_fixture.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// The seven stored values in file order.
struct FogValues {
  double v[7];
};

FogValues valuesOf(const FogLayer &fog) {
  return {{fog.bottomElevation, fog.topElevation, fog.red, fog.green, fog.blue, fog.density,
           fog.planeCount}};
}

void setValues(FogLayer &fog, const FogValues &values) {
  fog.bottomElevation = values.v[0];
  fog.topElevation = values.v[1];
  fog.red = values.v[2];
  fog.green = values.v[3];
  fog.blue = values.v[4];
  fog.density = values.v[5];
  fog.planeCount = values.v[6];
}

// Exact equality, with NaN equal to NaN.
bool same(double a, double b) {
  return (std::isnan(a) && std::isnan(b)) || a == b;
}

void expectValues(const FogValues &actual, const FogValues &expected) {
  for (int i = 0; i < 7; ++i) {
    EXPECT_TRUE(same(actual.v[i], expected.v[i]))
        << "value " << i << ": " << actual.v[i] << " != " << expected.v[i];
  }
}

// What a new layer holds in the fixture's scene (elevations 12.34 to 100).
constexpr FogValues kNewLayer = {{12.3, 56.2, 0.6, 0.6, 0.6, 0.1, 15}};
constexpr char kNewLayerText[] =
    "12.300000\n56.200000\n0.600000\n0.600000\n0.600000\n0.100000\n15.000000\n";

class FogFileTest : public ViewerSceneTest {
 protected:
  void SetUp() override {
    ViewerSceneTest::SetUp();
    ASSERT_TRUE(dir.ok());
    viewerhost::setElevationRange(scene, 12.34, 100);
  }

  FeatureLayer *create(const char *path) {
    char *arguments[] = {const_cast<char *>(path)};
    FeatureLayer *layer = fogvlLayerCreate(hostLayer(), 0, path != nullptr ? 1 : 0, arguments);
    EXPECT_NE(layer, nullptr);
    return layer;
  }

  FeatureLayer *open(const std::string &path) {
    char *arguments[] = {const_cast<char *>(path.c_str())};
    FeatureLayer *layer = fogvlLayerOpen(hostLayer(), 0, 1, arguments);
    EXPECT_NE(layer, nullptr);
    return layer;
  }

  static FogLayer &fog(FeatureLayer *layer) { return *fogLayerOf(layer); }
  static int32_t save(FeatureLayer *layer) { return layer->methods->save(layer); }
  static int32_t close(FeatureLayer *layer) { return layer->methods->close(layer); }

  TempDir dir;
};

TEST_F(FogFileTest, SaveWritesSevenFixedPointLinesThatReadBack) {
  struct Case {
    const char *what;
    FogValues stored;
    const char *text;
    FogValues reopened;
  };
  const Case cases[] = {
      {"new layer", kNewLayer, kNewLayerText, kNewLayer},
      {"six decimals and a negative elevation",
       {{-3.5, 1e6, 1, 0.5, 0, 0.1234567, 7.5}},
       "-3.500000\n1000000.000000\n1.000000\n0.500000\n0.000000\n0.123457\n7.500000\n",
       {{-3.5, 1e6, 1, 0.5, 0, 0.123457, 7.5}}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    const std::string path = dir.file("saved.fog");
    FeatureLayer *layer = create(path.c_str());
    setValues(fog(layer), c.stored);
    fog(layer).modified = 1;

    EXPECT_EQ(save(layer), 0);
    EXPECT_EQ(fog(layer).modified, 0);
    EXPECT_EQ(TempDir::read(path), c.text);

    FeatureLayer *reopened = open(path);
    expectValues(valuesOf(fog(reopened)), c.reopened);
    EXPECT_EQ(fog(reopened).modified, 0);
    EXPECT_EQ(close(reopened), 0);
    EXPECT_EQ(close(layer), 0);
  }
  EXPECT_TRUE(viewerhost::questionsAsked().empty());
  EXPECT_TRUE(viewerhost::errorLog().empty());
  EXPECT_EQ(blocksLeft(), 0);
}

TEST_F(FogFileTest, AnyWhiteSpaceBetweenTheNumbersReadsTheSame) {
  const FogValues expected = {{-1.5, 20, 0.25, 0.5, 0.75, 0.125, 9}};
  const char *texts[] = {
      "-1.500000\n20.000000\n0.250000\n0.500000\n0.750000\n0.125000\n9.000000\n",
      "-1.5 20 0.25 0.5 0.75 0.125 9",
      "\t-1.5e0\r\n\n 2e1 .25\t0.5\n0.75 0.125\n9 and nothing after this is read",
  };
  for (const char *text : texts) {
    SCOPED_TRACE(text);
    FeatureLayer *layer = open(dir.write("layout.fog", text));
    expectValues(valuesOf(fog(layer)), expected);
    EXPECT_EQ(close(layer), 0);
  }
  EXPECT_TRUE(viewerhost::errorLog().empty());
  EXPECT_EQ(blocksLeft(), 0);
}

// A file that cannot be opened gives a new layer the user can save there; a
// file that opens but does not yield seven numbers gives no layer at all and
// is left as it was. Failures the viewer reports are shown either way.
TEST_F(FogFileTest, BadFilesGiveANewLayerOrNoneAndSaySo) {
  struct Case {
    const char *what;
    std::optional<std::string> path; // none: no file name
    std::string contents;            // a refused file is left holding this
    bool layer;
    FogValues expected;
    std::size_t errorsShown;
  };
  const std::string letters = "fog\n";
  const std::size_t invalidFreesBefore = viewerhost::heapInvalidFrees();
  const Case cases[] = {
      {"missing file", dir.file("missing.fog"), "", true, kNewLayer, 1},
      {"a 10000-character path", dir.file(std::string(10000, 'a')), "", true, kNewLayer, 1},
      {"no file name", std::nullopt, "", true, kNewLayer, 0},
      {"not-a-number and infinities",
       dir.write("nan.fog", "nan inf -inf 0.5 INFINITY -NaN 3\n"),
       "",
       true,
       {{kNaN, kInf, -kInf, 0.5, kInf, kNaN, 3}},
       0},
      {"empty file", dir.write("empty.fog", ""), "", false, {}, 0},
      {"three numbers", dir.write("three.fog", "1 2 0.25\n"), "1 2 0.25\n", false, {}, 0},
      {"letters", dir.write("letters.fog", letters), letters, false, {}, 0},
      {"letters after a number",
       dir.write("mixed.fog", "5 x 1 1 1 1 1\n"),
       "5 x 1 1 1 1 1\n",
       false,
       {},
       0},
      {"a directory", dir.path().string(), "", false, {}, 1},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    viewerhost::clearErrorLog();
    char *arguments[] = {c.path ? const_cast<char *>(c.path->c_str()) : nullptr};
    FeatureLayer *layer = fogvlLayerOpen(hostLayer(), 0, c.path ? 1 : 0, arguments);
    const std::vector<std::string> shown = viewerhost::errorLog();
    ASSERT_EQ(shown.size(), c.errorsShown);
    for (const std::string &message : shown)
      EXPECT_NE(message.find(*c.path), std::string::npos) << message;
    if (!c.layer) {
      EXPECT_EQ(layer, nullptr);
      if (std::filesystem::is_regular_file(*c.path)) {
        EXPECT_EQ(TempDir::read(*c.path), c.contents);
      }
      EXPECT_EQ(blocksLeft(), 0);
      continue;
    }
    ASSERT_NE(layer, nullptr);
    expectValues(valuesOf(fog(layer)), c.expected);
    EXPECT_EQ(fog(layer).modified, 0);
    EXPECT_EQ(fog(layer).visible, 1);
    if (c.path) {
      EXPECT_STREQ(fog(layer).fileName, c.path->c_str());
    } else {
      EXPECT_EQ(fog(layer).fileName, nullptr);
    }
    EXPECT_EQ(close(layer), 0);
    EXPECT_EQ(blocksLeft(), 0);
  }
  EXPECT_TRUE(viewerhost::questionsAsked().empty());
  EXPECT_EQ(viewerhost::heapInvalidFrees(), invalidFreesBefore);
}

TEST_F(FogFileTest, NonFiniteValuesSurviveASaveAndReopen) {
  const std::string path = dir.write("nonfinite.fog", "nan -inf inf 0 0 0 nan\n");
  FeatureLayer *layer = open(path);
  const FogValues read = valuesOf(fog(layer));
  ASSERT_EQ(save(layer), 0);
  FeatureLayer *reopened = open(path);
  expectValues(valuesOf(fog(reopened)), read);
  EXPECT_EQ(close(reopened), 0);
  EXPECT_EQ(close(layer), 0);
  EXPECT_EQ(blocksLeft(), 0);
}

TEST_F(FogFileTest, LayerOpenedFromAMissingFileSavesItAnew) {
  const std::string path = dir.file("new.fog");
  FeatureLayer *layer = open(path);
  EXPECT_EQ(save(layer), 0);
  EXPECT_EQ(TempDir::read(path), kNewLayerText);
  EXPECT_EQ(close(layer), 0);
}

TEST_F(FogFileTest, FailedSaveKeepsTheLayerModifiedAndSaysSo) {
  struct Case {
    const char *what;
    const char *path; // null: a layer without a file name
  };
  const std::string inMissingDirectory = dir.file("no/such/dir/x.fog");
  const std::string directory = dir.path().string();
  std::vector<Case> cases = {
      {"no file name", nullptr},
      {"missing directory", inMissingDirectory.c_str()},
      {"a directory", directory.c_str()},
  };
  // A device that accepts the open and fails every write.
  if (std::filesystem::exists("/dev/full")) cases.push_back({"full device", "/dev/full"});

  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    FeatureLayer *layer = create(c.path);
    fog(layer).modified = 1;
    EXPECT_NE(save(layer), 0);
    EXPECT_EQ(fog(layer).modified, 1);
    EXPECT_FALSE(std::filesystem::exists("(null)"));
    EXPECT_FALSE(std::filesystem::exists(dir.file("(null)")));

    // Closing still asks, and a save that fails then is shown before the
    // layer and its changes go.
    viewerhost::clearErrorLog();
    viewerhost::queueAnswer(true);
    EXPECT_EQ(close(layer), 0);
    EXPECT_EQ(viewerhost::errorLog().size(), 1u);
  }
  EXPECT_EQ(viewerhost::questionsAsked().size(), cases.size());
  EXPECT_EQ(blocksLeft(), 0);
}

TEST_F(FogFileTest, CloseAsksOnlyForChangesFromTheProperties) {
  enum class Change { None, AttributesOnly, Properties };
  struct Case {
    const char *what;
    Change change;
    bool answer;
    bool asked;
    bool written;
  };
  const Case cases[] = {
      {"opened and untouched", Change::None, true, false, false},
      {"attributes set", Change::AttributesOnly, true, false, false},
      {"properties changed, answer no", Change::Properties, false, true, false},
      {"properties changed, answer yes", Change::Properties, true, true, true},
  };
  const std::string path = dir.file("prompt.fog");
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    dir.write("prompt.fog", kNewLayerText);
    viewerhost::clearQuestions();
    viewerhost::clearAnswers();
    // The answer goes to the button the plug-in labels "Yes".
    std::vector<std::string> buttons;
    viewerhost::setAnswerCallback(
        [&](const std::string &, const std::string &no, const std::string &yes) {
          buttons = {no, yes};
          return c.answer;
        });
    FeatureLayer *layer = open(path);
    if (c.change == Change::AttributesOnly) {
      layer->methods->attributesSet(layer, nullptr, FOG_ATTRIBUTE_DENSITY, 0.5,
                                    FOG_ATTRIBUTE_PLANE_COUNT, 3, FOG_ATTRIBUTE_END);
    } else if (c.change == Change::Properties) {
      // What the properties frame does when a value changes.
      fog(layer).density = 0.5;
      fog(layer).modified = 1;
    }
    EXPECT_EQ(close(layer), 0);
    viewerhost::setAnswerCallback({});

    const std::vector<std::string> asked = viewerhost::questionsAsked();
    if (c.asked) {
      EXPECT_EQ(asked, std::vector<std::string>{"Save Mist Layer " + path + "?"});
      EXPECT_EQ(buttons, (std::vector<std::string>{"No", "Yes"}));
    } else {
      EXPECT_TRUE(asked.empty());
    }
    EXPECT_EQ(TempDir::read(path),
              c.written
                  ? "12.300000\n56.200000\n0.600000\n0.600000\n0.600000\n0.500000\n15.000000\n"
                  : kNewLayerText);
  }
  EXPECT_TRUE(viewerhost::errorLog().empty());
  EXPECT_EQ(blocksLeft(), 0);
}

TEST(FogSaveQuestion, FitsItsBufferAndKeepsTheEndOfLongNames) {
  const std::string fits(238, 'f');
  const std::string tooLong(239, 'g');
  const std::string veryLong = std::string(9990, 'd') + "/valley.fog";
  std::string accented;
  for (int i = 0; i < 5000; ++i) accented += "\xC3\xA9"; // two bytes each
  struct Case {
    const char *what;
    const char *name;
    std::string expected;
  };
  const Case cases[] = {
      {"short name", "/data/valley.fog", "Save Mist Layer /data/valley.fog?"},
      {"no file name", nullptr, "Save Mist Layer?"},
      {"name that just fits", fits.c_str(), "Save Mist Layer " + fits + "?"},
      {"one byte too long", tooLong.c_str(), "Save Mist Layer ..." + std::string(235, 'g') + "?"},
      {"very long path", veryLong.c_str(),
       "Save Mist Layer ..." + veryLong.substr(veryLong.size() - 235) + "?"},
      // 235 bytes of the tail would start inside a character; the cut moves
      // to the next whole one.
      {"multi-byte characters", accented.c_str(),
       "Save Mist Layer ..." + accented.substr(accented.size() - 234) + "?"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    // Room beyond the 256 bytes, filled with a mark that must survive.
    std::vector<char> buffer(2 * kFogQuestionSize, '#');
    fogFile_saveQuestion(c.name, buffer.data());
    EXPECT_EQ(std::string(buffer.data()), c.expected);
    EXPECT_LT(std::strlen(buffer.data()), static_cast<std::size_t>(kFogQuestionSize));
    for (std::size_t i = kFogQuestionSize; i < buffer.size(); ++i) ASSERT_EQ(buffer[i], '#');
  }
}

} // namespace
