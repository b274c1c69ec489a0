// Text forms of parameter values by type code: conversions, written lines,
// arrays kept within their storage, and lines as long as their numbers.
#include "parameter_values.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <string>

#include "fog_params_compare.h"

namespace {

TEST(ParameterConversions, Int32) {
  struct Case {
    const char *text;
    int32_t expected;
  };
  const Case cases[] = {
      {"42", 42},
      {" \t-12abc", -12},
      {"+7", 7},
      {"yes", 0},
      {"", 0},
      {"- 5", 0},
      {"2147483647", INT32_MAX},
      {"-2147483648", INT32_MIN},
      // Beyond 32 bits the platform's 64-bit conversion keeps the low word.
      {"4294967295", -1},
      {"99999999999", 1215752191},
      {"99999999999999999999999", -1},
  };
  for (const Case &c : cases) {
    EXPECT_EQ(parameterTextToInt32(c.text), c.expected) << '"' << c.text << '"';
  }
}

TEST(ParameterConversions, UInt32) {
  struct Case {
    const char *text;
    uint32_t expected;
  };
  const Case cases[] = {
      {"12", 12u},
      {"  +3x", 3u},
      {"-1", 4294967295u},
      {"-4294967295", 1u},
      {"4294967295", UINT32_MAX},
      {"4294967296", UINT32_MAX},
      {"-4294967296", UINT32_MAX},
      {"1e3", 1u},
      {"none", 0u},
  };
  for (const Case &c : cases) {
    EXPECT_EQ(parameterTextToUInt32(c.text), c.expected) << '"' << c.text << '"';
  }
}

TEST(ParameterConversions, Real) {
  struct Case {
    const char *text;
    double expected;
  };
  const Case cases[] = {
      {"0.1", 0.1}, {"  -2.5e3x", -2500.0}, {"3.", 3.0},  {".5", 0.5}, {"abc", 0.0},
      {"", 0.0},    {"1e400", HUGE_VAL},    {"1,5", 1.0},
  };
  for (const Case &c : cases) {
    EXPECT_EQ(parameterTextToDouble(c.text), c.expected) << '"' << c.text << '"';
  }
  EXPECT_TRUE(std::isnan(parameterTextToDouble("nan")));
}

// Makes a German (comma-decimal) numeric locale in a scratch folder and
// switches the process to it; false when this machine cannot make one.
class CommaDecimalLocale {
 public:
  CommaDecimalLocale() {
    previous_ = std::setlocale(LC_NUMERIC, nullptr);
    char folder[] = "/tmp/fog_locale_XXXXXX";
    if (std::filesystem::exists("/usr/share/i18n/locales/de_DE") && mkdtemp(folder) != nullptr) {
      folder_ = folder;
      const std::string command = "localedef -c -i de_DE -f ANSI_X3.4-1968 --no-archive " +
                                  folder_ + "/de_DE >/dev/null 2>&1";
      if (std::system(command.c_str()) != -1) {
        setenv("LOCPATH", folder_.c_str(), 1);
        char probe[16];
        active_ = std::setlocale(LC_NUMERIC, "de_DE") != nullptr &&
                  std::snprintf(probe, sizeof probe, "%.1f", 0.5) > 0 &&
                  std::string(probe) == "0,5";
      }
    }
  }
  ~CommaDecimalLocale() {
    std::setlocale(LC_NUMERIC, previous_.c_str());
    unsetenv("LOCPATH");
    if (!folder_.empty()) {
      std::error_code ignored;
      std::filesystem::remove_all(folder_, ignored);
    }
  }
  bool active() const { return active_; }

