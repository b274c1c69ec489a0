// fogrender end to end: the built program is run on small materials and the
// files it writes are read back (picture sizes, probed pixels, what is left
// behind when a preview is stopped, how a bad material file is reported).
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "png_read.h"
#include "subprocess.h"
#include "temp_dir.h"

namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

using Pixel = std::array<uint8_t, 3>;

constexpr int kExitInterrupted = 130;

// Fog of one density everywhere: the picture then follows from the
// compositing rule alone, whatever the noise does.
std::string evenFog(const char *density, const char *colour) {
  return std::string("fog_minimum_density ") + density + "\nfog_maximum_density " + density +
         "\nfog_primary_color " + colour + "\n";
}

class FogrenderTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dir_.ok()); }

  // Runs fogrender with its output folder in the test's folder.
  ProcessResult run(std::vector<std::string> args) const {
    args.insert(args.begin(), {FOG_RENDER_PROGRAM, "--out", dir_.path().string()});
    return runProcess(args);
  }

  // Renders the scene with the material text at a small size; the picture.
  PngRgb scene(const std::string &materialText, const std::string &name,
               std::vector<std::string> extra = {}) const {
    const std::string material = dir_.write(name + ".txt", materialText);
    std::vector<std::string> args = {"scene", "-m", material,           "--size",
                                     "64x48", "-o", file(name + ".png")};
    args.insert(args.end(), extra.begin(), extra.end());
    const ProcessResult result = run(args);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    return readPngRgb(file(name + ".png"));
  }

  std::string file(const std::string &name) const { return dir_.file(name); }
  bool exists(const std::string &name) const { return fs::exists(dir_.path() / name); }

  // Files whose name ends in ".partial" anywhere in the folder.
  std::vector<std::string> partialFiles() const {
    std::vector<std::string> found;
    for (const auto &entry : fs::recursive_directory_iterator(dir_.path()))
      if (entry.path().extension() == ".partial") found.push_back(entry.path().string());
    return found;
  }

  TempDir dir_;
};

TEST_F(FogrenderTest, ParamsPrintsTheModuleDefaultListWhichReadsBackAsAMaterial) {
  const ProcessResult printed = run({"params"});
  ASSERT_EQ(printed.exitCode, 0) << printed.err;
  EXPECT_EQ(printed.out,
            "fog_relative_coords 1\n"
            "fog_pattern_scale_z 1.000000\n"
            "fog_pattern_offset_z 0.000000\n"
            "fog_primary_color_name Fog Color\n"
            "fog_primary_color 1.000000 0.900000 0.800000\n"
            "fog_minimum_density 0.100000\n"
            "fog_maximum_density 1.000000\n"
            "fog_drift_speed 0.300000\n"
            "fog_swirl_speed 90.000000\n"
            "fog_thickness 1.000000\n"
            "fog_contrast 1.000000\n"
            "fog_level_of_detail 3.000000\n");

  const ProcessResult written = run({"params", "-o", file("defaults.txt")});
  ASSERT_EQ(written.exitCode, 0) << written.err;
  EXPECT_EQ(TempDir::read(file("defaults.txt")), printed.out);

  // The list as a material file renders exactly as the built-in defaults do.
  const PngRgb fromFile = scene(printed.out, "from_file");
  ASSERT_EQ(run({"scene", "--size", "64x48", "-o", file("builtin.png")}).exitCode, 0);
  const PngRgb builtIn = readPngRgb(file("builtin.png"));
  ASSERT_TRUE(fromFile.ok());
  EXPECT_EQ(fromFile.pixels, builtIn.pixels);
}

TEST_F(FogrenderTest, PreviewIsTheDefaultFogFromTheOriginAtTheRequestedSize) {
  const ProcessResult result = run({"preview", "--size", "40x30", "-o", file("p.png")});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  const PngRgb preview = readPngRgb(file("p.png"));
  ASSERT_EQ(preview.width, 40);
  ASSERT_EQ(preview.height, 30);
  // u = v = 0 is the pattern's origin at time 0: the texture gives
  // (123.20..., 110.88..., 98.56...) there, cut to bytes.
  EXPECT_EQ(preview.at(0, 0), (Pixel{123, 110, 98}));
  // The module's planar rows come out as whole pixels: no pixel of the first
  // row carries another pixel's red as its green.
  int differing = 0;
  for (int32_t x = 1; x < preview.width; ++x) differing += preview.at(x, 0) != preview.at(0, 0);
  EXPECT_GT(differing, 0);
  for (int32_t x = 0; x < preview.width; ++x) {
    const Pixel p = preview.at(x, 0);
    EXPECT_GE(p[0], p[1]) << "x " << x; // the default fog colour is warm: red >= green >= blue
    EXPECT_GE(p[1], p[2]) << "x " << x;
  }

  ASSERT_EQ(run({"preview", "-o", file("default.png")}).exitCode, 0);
  const PngRgb preferred = readPngRgb(file("default.png"));
  EXPECT_EQ(preferred.width, 256);
  EXPECT_EQ(preferred.height, 256);
}

