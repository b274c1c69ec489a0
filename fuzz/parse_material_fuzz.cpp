// Fuzzes the parameter text: a material whose map holds the input as its
// user-data members (one per line) is parsed into the fog parameters and
// shaded; the same members are parsed against a private table with a row of
// every type and array rows, whose values are then written back as lines and
// parsed again. Every line is also read as the value text of every private
// row from a copy that ends right before an inaccessible page, so that
// reading past a value's terminator faults even inside the C library, which
// the address sanitizer does not see into. The sanitizers watch every field,
// array and text buffer.
//
// Input: byte 0 chooses map 1 or 2 (bit 0); the rest is the parameter text.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "cad_control.h"
#include "fog_params.h"
#include "fog_shading.h"
#include "parameter_text.h"
#include "parameter_values.h"

namespace {

// Separate globals, so that an overrun of one reaches a redzone.
int32_t i32;
uint32_t u32;
float f32;
double f64;
char name20[20];
double triple[3];
char text12[12];
int64_t i64;
uint64_t u64;
int32_t i32s[4];
uint32_t u32s[3];
float f32s[2];
double f64s[3];
double triples[2][3];
int64_t i64s[2];
uint64_t u64s[1];
char names[20];
char texts[8];
int32_t counts[9];

#define ROW(n, field, type, size, count) \
  { n, field, type, int32_t(size), count }

const ParameterDescriptor kPrivateTable[] = {
    ROW("i32", &i32, PARAM_INT32, 0, nullptr),
    ROW("u32", &u32, PARAM_UINT32, 0, nullptr),
    ROW("f32", &f32, PARAM_FLOAT, 0, nullptr),
    ROW("f64", &f64, PARAM_DOUBLE, 0, nullptr),
    ROW("name20", name20, PARAM_NAME20, 0, nullptr),
    ROW("triple", triple, PARAM_DOUBLE3, 0, nullptr),
    ROW("text12", text12, PARAM_TEXT, sizeof text12, nullptr),
    ROW("i64", &i64, PARAM_INT64, 0, nullptr),
    ROW("u64", &u64, PARAM_UINT64, 0, nullptr),
    ROW("other", &i32, 77, 0, nullptr),
    ROW("i32s", i32s, PARAM_INT32 | PARAM_ARRAY, sizeof i32s, &counts[0]),
    ROW("u32s", u32s, PARAM_UINT32 | PARAM_ARRAY, sizeof u32s, &counts[1]),
    ROW("f32s", f32s, PARAM_FLOAT | PARAM_ARRAY, sizeof f32s, &counts[2]),
    ROW("f64s", f64s, PARAM_DOUBLE | PARAM_ARRAY, sizeof f64s, &counts[3]),
    ROW("triples", triples, PARAM_DOUBLE3 | PARAM_ARRAY, sizeof triples, &counts[4]),
    ROW("i64s", i64s, PARAM_INT64 | PARAM_ARRAY, sizeof i64s, &counts[5]),
    ROW("u64s", u64s, PARAM_UINT64 | PARAM_ARRAY, sizeof u64s, &counts[6]),
    ROW("names", names, PARAM_NAME20 | PARAM_ARRAY, sizeof names, &counts[7]),
    ROW("texts", texts, PARAM_TEXT | PARAM_ARRAY, sizeof texts, &counts[8]),
    ROW(nullptr, nullptr, 0, 0, nullptr),
};

// Room for texts of up to `capacity` characters that end right before a
// page that cannot be read: each placed text's terminator is the last
// readable byte.
class GuardedText {
 public:
  explicit GuardedText(size_t capacity) {
    page_ = size_t(sysconf(_SC_PAGESIZE));
    length_ = ((capacity + 1 + page_ - 1) / page_ + 1) * page_;
    void *region =
        mmap(nullptr, length_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (region != MAP_FAILED) {
      region_ = static_cast<char *>(region);
      mprotect(region_ + length_ - page_, page_, PROT_NONE);
    }
  }
  ~GuardedText() {
    if (region_ != nullptr) {
      munmap(region_, length_);
    }
  }
  GuardedText(const GuardedText &) = delete;
  GuardedText &operator=(const GuardedText &) = delete;

  // The copy of `text` (at most `capacity` characters), or null.
  const char *place(const char *text) {
    if (region_ == nullptr) {
      return nullptr;
    }
    const size_t bytes = std::strlen(text) + 1;
    char *copy = region_ + length_ - page_ - bytes;
    std::memcpy(copy, text, bytes);
    return copy;
  }

 private:
  char *region_ = nullptr;
  size_t page_ = 0;
  size_t length_ = 0;
};

void checkCounts() {
  for (const ParameterDescriptor *row = kPrivateTable; row->name != nullptr; ++row) {
    if (row->count != nullptr && (*row->count < 0 || *row->count > parameterArrayCapacity(*row))) {
      __builtin_trap();
    }
  }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  textureModule_setUp(FOG_PARAM_BLOCK_SIZE, &fogParamDefaults, &currentFogParams,
                      &currentFogParams.patternScaleZ, &currentFogParams.patternOffsetZ,
                      &currentFogParams.relativeCoords, 256, 256, 0.5, 0.5, 0, "fog");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size == 0) {
    return 0;
  }
  const int32_t secondMap = data[0] & 1;
  const std::string text(reinterpret_cast<const char *>(data + 1), size - 1);

  cadhost::MaterialSpec spec;
  spec.id = 1;
  spec.name = "fuzz";
  cadhost::MapSpec map;
  map.parameterText = text;
  (secondMap ? spec.map2 : spec.map1) = map;
  XelMaterial *material = cadhost::addMaterial(spec);
  parseMaterialParameters(material, secondMap);

  FogTextureParams params = currentFogParams;
  TextureColor color;
  const float point[3] = {0.5f, -1.25f, 3.0f};
  shadeFogPoint(color, params, point, 1.0);

  const std::vector<std::string> lines = cadhost::splitParameterText(text);
  GuardedText guarded(text.size());
  for (const std::string &line : lines) {
    const char *value = guarded.place(line.c_str());
    if (value == nullptr) {
      continue;
    }
    for (const ParameterDescriptor *row = kPrivateTable; row->name != nullptr; ++row) {
      readParameterValue(*row, value);
    }
  }
  checkCounts();

  XelStringList members = cadhost::makeStringList(lines);
  parseParameterList(members, kPrivateTable);
  checkCounts();
  xelStringList_free(members);

  XelStringList written = xelStringList_create(0, 0);
  appendParameterLines(written, kPrivateTable);
  parseParameterList(written, kPrivateTable);
  checkCounts();
  xelStringList_free(written);

  cadhost::removeMaterial(1);
  return 0;
}