 private:
  std::string previous_;
  std::string folder_;
  bool active_ = false;
};

TEST(ParameterConversions, IgnoreTheHostLocale) {
  CommaDecimalLocale german;
  if (!german.active()) {
    GTEST_SKIP() << "no comma-decimal locale can be made on this machine";
  }
  double value = 0.5;
  ParameterDescriptor row = {"half", &value, PARAM_DOUBLE, 0, nullptr};
  std::string line;
  appendParameterLine(line, row);
  EXPECT_EQ(line, "half 0.500000");
  EXPECT_EQ(parameterTextToDouble("0.25"), 0.25);
  readParameterValue(row, "1.75");
  EXPECT_EQ(value, 1.75);
}

// Storage for a private table with every type, scalar and array.
struct Fields {
  int32_t i32 = -5;
  uint32_t u32 = 4000000000u;
  float f = 0.1f;
  double d = -2.25;
  char name[20] = "Fog Color";
  double d3[3] = {1.0, 0.5, 0.25};
  char text[8] = "abc";
  int64_t i64 = INT64_MIN;
  uint64_t u64 = UINT64_MAX;
  int32_t unknown = 77;
  int32_t i32Array[3] = {1, -2, 3};
  uint32_t u32Array[2] = {4294967295u, 7u};
  float fArray[2] = {0.5f, -1.0f};
  double dArray[2] = {1e-3, 2.0};
  double d3Array[2][3] = {{1, 2, 3}, {4, 5, 6}};
  int64_t i64Array[2] = {INT64_MAX, -1};
  uint64_t u64Array[1] = {18446744073709551615u};
  char nameArray[20] = "x";
  int32_t counts[9] = {3, 2, 2, 2, 2, 2, 1, 1, 0};
};

struct PrivateTable {
  Fields f;
  ParameterDescriptor rows[19] = {
      {"i32", &f.i32, PARAM_INT32, 0, nullptr},
      {"u32", &f.u32, PARAM_UINT32, 0, nullptr},
      {"f", &f.f, PARAM_FLOAT, 0, nullptr},
      {"d", &f.d, PARAM_DOUBLE, 0, nullptr},
      {"name", f.name, PARAM_NAME20, 0, nullptr},
      {"d3", f.d3, PARAM_DOUBLE3, 0, nullptr},
      {"text", f.text, PARAM_TEXT, int32_t(sizeof f.text), nullptr},
      {"i64", &f.i64, PARAM_INT64, 0, nullptr},
      {"u64", &f.u64, PARAM_UINT64, 0, nullptr},
      {"unknown", &f.unknown, 42, 0, nullptr},
      {"i32s", f.i32Array, PARAM_INT32 | PARAM_ARRAY, int32_t(sizeof f.i32Array), &f.counts[0]},
      {"u32s", f.u32Array, PARAM_UINT32 | PARAM_ARRAY, int32_t(sizeof f.u32Array), &f.counts[1]},
      {"fs", f.fArray, PARAM_FLOAT | PARAM_ARRAY, int32_t(sizeof f.fArray), &f.counts[2]},
      {"ds", f.dArray, PARAM_DOUBLE | PARAM_ARRAY, int32_t(sizeof f.dArray), &f.counts[3]},
      {"d3s", f.d3Array, PARAM_DOUBLE3 | PARAM_ARRAY, int32_t(sizeof f.d3Array), &f.counts[4]},
      {"i64s", f.i64Array, PARAM_INT64 | PARAM_ARRAY, int32_t(sizeof f.i64Array), &f.counts[5]},
      {"u64s", f.u64Array, PARAM_UINT64 | PARAM_ARRAY, int32_t(sizeof f.u64Array), &f.counts[6]},
      {"names", f.nameArray, PARAM_NAME20 | PARAM_ARRAY, int32_t(sizeof f.nameArray), &f.counts[7]},
      {"empty", f.i32Array, PARAM_INT32 | PARAM_ARRAY, int32_t(sizeof f.i32Array), &f.counts[8]},
  };
  PrivateTable() = default;
  PrivateTable(const PrivateTable &) = delete;
};

std::string lineOf(const ParameterDescriptor &row) {
  std::string line;
  appendParameterLine(line, row);
  return line;
}

TEST(ParameterLines, EveryTypeInItsWrittenForm) {
  PrivateTable t;
  const char *expected[19] = {
      "i32 -5",
      "u32 4000000000",
      "f 0.100000",
      "d -2.250000",
      "name Fog Color",
      "d3 1.000000 0.500000 0.250000",
      "text abc",
      "i64 -9223372036854775808",
      "u64 18446744073709551615",
      "unknown ",
      "i32s 1 -2 3 ",
      "u32s -1 7 ", // unsigned elements are written signed
      "fs 0.500000 -1.000000 ",
      "ds 0.001000 2.000000 ",
      "d3s 1.000000 2.000000 3.000000 4.000000 5.000000 6.000000 ",
      "i64s 9223372036854775807 -1 ",
      "u64s 18446744073709551615 ",
      "names ",
      "empty ",
  };
  for (int i = 0; i < 19; ++i) {
    EXPECT_EQ(lineOf(t.rows[i]), expected[i]);
  }
}

TEST(ParameterLines, TextFieldsAreCutToTheirRoom) {
  char name[20];
  std::memcpy(name, "ABCDEFGHIJKLMNOPQRST", 20); // no terminator within the field
  char text[4] = {'w', 'x', 'y', 'z'};
  ParameterDescriptor nameRow = {"n", name, PARAM_NAME20, 0, nullptr};
  ParameterDescriptor textRow = {"t", text, PARAM_TEXT, 4, nullptr};
  ParameterDescriptor noRoom = {"t", text, PARAM_TEXT, 0, nullptr};
  EXPECT_EQ(lineOf(nameRow), "n ABCDEFGHIJKLMNOPQRST");
  EXPECT_EQ(lineOf(textRow), "t wxy");
  EXPECT_EQ(lineOf(noRoom), "t ");
}

TEST(ParameterLines, LongNumbersGetWholeLines) {
  double big[3] = {1e308, -DBL_MAX, 12345.5};
  ParameterDescriptor row = {"fog_primary_color", big, PARAM_DOUBLE3, 0, nullptr};
  char expected[1200];
  std::snprintf(expected, sizeof expected, "fog_primary_color %lf %lf %lf", big[0], big[1], big[2]);
  const std::string line = lineOf(row);
  EXPECT_EQ(line, expected);
  EXPECT_GT(line.size(), 600u);
  double back[3] = {0, 0, 0};
  ParameterDescriptor readRow = {"fog_primary_color", back, PARAM_DOUBLE3, 0, nullptr};
  readParameterValue(readRow, line.c_str() + std::strlen("fog_primary_color "));
  EXPECT_EQ(back[0], big[0]);
  EXPECT_EQ(back[1], big[1]);
  EXPECT_EQ(back[2], big[2]);
}

TEST(ParameterValues, ScannedFormsKeepWhatTheTextDoesNotSupply) {
  PrivateTable t;
  readParameterValue(t.rows[5], "0.75 x 9"); // d3
  EXPECT_EQ(t.f.d3[0], 0.75);
  EXPECT_EQ(t.f.d3[1], 0.5);
  EXPECT_EQ(t.f.d3[2], 0.25);
  readParameterValue(t.rows[7], "none"); // i64
  EXPECT_EQ(t.f.i64, INT64_MIN);
  readParameterValue(t.rows[8], ""); // u64
  EXPECT_EQ(t.f.u64, UINT64_MAX);
  readParameterValue(t.rows[7], "99999999999999999999");
  EXPECT_EQ(t.f.i64, INT64_MAX);
  readParameterValue(t.rows[8], "-1");
  EXPECT_EQ(t.f.u64, UINT64_MAX);
  readParameterValue(t.rows[8], "-18446744073709551615");
  EXPECT_EQ(t.f.u64, 1u);
  readParameterValue(t.rows[9], "5"); // unknown type code: nothing stored
  EXPECT_EQ(t.f.unknown, 77);
}

TEST(ParameterValues, TextIsCutAndPadded) {
  PrivateTable t;
  readParameterValue(t.rows[6], "abcdefghij");
  EXPECT_EQ(std::memcmp(t.f.text, "abcdefg", 8), 0);
  readParameterValue(t.rows[6], "hi there");
  EXPECT_EQ(std::memcmp(t.f.text, "hi ther", 8), 0);
  readParameterValue(t.rows[6], "q");
  EXPECT_EQ(std::memcmp(t.f.text, "q\0\0\0\0\0\0", 8), 0);
  readParameterValue(t.rows[4], "");
  EXPECT_EQ(std::memcmp(t.f.name, std::string(20, '\0').data(), 20), 0);
}

TEST(ParameterValues, ArraysStayWithinTheirStorage) {
  // Each array is followed by a guard that must never change.
  struct Guarded {
    int32_t ints[3];
    int32_t guard = 0x0BADF00D;
    double triples[2][3];
    double guard2 = -7.0;
  } g{};
  int32_t count = -9;
  ParameterDescriptor ints = {"ints", g.ints, PARAM_INT32 | PARAM_ARRAY, int32_t(sizeof g.ints),
                              &count};
  ParameterDescriptor triples = {"t", g.triples, PARAM_DOUBLE3 | PARAM_ARRAY,
                                 int32_t(sizeof g.triples), &count};
  ParameterDescriptor unsized = {"u", g.ints, PARAM_INT32 | PARAM_ARRAY, 0, &count};

  struct Case {
    const ParameterDescriptor *row;
    const char *text;
    int32_t count;
  };
  const Case cases[] = {
      {&ints, "1 2 3 4 5 6", 3},
      {&ints, "8 9", 2},
      {&ints, "", 0},
      {&ints, "1 x 3", 1},
      {&ints, "1  2", 2},
      {&ints, "10 ", 1},
      {&ints, "1,2", 2},
      {&triples, "1 2 3 4 5 6 7 8 9", 2},
      {&triples, "1 2 3 4 5", 1},
      {&triples, "1 2 3 ", 1},
      {&unsized, "1 2 3", 0},
  };
  for (const Case &c : cases) {
    readParameterValue(*c.row, c.text);
    EXPECT_EQ(count, c.count) << c.row->name << " \"" << c.text << '"';
    EXPECT_EQ(g.guard, 0x0BADF00D);
    EXPECT_EQ(g.guard2, -7.0);
  }
  readParameterValue(ints, "4 5 6 7");
  EXPECT_EQ(g.ints[0], 4);
  EXPECT_EQ(g.ints[2], 6);
  readParameterValue(triples, "1 2 3 4 5 6");
  readParameterValue(triples, "7 8 9 10 11");
  EXPECT_EQ(count, 1);
  EXPECT_EQ(g.triples[0][2], 9.0);
  EXPECT_EQ(g.triples[1][0], 4.0) << "an incomplete element leaves its storage as it was";
  EXPECT_EQ(g.triples[1][1], 5.0);
  // A count that claims more than the storage holds writes only what is there.
  count = 1000;
  EXPECT_EQ(lineOf(ints), "ints 4 5 6 ");
  count = -3;
  EXPECT_EQ(lineOf(ints), "ints ");
  ParameterDescriptor noCount = {"n", g.ints, PARAM_INT32 | PARAM_ARRAY, int32_t(sizeof g.ints),
                                 nullptr};
  readParameterValue(noCount, "1 2");
  EXPECT_EQ(g.ints[0], 4);
  EXPECT_EQ(lineOf(noCount), "n ");
}

TEST(ParameterValues, FloatScalarsNarrowADoubleWhileFloatElementsRoundOnce) {
  // Just above the midpoint 1 + 2^-24 between the floats 1 and 1 + 2^-23:
  // as a double it is the midpoint itself, which narrows to 1 (ties to
  // even), while a conversion straight to float rounds up.
  const char *nearMidpoint = "1.00000005960464477539062500000001";
  float scalar = -1.0f;
  readParameterValue({"f", &scalar, PARAM_FLOAT, 0, nullptr}, nearMidpoint);
  EXPECT_EQ(scalar, 1.0f);

  float elements[2] = {-1.0f, -1.0f};
  int32_t count = 0;
  const ParameterDescriptor array = {"fs", elements, PARAM_FLOAT | PARAM_ARRAY,
                                     int32_t(sizeof elements), &count};
  readParameterValue(array, (std::string(nearMidpoint) + " 2").c_str());
  EXPECT_EQ(count, 2);
  EXPECT_EQ(elements[0], std::nextafter(1.0f, 2.0f));
  EXPECT_EQ(elements[1], 2.0f);
}

TEST(ParameterValues, EveryRowReadsBackWhatItWrote) {
  PrivateTable written;
  PrivateTable read;
  std::memset(static_cast<void *>(&read.f), 0, sizeof read.f);
  for (int i = 0; i < 19; ++i) {
    const std::string line = lineOf(written.rows[i]);
    const size_t nameLength = std::strlen(written.rows[i].name) + 1;
    readParameterValue(read.rows[i], line.c_str() + nameLength);
  }
  const Fields &w = written.f;
  const Fields &r = read.f;
  EXPECT_EQ(r.i32, w.i32);
  EXPECT_EQ(r.u32, w.u32);
  EXPECT_EQ(r.f, w.f);
  EXPECT_EQ(r.d, w.d);
  EXPECT_EQ(std::memcmp(r.name, w.name, 20), 0);
  EXPECT_EQ(std::memcmp(r.d3, w.d3, sizeof w.d3), 0);
  EXPECT_EQ(std::memcmp(r.text, w.text, sizeof w.text), 0);
  EXPECT_EQ(r.i64, w.i64);
  EXPECT_EQ(r.u64, w.u64);
  EXPECT_EQ(std::memcmp(r.i32Array, w.i32Array, sizeof w.i32Array), 0);
  EXPECT_EQ(std::memcmp(r.u32Array, w.u32Array, sizeof w.u32Array), 0);
  EXPECT_EQ(std::memcmp(r.fArray, w.fArray, sizeof w.fArray), 0);
  EXPECT_EQ(r.dArray[1], w.dArray[1]);
  EXPECT_EQ(std::memcmp(r.d3Array, w.d3Array, sizeof w.d3Array), 0);
  EXPECT_EQ(std::memcmp(r.i64Array, w.i64Array, sizeof w.i64Array), 0);
  EXPECT_EQ(std::memcmp(r.u64Array, w.u64Array, sizeof w.u64Array), 0);
  // The element counts written are the counts read, except the text-type
  // array, which reads nothing, and the empty one.
  for (int k = 0; k < 7; ++k) {
    EXPECT_EQ(r.counts[k], w.counts[k]) << "array " << k;
  }
  EXPECT_EQ(r.counts[7], 0);
  EXPECT_EQ(r.counts[8], 0);
}

} // namespace