TEST_F(FogrenderTest, AStoppedPreviewWritesNothingAndSaysSo) {
  struct Case {
    const char *abortAfter;
    bool completes;
  };
  // 40 x 30 = 1200 pixels; the stop is tested before each pixel only.
  for (const Case &c : {Case{"0", false}, Case{"1199", false}, Case{"1200", true}}) {
    SCOPED_TRACE(c.abortAfter);
    const std::string name = std::string("stop_") + c.abortAfter + ".png";
    const ProcessResult result =
        run({"preview", "--size", "40x30", "--abort-after", c.abortAfter, "-o", file(name)});
    if (c.completes) {
      EXPECT_EQ(result.exitCode, 0) << result.err;
      EXPECT_TRUE(readPngRgb(file(name)).ok());
      continue;
    }
    EXPECT_EQ(result.exitCode, kExitInterrupted);
    EXPECT_NE(result.err.find("0x8000"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("stopped at pixel " + std::string(c.abortAfter) + " of 1200"),
              std::string::npos)
        << result.err;
    EXPECT_FALSE(exists(name));
  }
  EXPECT_TRUE(partialFiles().empty());

  // A picture from an earlier run is not replaced by a stopped one.
  dir_.write("kept.png", "earlier picture");
  EXPECT_EQ(run({"preview", "--abort-after", "10", "-o", file("kept.png")}).exitCode,
            kExitInterrupted);
  EXPECT_EQ(TempDir::read(file("kept.png")), "earlier picture");
}

TEST_F(FogrenderTest, CtrlCStopsALongPreviewCleanly) {
  // Far more pixels than can be drawn before the signal arrives.
  Subprocess child({FOG_RENDER_PROGRAM, "--out", dir_.path().string(), "preview", "--size",
                    "4096x4096", "-o", file("big.png")});
  ASSERT_TRUE(child.started());
  // The program announces the picture only once Ctrl-C is caught.
  ASSERT_TRUE(child.waitForStdout("rendering the texture preview"));
  child.sendSignal(SIGINT);
  const ProcessResult result = child.finish();
  EXPECT_EQ(result.signal, 0);
  EXPECT_EQ(result.exitCode, kExitInterrupted) << result.err;
  EXPECT_NE(result.err.find("result 0x8000"), std::string::npos) << result.err;
  EXPECT_FALSE(exists("big.png"));
  EXPECT_TRUE(partialFiles().empty());
}

TEST_F(FogrenderTest, FogIsLaidOverTheSurfacesByItsTransparency) {
  const PngRgb clear = scene(evenFog("0", "1 1 1"), "clear");
  const PngRgb half = scene(evenFog("0.5", "0 0 0"), "half");
  const PngRgb opaque = scene(evenFog("1", "1 0.5 0"), "opaque");
  ASSERT_TRUE(clear.ok() && half.ok() && opaque.ok());
  ASSERT_EQ(clear.width, 64);
  ASSERT_EQ(clear.height, 48);

  // Opaque fog replaces every surface with its colour; the sky (no surface,
  // no sample) stays as it is. The camera looks down at the ground from
  // under the sky, so the bottom row is all surface and the top row all sky.
  const Pixel fogColour{255, 127, 0};
  int surfacePixels = 0;
  for (int32_t y = 0; y < clear.height; ++y) {
    for (int32_t x = 0; x < clear.width; ++x) {
      const bool surface = opaque.at(x, y) == fogColour;
      if (y == clear.height - 1) {
        EXPECT_TRUE(surface) << x;
      }
      if (y == 0) {
        EXPECT_FALSE(surface) << x;
      }
      if (!surface) {
        EXPECT_EQ(clear.at(x, y), opaque.at(x, y)) << x << "," << y;
        EXPECT_EQ(half.at(x, y), opaque.at(x, y)) << x << "," << y;
        continue;
      }
      ++surfacePixels;
      // Black fog of density 0.5 lets half of the surface through.
      const Pixel c = clear.at(x, y);
      EXPECT_EQ(half.at(x, y), (Pixel{uint8_t(c[0] / 2), uint8_t(c[1] / 2), uint8_t(c[2] / 2)}))
          << x << "," << y;
    }
  }
  EXPECT_GT(surfacePixels, clear.width * clear.height / 2);
}

TEST_F(FogrenderTest, ScreenPointsWithThePerspectiveMatrixShadeTheSamePointsAsViewPoints) {
  const std::string valley = TempDir::read(FOG_SOURCE_DIR "/examples/materials/valley_fog.txt");
  ASSERT_FALSE(valley.empty());
  const PngRgb viewPoints = scene(valley, "view");
  const PngRgb screenPoints = scene(valley, "screen", {"--screen-points"});
  const PngRgb clear = scene(evenFog("0", "1 1 1"), "clear");
  ASSERT_TRUE(viewPoints.ok() && screenPoints.ok() && clear.ok());

  int fogged = 0;
  int largest = 0;
  for (size_t i = 0; i < viewPoints.pixels.size(); ++i) {
    fogged += viewPoints.pixels[i] != clear.pixels[i];
    largest = std::max(largest, std::abs(int(viewPoints.pixels[i]) - int(screenPoints.pixels[i])));
  }
  // The fog varies over the picture, and both ways to a point agree up to
  // single-precision rounding of the sample's coordinates.
  EXPECT_GT(fogged, int(viewPoints.pixels.size()) / 4);
  EXPECT_LE(largest, 2);
}

TEST_F(FogrenderTest, AnimationFramesFollowTheHostClock) {
  const std::string drifting = dir_.write(
      "drifting.txt", TempDir::read(FOG_SOURCE_DIR "/examples/materials/drifting_fog.txt"));
  const ProcessResult result =
      run({"animate", "-m", drifting, "--size", "40x30", "--frames", "3", "--step", "0.25",
           "--columns", "2", "--frames-dir", file("frames"), "--sheet", file("sheet.png")});
  ASSERT_EQ(result.exitCode, 0) << result.err;

  std::vector<PngRgb> frames;
  for (const char *name : {"frame_00.png", "frame_01.png", "frame_02.png"}) {
    frames.push_back(readPngRgb(file(std::string("frames/") + name)));
    ASSERT_EQ(frames.back().width, 40) << name;
    ASSERT_EQ(frames.back().height, 30) << name;
  }
  // Frame i is the scene with the clock at i x 0.25 s, and the fog moves.
  struct Moment {
    const char *time;
    size_t frame;
  };
  for (const Moment &m : {Moment{"0", 0}, Moment{"0.5", 2}}) {
    const std::string name = std::string("at_") + m.time + ".png";
    ASSERT_EQ(run({"scene", "-m", drifting, "--size", "40x30", "--time", m.time, "-o", file(name)})
                  .exitCode,
              0);
    EXPECT_EQ(readPngRgb(file(name)).pixels, frames[m.frame].pixels) << m.time;
  }
  EXPECT_NE(frames[0].pixels, frames[1].pixels);
  EXPECT_NE(frames[1].pixels, frames[2].pixels);

  // Two frames to a row, 2-pixel gaps: 2 x 40 + 3 x 2 by 2 x 30 + 3 x 2.
  const PngRgb sheet = readPngRgb(file("sheet.png"));
  ASSERT_EQ(sheet.width, 86);
  ASSERT_EQ(sheet.height, 66);
  const int32_t origins[3][2] = {{2, 2}, {44, 2}, {2, 34}};
  for (int i = 0; i < 3; ++i)
    for (int32_t y = 0; y < 30; ++y)
      for (int32_t x = 0; x < 40; ++x)
        ASSERT_EQ(sheet.at(origins[i][0] + x, origins[i][1] + y), frames[size_t(i)].at(x, y))
            << "frame " << i << " at " << x << "," << y;
}

TEST_F(FogrenderTest, FogWithoutDriftOrSwirlStandsStill) {
  const std::string still = dir_.write("still.txt", "fog_drift_speed 0\nfog_swirl_speed 0\n");
  const ProcessResult result = run({"animate", "-m", still, "--size", "24x18", "--frames", "2",
                                    "--frames-dir", file("still"), "--sheet", file("still.png")});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  const PngRgb first = readPngRgb(file("still/frame_00.png"));
  ASSERT_TRUE(first.ok());
  EXPECT_EQ(first.pixels, readPngRgb(file("still/frame_01.png")).pixels);
}

TEST_F(FogrenderTest, MaterialTextIsAppliedInEveryFormTheModuleReads) {
  // Comments, blank lines, CRLF line ends and upper-case names.
  const PngRgb opaque = scene(
      "# opaque orange fog\r\n\r\nFOG_MINIMUM_DENSITY 1\r\nFog_Maximum_Density 1.0\r\n"
      "fog_primary_color 1.0 0.5   0\r\nfog_primary_color_name Orange Fog \r\n",
      "forms");
  ASSERT_TRUE(opaque.ok());
  EXPECT_EQ(opaque.at(opaque.width / 2, opaque.height - 1), (Pixel{255, 127, 0}));
}

TEST_F(FogrenderTest, ABadMaterialFileIsReportedWithItsLineAndNothingIsRendered) {
  struct Case {
    std::string text;
    int line;
    const char *says;
  };
  const Case cases[] = {
      {"fog_thickness 1.0\nfog_thicknes 2.0\n", 2, "unknown parameter \"fog_thicknes\""},
      {"# a comment\n\nfog_contrast\n", 3, "no value"},
      {"fog_contrast \n", 1, "no value"},
      {"fog_contrast  2\n", 1, "exactly one space"},
      {"fog_contrast\t2\n", 1, "exactly one space"},
      {"fog_contrast 2x\n", 1, "not a decimal number"},
      {"fog_contrast nan\n", 1, "not a decimal number"},
      {"fog_thickness 1e400\n", 1, "out of range"},
      {"fog_drift_speed 1e39\n", 1, "out of range for a float"},
      {"fog_primary_color 1 0.5\n", 1, "three numbers"},
      {"fog_primary_color 1 0.5 0 1\n", 1, "three numbers"},
      {"fog_relative_coords 1.5\n", 1, "whole number"},
      {"fog_relative_coords 4294967296\n", 1, "out of range"},
      {"fog_primary_color_name A name that is too long\n", 1, "longer than 19 characters"},
      {"fog_contrast 1\r\nFOG_CONTRAST 2\r\n", 2, "already set on line 1"},
      {"fog_contrast 1\nfog_thick\0ness 1\n"s, 2, "NUL byte"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.text);
    fs::remove(file("bad.png"));
    const std::string material = dir_.write("bad.txt", c.text);
    const ProcessResult result =
        run({"scene", "-m", material, "--size", "8x6", "-o", file("bad.png")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find(material + ":" + std::to_string(c.line) + ": "), std::string::npos)
        << result.err;
    EXPECT_NE(result.err.find(c.says), std::string::npos) << result.err;
    EXPECT_FALSE(exists("bad.png"));
  }
}

TEST_F(FogrenderTest, CommandLineMistakesAreRefusedBeforeAnyWork) {
  struct Case {
    std::vector<std::string> args;
    int exitCode;
    const char *says;
  };
  const Case cases[] = {
      {{}, 2, "nothing to do"},
      {{"preview", "--size", "0x5"}, 2, "WIDTHxHEIGHT"},
      {{"scene", "--size", "64"}, 2, "WIDTHxHEIGHT"},
      {{"scene", "--size", "99999999999x2"}, 2, "WIDTHxHEIGHT"},
      {{"scene", "--eye", "1,2,3", "--target", "1,2,3"}, 2, "must differ"},
      {{"scene", "--time", "nan"}, 2, "finite"},
      {{"animate", "--frames", "0"}, 2, "frames"},
      {{"--textures-dir", "/nonexistent", "params"}, 1, "cannot load"},
  };
  for (const Case &c : cases) {
    std::vector<std::string> argv = {FOG_RENDER_PROGRAM};
    argv.insert(argv.end(), c.args.begin(), c.args.end());
    const ProcessResult result = runProcess(argv, dir_.path().string());
    SCOPED_TRACE(c.says);
    EXPECT_EQ(result.exitCode, c.exitCode) << result.err;
    EXPECT_NE(result.err.find(c.says), std::string::npos) << result.err;
  }
  EXPECT_TRUE(fs::is_empty(dir_.path()));
}

TEST_F(FogrenderTest, DemoWritesEveryPictureIntoTheOutputFolder) {
  const ProcessResult result = run({});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  struct Picture {
    const char *name;
    int32_t width;
    int32_t height;
  };
  for (const Picture &p :
       {Picture{"texture_preview.png", 256, 256}, Picture{"scene_fog.png", 320, 240},
        Picture{"animation/frame_00.png", 160, 120}, Picture{"animation/frame_07.png", 160, 120},
        Picture{"animation_sheet.png", 4 * 160 + 5 * 2, 2 * 120 + 3 * 2}}) {
    const PngRgb picture = readPngRgb(file(p.name));
    EXPECT_EQ(picture.width, p.width) << p.name;
    EXPECT_EQ(picture.height, p.height) << p.name;
    EXPECT_NE(result.out.find(std::string("wrote ") + file(p.name)), std::string::npos) << p.name;
  }
  EXPECT_EQ(TempDir::read(file("valley_fog.txt")),
            TempDir::read(FOG_SOURCE_DIR "/examples/materials/valley_fog.txt"));
  EXPECT_EQ(TempDir::read(file("fog_parameters.txt")), run({"params"}).out);
}

} // namespace
