// fogviewer end to end: the built program run on small scripts in a
// temporary folder, checked by the files it writes (session scripts, fog
// files, PNG pictures) and by how it reports a bad script.
#include <gtest/gtest.h>
#include <png.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "temp_dir.h"

namespace {

struct ProgramRun {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs fogviewer in `dir` (its --out folder) with standard input from
// /dev/null, so no question is ever asked on a terminal.
ProgramRun runViewer(const TempDir &dir, const std::string &arguments) {
  const std::string out = dir.file("stdout.txt");
  const std::string err = dir.file("stderr.txt");
  const std::string command = std::string("'") + FOG_VIEWER_PROGRAM + "' --out '" +
                              dir.path().string() + "' " + arguments + " > '" + out + "' 2> '" +
                              err + "' < /dev/null";
  const int raw = std::system(command.c_str());
  ProgramRun run;
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  run.out = TempDir::read(out);
  run.err = TempDir::read(err);
  return run;
}

// Writes `text` as the script `name` and runs it.
ProgramRun runScript(const TempDir &dir, const std::string &name, const std::string &text,
                     const std::string &options = "") {
  return runViewer(dir, options + " '" + dir.write(name, text) + "'");
}

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;
  const uint8_t *at(int x, int y) const {
    return rgb.data() + (static_cast<size_t>(y) * width + x) * 3;
  }
};

std::optional<Picture> readPng(const std::string &path) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return std::nullopt;
  image.format = PNG_FORMAT_RGB;
  Picture picture;
  picture.width = static_cast<int>(image.width);
  picture.height = static_cast<int>(image.height);
  picture.rgb.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, picture.rgb.data(), 0, nullptr)) return std::nullopt;
  return picture;
}

// A grey PNG of `side` x `side` pixels, every pixel `level`.
void writeGreyPng(const std::string &path, int side, uint8_t level) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(side);
  image.height = static_cast<png_uint_32>(side);
  image.format = PNG_FORMAT_GRAY;
  const std::vector<uint8_t> pixels(static_cast<size_t>(side) * side, level);
  ASSERT_TRUE(png_image_write_to_file(&image, path.c_str(), 0, pixels.data(), 0, nullptr));
}

bool skyLike(const uint8_t *p) {
  return p[2] > p[0] + 20 && p[2] > p[1];
}

class FogViewer : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dir.ok()); }
  std::string file(const std::string &name) const { return TempDir::read(dir.file(name)); }
  bool exists(const std::string &name) const { return std::filesystem::exists(dir.file(name)); }
  TempDir dir;
};

// ------------------------------------------------------ session scripts

TEST_F(FogViewer, SessionScriptReplaysToTheSameScript) {
  struct Case {
    const char *name;
    const char *script;
    const char *written; // null: not checked beyond the round trip
  };
  const Case cases[] = {
      {"stack order, a hidden row and exact numbers",
       "TERRAIN PROCEDURAL 1200 800 12.34 100 ;\n"
       "MENU \"New Mist Layer...\" \"low.fog\" ;\n"
       "SAVE 1 ;\n"
       "MENU \"New Mist Layer...\" \"high.fog\" ;\n"
       "SAVE 1 ;\n"
       "LAYERVISIBLE 1 0 ;\n"
       "POPUP 2 \"Raise to Top\" ;\n"
       "VIEW 10.5 -20.25 333.125 0.1 -7.75 64 48 ;\n"
       "WRITESESSION \"first.fvs\" ;\n",
       "# fogviewer session: replay it with fogviewer --out <its folder> <this file>\n"
       "TERRAIN PROCEDURAL 1200 800 12.34 100 ;\n"
       "VIEW 10.5 -20.25 333.125 0.1 -7.75 64 48 ;\n"
       "\tADDFEATURELAYER \"Mist\" \"high.fog\" ;\n"
       "LAYERVISIBLE 1 0 ;\n"
       "\tADDFEATURELAYER \"Mist\" \"low.fog\" ;\n"},
      {"the default terrain and view", "WRITESESSION \"first.fvs\" ;\n", nullptr},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    const ProgramRun first = runScript(dir, "make.fvs", c.script);
    ASSERT_EQ(first.status, 0) << first.err;
    const std::string written = file("first.fvs");
    if (c.written != nullptr) {
      EXPECT_EQ(written, c.written);
    }

    dir.write("again.fvs", "WRITESESSION \"second.fvs\" ;\n");
    const ProgramRun replay =
        runViewer(dir, "'" + dir.file("first.fvs") + "' '" + dir.file("again.fvs") + "'");
    ASSERT_EQ(replay.status, 0) << replay.err;
    EXPECT_EQ(file("second.fvs"), written);
  }
}

// ------------------------------------------------------ the built-in demo

TEST_F(FogViewer, DemoWritesEveryFileAndItsSessionReplays) {
  const ProgramRun demo = runViewer(dir, "--no");
  ASSERT_EQ(demo.status, 0) << demo.err;
  struct Written {
    const char *name;
    int width; // 0: not a picture
    int height;
  };
  for (const Written &w :
       {Written{"viewer_outside.png", 800, 600}, Written{"viewer_inside.png", 800, 600},
        Written{"viewer_stack.png", 260, 96}, Written{"valley.fog", 0, 0},
        Written{"haze.fog", 0, 0}, Written{"viewer_session.fvs", 0, 0}}) {
    SCOPED_TRACE(w.name);
    EXPECT_NE(demo.out.find(std::string("wrote ") + dir.file(w.name) + "\n"), std::string::npos)
        << demo.out;
    if (w.width == 0) {
      EXPECT_TRUE(exists(w.name));
      continue;
    }
    const std::optional<Picture> picture = readPng(dir.file(w.name));
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->width, w.width);
    EXPECT_EQ(picture->height, w.height);
  }
  // The values typed into the properties frame reached the file.
  EXPECT_EQ(file("valley.fog"),
            "100.000000\n380.000000\n0.860000\n0.890000\n0.950000\n0.120000\n16.000000\n");
  const std::string session = file("viewer_session.fvs");
  EXPECT_NE(session.find("\tADDFEATURELAYER \"Mist\" \"valley.fog\" ;\n"
                         "\tADDFEATURELAYER \"Mist\" \"haze.fog\" ;\nLAYERVISIBLE 1 0 ;\n"),
            std::string::npos)
      << session;
  dir.write("again.fvs", "WRITESESSION \"replayed.fvs\" ;\n");
  const ProgramRun replay =
      runViewer(dir, "'" + dir.file("viewer_session.fvs") + "' '" + dir.file("again.fvs") + "'");
  ASSERT_EQ(replay.status, 0) << replay.err;
  EXPECT_EQ(file("replayed.fvs"), session);
}

// ------------------------------------------------------------ fog files

TEST_F(FogViewer, FogFilesHoldTheLayersValues) {
  dir.write("one_line.fog", "1 2 0.25 0.5 0.75 0.2 3");
  struct Case {
    const char *name;
    const char *script;
    const char *file;
    const char *expected;
  };
  const Case cases[] = {
      {"a new layer takes its slab from the terrain's elevation range",
       "TERRAIN PROCEDURAL 1000 1000 12.34 100 ;\n"
       "MENU \"New Mist Layer...\" \"new.fog\" ;\n"
       "SAVE 1 ;\n",
       "new.fog", "12.300000\n56.200000\n0.600000\n0.600000\n0.600000\n0.100000\n15.000000\n"},
      {"values typed into the properties frame and applied",
       "MENU \"New Mist Layer...\" \"edited.fog\" ;\n"
       "POPUP \"edited\" \"Properties...\" ;\n"
       "FIELD 1 \"density\" \"0.1234567\" ;\n"
       "FIELD 1 \"Number of planes\" \"7.5\" ;\n"
       "FIELD 1 \"top\" \"20\" ;\n"
       "FIELD 1 \"bottom\" \"-3.5\" ;\n"
       "FIELD 1 \"red\" \"1\" ;\n"
       "FIELD 1 \"green\" \"0.5\" ;\n"
       "FIELD 1 \"blue\" \"0\" ;\n"
       "PRESS 1 \"Apply\" ;\n"
       "PRESS 1 \"Close\" ;\n"
       "SAVE \"edited\" ;\n",
       "edited.fog", "-3.500000\n20.000000\n1.000000\n0.500000\n0.000000\n0.123457\n7.500000\n"},
      {"a file opened by ADDFEATURELAYER is saved back in full",
       "ADDFEATURELAYER \"Mist\" \"one_line.fog\" ;\n"
       "SAVE 1 ;\n",
       "one_line.fog", "1.000000\n2.000000\n0.250000\n0.500000\n0.750000\n0.200000\n3.000000\n"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    const ProgramRun run = runScript(dir, "fog.fvs", c.script);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(file(c.file), c.expected);
  }
}

TEST_F(FogViewer, AChangedLayerIsSavedAtTheEndOnlyWhenTheAnswerIsYes) {
  const char *script =
      "MENU \"New Mist Layer...\" \"asked.fog\" ;\n"
      "POPUP 1 \"Properties...\" ;\n"
      "FIELD 1 \"density\" \"0.3\" ;\n"
      "PRESS 1 \"Apply\" ;\n";
  struct Case {
    const char *options;
    bool saved;
  };
  const Case cases[] = {{"--yes", true}, {"--no", false}, {"", false}};
  for (const Case &c : cases) {
    SCOPED_TRACE(c.options);
    std::filesystem::remove(dir.file("asked.fog"));
    const ProgramRun run = runScript(dir, "ask.fvs", script, c.options);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("Save Mist Layer asked.fog?"), std::string::npos) << run.err;
    EXPECT_EQ(exists("asked.fog"), c.saved);
    if (c.saved) {
      EXPECT_NE(file("asked.fog").find("\n0.300000\n"), std::string::npos);
    }
  }
}

TEST_F(FogViewer, EarlierOptionLoadsTheEarlierPlugin) {
  struct Case {
    const char *options;
    const char *library;
  };
  const Case cases[] = {{"", FOG_VIEWER_PLUGIN}, {"--earlier", FOG_VIEWER_EARLIER_PLUGIN}};
  for (const Case &c : cases) {
    SCOPED_TRACE(c.library);
    const ProgramRun run = runScript(dir, "load.fvs",
                                     "TERRAIN PROCEDURAL 100 100 0.25 1 ;\n"
                                     "MENU \"New Mist Layer...\" \"loaded.fog\" ;\n"
                                     "SAVE 1 ;\n",
                                     c.options);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find(std::string("layer plug-in ") + c.library + "\n"), std::string::npos)
        << run.out;
    EXPECT_EQ(file("loaded.fog"),
              "0.300000\n0.600000\n0.600000\n0.600000\n0.600000\n0.100000\n15.000000\n");
  }
}

// -------------------------------------------------------------- pictures

TEST_F(FogViewer, RenderedViewsShowTheFogAndTheTintFromInside) {
  // A red layer, slab 100..150, half the opacity for the tint. The eye looks
  // up 20 degrees from south of the ground, so the top rows are sky. The
  // scene draws around its lowest elevation (an origin offset of -100 in z),
  // so only an eye elevation in scene units puts the eye inside the slab.
  const ProgramRun run = runScript(dir, "views.fvs",
                                   "TERRAIN PROCEDURAL 1000 1000 100 200 ;\n"
                                   "MENU \"New Mist Layer...\" \"red.fog\" ;\n"
                                   "POPUP 1 \"Properties...\" ;\n"
                                   "FIELD 1 \"density\" \"0.25\" ;\n"
                                   "FIELD 1 \"red\" \"1\" ;\n"
                                   "FIELD 1 \"green\" \"0\" ;\n"
                                   "FIELD 1 \"blue\" \"0\" ;\n"
                                   "PRESS 1 \"Apply\" ;\n"
                                   "SAVE 1 ;\n"
                                   "VIEW 500 -3000 140 0 20 96 64 ;\n"
                                   "LAYERVISIBLE 1 0 ;\n"
                                   "RENDER \"inside_bare.png\" ;\n"
                                   "LAYERVISIBLE 1 1 ;\n"
                                   "RENDER \"inside_fog.png\" ;\n"
                                   "VIEW 500 -3000 500 0 20 96 64 ;\n"
                                   "LAYERVISIBLE 1 0 ;\n"
                                   "RENDER \"above_bare.png\" ;\n"
                                   "LAYERVISIBLE 1 1 ;\n"
                                   "RENDER \"above_fog.png\" ;\n"
                                   "VIEW 500 -300 500 0 -40 96 64 ;\n"
                                   "LAYERVISIBLE 1 0 ;\n"
                                   "RENDER \"down_bare.png\" ;\n"
                                   "LAYERVISIBLE 1 1 ;\n"
                                   "RENDER \"down_fog.png\" ;\n");
  ASSERT_EQ(run.status, 0) << run.err;
  std::vector<Picture> p;
  for (const char *name : {"inside_bare.png", "inside_fog.png", "above_bare.png", "above_fog.png",
                           "down_bare.png", "down_fog.png"}) {
    std::optional<Picture> picture = readPng(dir.file(name));
    ASSERT_TRUE(picture) << name;
    EXPECT_EQ(picture->width, 96) << name;
    EXPECT_EQ(picture->height, 64) << name;
    p.push_back(std::move(*picture));
  }
  const Picture &insideBare = p[0], &insideFog = p[1], &aboveBare = p[2], &aboveFog = p[3],
                &downBare = p[4], &downFog = p[5];

  for (int x : {0, 48, 95}) {
    SCOPED_TRACE(x);
    const uint8_t *sky = insideBare.at(x, 0);
    ASSERT_TRUE(skyLike(sky));
    // Inside the slab the sky is tinted red at twice the plane opacity.
    const uint8_t *tinted = insideFog.at(x, 0);
    const double expected[3] = {0.5 * 255 + 0.5 * sky[0], 0.5 * sky[1], 0.5 * sky[2]};
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(tinted[k], expected[k], 2.0) << "channel " << k;
    // Above the slab the same sky is left alone.
    for (int k = 0; k < 3; ++k) EXPECT_EQ(aboveFog.at(x, 0)[k], aboveBare.at(x, 0)[k]);
  }

  // Looking down on the terrain from above, the red planes show over much of
  // the low ground, and the ground is not sky.
  ASSERT_FALSE(skyLike(downBare.at(48, 32)));
  int redder = 0;
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 96; ++x) redder += downFog.at(x, y)[0] > downBare.at(x, y)[0] + 10 ? 1 : 0;
  EXPECT_GT(redder, 96 * 64 / 10);
}

TEST_F(FogViewer, HeightMapGreyLevelsAreTheElevations) {
  // Ground 1000 x 1000 north of an eye at elevation 150 that looks level:
  // white ground (200) rises above the horizon, black ground (0) stays below.
  struct Case {
    uint8_t level;
    bool skyAboveHorizon;
  };
  for (const Case c : {Case{0, true}, Case{255, false}}) {
    SCOPED_TRACE(static_cast<int>(c.level));
    writeGreyPng(dir.file("map.png"), 4, c.level);
    const ProgramRun run = runScript(dir, "map.fvs",
                                     "TERRAIN HEIGHTMAP \"map.png\" 1000 1000 0 200 ;\n"
                                     "VIEW 500 -500 150 0 0 64 64 ;\n"
                                     "RENDER \"map_view.png\" ;\n");
    ASSERT_EQ(run.status, 0) << run.err;
    const std::optional<Picture> picture = readPng(dir.file("map_view.png"));
    ASSERT_TRUE(picture);
    EXPECT_EQ(skyLike(picture->at(32, 28)), c.skyAboveHorizon);
    EXPECT_TRUE(skyLike(picture->at(32, 0)));
  }
}

TEST_F(FogViewer, StackPictureHasOneIconRowPerLayerTopFirst) {
  const ProgramRun run = runScript(dir, "stack.fvs",
                                   "MENU \"New Mist Layer...\" \"first.fog\" ;\n"
                                   "STACK \"one.png\" ;\n"
                                   "MENU \"New Mist Layer...\" \"second.fog\" ;\n"
                                   "STACK \"two.png\" ;\n");
  ASSERT_EQ(run.status, 0) << run.err;
  const std::optional<Picture> one = readPng(dir.file("one.png"));
  const std::optional<Picture> two = readPng(dir.file("two.png"));
  ASSERT_TRUE(one && two);
  EXPECT_EQ(one->width, 260);
  EXPECT_EQ(one->height, 48);
  EXPECT_EQ(two->width, 260);
  EXPECT_EQ(two->height, 96);
  // Each row is a whole icon: the same bevel corners and bitmap at 48-pixel
  // steps, and the older layer's row (now second) is the icon drawn before.
  const std::vector<std::pair<int, int>> probes = {{0, 0}, {259, 47}, {1, 46}, {10, 10}, {20, 30}};
  for (const auto &[x, y] : probes) {
    SCOPED_TRACE(std::to_string(x) + "," + std::to_string(y));
    for (int k = 0; k < 3; ++k) {
      EXPECT_EQ(two->at(x, y)[k], two->at(x, y + 48)[k]);
      EXPECT_EQ(two->at(x, y + 48)[k], one->at(x, y)[k]);
    }
  }
  const uint8_t *light = two->at(0, 48);
  const uint8_t *dark = two->at(259, 95);
  EXPECT_GT(light[0], dark[0]);
  // The labels differ, so the rows differ somewhere.
  EXPECT_NE(std::vector<uint8_t>(two->at(0, 0), two->at(0, 48)),
            std::vector<uint8_t>(two->at(0, 48), two->at(0, 48) + 260 * 48 * 3));
}

// ------------------------------------------------------------ bad scripts

TEST_F(FogViewer, BadScriptStopsAtItsLineAndKeepsWhatWasWritten) {
  struct Case {
    const char *name;
    const char *script;
    int line;
    const char *says;
    bool renderedFirst; // the RENDER on line 1 ran before the error
  };
  const Case cases[] = {
      {"a line that does not read stops the script before anything runs",
       "RENDER \"kept.png\" ;\nVIEW 0 0 100 0 0 32 32 ;\nVIEW 0 0 100 0 0 32 32\n", 3,
       "missing ';'", false},
      {"an unknown command", "RENDER \"kept.png\" ;\nSHOUT \"hello\" ;\n", 2, "unknown command",
       true},
      {"a missing fog file",
       "RENDER \"kept.png\" ;\n\n# a comment\nADDFEATURELAYER \"Mist\" \"missing.fog\" ;\n", 4,
       "missing.fog", true},
      {"a number that is not one", "RENDER \"kept.png\" ;\nVIEW 0 0 high 0 0 32 32 ;\n", 2,
       "expected a number for z", true},
      {"a layer that is not there", "RENDER \"kept.png\" ;\nSAVE 2 ;\n", 2,
       "no layer at position 2", true},
      {"a fog file of three numbers",
       "RENDER \"kept.png\" ;\nADDFEATURELAYER \"Mist\" \"short.fog\" ;\n", 2,
       "\"short.fog\" is not a fog file", true},
      {"a fog file without a name", "RENDER \"kept.png\" ;\nADDFEATURELAYER \"Mist\" \"\" ;\n", 2,
       "a file name must not be empty", true},
      {"a fog file of words", "RENDER \"kept.png\" ;\nADDFEATURELAYER \"Mist\" \"words.fog\" ;\n",
       2, "\"words.fog\" is not a fog file", true},
      {"a height map that is not a picture",
       "RENDER \"kept.png\" ;\nTERRAIN HEIGHTMAP \"bad.fvs\" 10 10 0 1 ;\n", 2, "not a PNG file",
       true},
  };
  dir.write("short.fog", "1 2 3\n");
  dir.write("words.fog", "bottom 1\ntop 2\n");
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove(dir.file("kept.png"));
    const ProgramRun run = runScript(dir, "bad.fvs", c.script);
    EXPECT_EQ(run.status, 1);
    const std::string where = "bad.fvs:" + std::to_string(c.line) + ": ";
    const std::size_t at = run.err.find(where);
    ASSERT_NE(at, std::string::npos) << run.err;
    EXPECT_NE(run.err.find(c.says, at), std::string::npos) << run.err;
    EXPECT_EQ(exists("kept.png"), c.renderedFirst);
    if (c.renderedFirst) {
      EXPECT_TRUE(readPng(dir.file("kept.png")));
    }
  }
}

TEST_F(FogViewer, ASavedFogFileSurvivesALaterError) {
  const ProgramRun run = runScript(dir, "late.fvs",
                                   "MENU \"New Mist Layer...\" \"kept.fog\" ;\n"
                                   "SAVE 1 ;\n"
                                   "POPUP 1 \"Properties...\" ;\n"
                                   "FIELD 1 \"density\" \"0.9\" ;\n"
                                   "PRESS 1 \"Apply\" ;\n"
                                   "PRESS 1 \"Explode\" ;\n",
                                   "--no");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("late.fvs:6: PRESS: no button \"Explode\""), std::string::npos) << run.err;
  // The change after the save was not saved (the answer was no); the saved
  // file is intact.
  EXPECT_EQ(file("kept.fog"),
            "100.000000\n500.000000\n0.600000\n0.600000\n0.600000\n0.100000\n15.000000\n");
}

} // namespace
