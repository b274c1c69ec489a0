// parameter_values.cpp - reading and writing one parameter value by type code.
//
// The conversions follow the platform's C conversions (atoi, strtoul on a
// 32-bit long, strtod, strtof for scanned float elements, strtoll,
// strtoull), written out here so that every input, overlong or malformed,
// has a defined result.
#include "parameter_values.h"

#include <locale.h>

#include <clocale>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

#include "int64_format.h"

static_assert(std::numeric_limits<float>::is_iec559, "reals narrow to float by IEEE rounding");

namespace {

// Switches the calling thread to the "C" locale for number text and back.
class CNumericLocale {
 public:
  CNumericLocale() {
    static const locale_t cLocale = newlocale(LC_NUMERIC_MASK, "C", locale_t{});
    if (cLocale != locale_t{}) {
      previous_ = uselocale(cLocale);
    }
  }
  ~CNumericLocale() {
    if (previous_ != locale_t{}) {
      uselocale(previous_);
    }
  }
  CNumericLocale(const CNumericLocale &) = delete;
  CNumericLocale &operator=(const CNumericLocale &) = delete;

 private:
  locale_t previous_{};
};

bool isAsciiSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// A decimal integer at the start of a text: white space, sign, digits.
struct ScannedInteger {
  bool found = false; // at least one digit
  bool negative = false;
  bool tooLarge = false; // the magnitude does not fit 64 bits
  uint64_t magnitude = 0;
  size_t consumed = 0; // characters up to the last digit, 0 if none
};

ScannedInteger scanInteger(const char *text) {
  ScannedInteger s;
  size_t i = 0;
  while (isAsciiSpace(text[i])) {
    ++i;
  }
  if (text[i] == '+' || text[i] == '-') {
    s.negative = text[i] == '-';
    ++i;
  }
  while (text[i] >= '0' && text[i] <= '9') {
    const uint64_t digit = uint64_t(text[i] - '0');
    if (s.magnitude > (UINT64_MAX - digit) / 10) {
      s.tooLarge = true;
    } else {
      s.magnitude = s.magnitude * 10 + digit;
    }
    s.found = true;
    ++i;
  }
  if (s.found) {
    s.consumed = i;
  }
  return s;
}

int64_t toInt64(const ScannedInteger &s) {
  constexpr uint64_t kLimit = uint64_t{1} << 63;
  if (s.negative) {
    return (s.tooLarge || s.magnitude >= kLimit) ? INT64_MIN : -int64_t(s.magnitude);
  }
  return (s.tooLarge || s.magnitude >= kLimit) ? INT64_MAX : int64_t(s.magnitude);
}

uint64_t toUInt64(const ScannedInteger &s) {
  if (s.tooLarge) {
    return UINT64_MAX;
  }
  return s.negative ? 0 - s.magnitude : s.magnitude;
}

int32_t lowWord(int64_t value) {
  return int32_t(uint32_t(uint64_t(value)));
}

// A real number at the start of a text; consumed is 0 when there is none.
struct ScannedReal {
  double value = 0.0;
  size_t consumed = 0;
};

ScannedReal scanReal(const char *text) {
  ScannedReal r;
  char *end = nullptr;
  const double value = std::strtod(text, &end);
  if (end != nullptr && end != text) {
    r.value = value;
    r.consumed = size_t(end - text);
  }
  return r;
}

// A real number read straight into single precision, as scanf's "%f" reads
// an array element: rounding once differs from narrowing a double when the
// text lies next to a midpoint between two floats.
struct ScannedFloat {
  float value = 0.0f;
  size_t consumed = 0;
};

ScannedFloat scanFloat(const char *text) {
  ScannedFloat r;
  char *end = nullptr;
  const float value = std::strtof(text, &end);
  if (end != nullptr && end != text) {
    r.value = value;
    r.consumed = size_t(end - text);
  }
  return r;
}

template <typename T>
void storeAt(void *field, size_t index, const T &value) {
  std::memcpy(static_cast<unsigned char *>(field) + index * sizeof(T), &value, sizeof(T));
}

template <typename T>
T loadAt(const void *field, size_t index) {
  T value;
  std::memcpy(&value, static_cast<const unsigned char *>(field) + index * sizeof(T), sizeof(T));
  return value;
}

void appendFormat(std::string &line, const char *format, ...) __attribute__((format(printf, 2, 3)));

// The argument list is ended on every way out: a line that cannot grow
// throws only after va_end.
void appendFormat(std::string &line, const char *format, ...) {
  va_list args;
  va_start(args, format);
  va_list measure;
  va_copy(measure, args);
  // The analyzer does not follow va_copy.
  // NOLINTNEXTLINE(clang-analyzer-valist.Uninitialized)
  const int length = std::vsnprintf(nullptr, 0, format, measure);
  va_end(measure);
  bool grew = true;
  if (length > 0) {
    const size_t start = line.size();
    try {
      line.resize(start + size_t(length) + 1);
    } catch (...) {
      grew = false;
    }
    if (grew) {
      std::vsnprintf(&line[start], size_t(length) + 1, format, args);
      line.resize(start + size_t(length));
    }
  }
  va_end(args);
  if (!grew) {
    throw std::bad_alloc();
  }
}

// Copies at most `limit` characters of `text` into `field` and fills the rest
// of its `fieldSize` bytes with terminators.
void storeText(void *field, size_t fieldSize, size_t limit, const char *text) {
  char *out = static_cast<char *>(field);
  size_t n = 0;
  while (n < limit && n < fieldSize && text[n] != '\0') {
    out[n] = text[n];
    ++n;
  }
  std::memset(out + n, 0, fieldSize - n);
}

// The text of a field that holds at most `limit` characters.
std::string fieldText(const void *field, size_t limit) {
  const char *text = static_cast<const char *>(field);
  return std::string(text, strnlen(text, limit));
}

void appendElement(std::string &line, int32_t baseType, const void *field, size_t index) {
  switch (baseType) {
    case PARAM_INT32:
    case PARAM_UINT32: // unsigned elements are written in the signed form
      appendFormat(line, "%d ", loadAt<int32_t>(field, index));
      break;
    case PARAM_FLOAT:
      appendFormat(line, "%f ", double(loadAt<float>(field, index)));
      break;
    case PARAM_DOUBLE:
      appendFormat(line, "%lf ", loadAt<double>(field, index));
      break;
    case PARAM_DOUBLE3:
      appendFormat(line, "%lf %lf %lf ", loadAt<double>(field, 3 * index),
                   loadAt<double>(field, 3 * index + 1), loadAt<double>(field, 3 * index + 2));
      break;
    case PARAM_INT64:
      appendFormat(line, FOG_FORMAT_INT64 " ", loadAt<int64_t>(field, index));
      break;
    case PARAM_UINT64:
      appendFormat(line, FOG_FORMAT_UINT64 " ", loadAt<uint64_t>(field, index));
      break;
    default:
      break;
  }
}

void appendScalar(std::string &line, const ParameterDescriptor &row) {
  const void *field = row.value;
  switch (row.type) {
    case PARAM_INT32:
      appendFormat(line, "%d", loadAt<int32_t>(field, 0));
      break;
    case PARAM_UINT32:
      appendFormat(line, "%u", loadAt<uint32_t>(field, 0));
      break;
    case PARAM_FLOAT:
      appendFormat(line, "%f", double(loadAt<float>(field, 0)));
      break;
    case PARAM_DOUBLE:
      appendFormat(line, "%lf", loadAt<double>(field, 0));
      break;
    case PARAM_NAME20:
      line += fieldText(field, 20);
      break;
    case PARAM_DOUBLE3:
      appendFormat(line, "%lf %lf %lf", loadAt<double>(field, 0), loadAt<double>(field, 1),
                   loadAt<double>(field, 2));
      break;
    case PARAM_TEXT:
      line += fieldText(field, row.size > 0 ? size_t(row.size) - 1 : 0);
      break;
    case PARAM_INT64:
      appendFormat(line, FOG_FORMAT_INT64, loadAt<int64_t>(field, 0));
      break;
    case PARAM_UINT64:
      appendFormat(line, FOG_FORMAT_UINT64, loadAt<uint64_t>(field, 0));
      break;
    default:
      break;
  }
}

// Reads one array element at `text` into element `index` of the field.
// Returns the characters consumed, each component followed by one separator,
// or 0 when the element does not convert (the field is then unchanged).
size_t readElement(int32_t baseType, void *field, size_t index, const char *text, size_t length) {
  if (baseType == PARAM_DOUBLE3) {
    double components[3];
    size_t position = 0;
    for (double &component : components) {
      if (position > length) {
        return 0;
      }
      const ScannedReal r = scanReal(text + position);
      if (r.consumed == 0) {
        return 0;
      }
      component = r.value;
      position += r.consumed + 1;
    }
    for (int k = 0; k < 3; ++k) {
      storeAt(field, 3 * index + k, components[k]);
    }
    return position;
  }
  if (baseType == PARAM_FLOAT) {
    const ScannedFloat r = scanFloat(text);
    if (r.consumed == 0) {
      return 0;
    }
    storeAt(field, index, r.value);
    return r.consumed + 1;
  }
  if (baseType == PARAM_DOUBLE) {
    const ScannedReal r = scanReal(text);
    if (r.consumed == 0) {
      return 0;
    }
    storeAt(field, index, r.value);
    return r.consumed + 1;
  }
  const ScannedInteger s = scanInteger(text);
  if (!s.found) {
    return 0;
  }
  switch (baseType) {
    case PARAM_INT32:
    case PARAM_UINT32: // read in the signed form: 2^31 and above come back as the same bits
      storeAt(field, index, lowWord(toInt64(s)));
      break;
    case PARAM_INT64:
      storeAt(field, index, toInt64(s));
      break;
    case PARAM_UINT64:
      storeAt(field, index, toUInt64(s));
      break;
    default:
      return 0;
  }
  return s.consumed + 1;
}

void readArray(const ParameterDescriptor &row, const char *text) {
  if (row.count == nullptr) {
    return;
  }
  *row.count = 0;
  const int32_t baseType = row.type & ~PARAM_ARRAY;
  const int32_t capacity = parameterArrayCapacity(row);
  const size_t length = std::strlen(text);
  size_t position = 0;
  int32_t count = 0;
  while (position < length && count < capacity) {
    const size_t consumed =
        readElement(baseType, row.value, size_t(count), text + position, length - position);
    if (consumed == 0) {
      break;
    }
    *row.count = ++count;
    position += consumed;
  }
}

void readScalar(const ParameterDescriptor &row, const char *text) {
  void *field = row.value;
  switch (row.type) {
    case PARAM_INT32:
      storeAt(field, 0, parameterTextToInt32(text));
      break;
    case PARAM_UINT32:
      storeAt(field, 0, parameterTextToUInt32(text));
      break;
    case PARAM_FLOAT:
      storeAt(field, 0, float(parameterTextToDouble(text)));
      break;
    case PARAM_DOUBLE:
      storeAt(field, 0, parameterTextToDouble(text));
      break;
    case PARAM_NAME20:
      storeText(field, 20, 19, text);
      break;
    case PARAM_DOUBLE3: {
      size_t position = 0;
      for (size_t k = 0; k < 3; ++k) {
        const ScannedReal r = scanReal(text + position);
        if (r.consumed == 0) {
          break;
        }
        storeAt(field, k, r.value);
        position += r.consumed;
      }
      break;
    }
    case PARAM_TEXT:
      if (row.size > 0) {
        storeText(field, size_t(row.size), size_t(row.size) - 1, text);
      }
      break;
    case PARAM_INT64: {
      const ScannedInteger s = scanInteger(text);
      if (s.found) {
        storeAt(field, 0, toInt64(s));
      }
      break;
    }
    case PARAM_UINT64: {
      const ScannedInteger s = scanInteger(text);
      if (s.found) {
        storeAt(field, 0, toUInt64(s));
      }
      break;
    }
    default:
      break;
  }
}

} // namespace

size_t parameterElementSize(int32_t baseType) {
  switch (baseType) {
    case PARAM_INT32:
    case PARAM_UINT32:
    case PARAM_FLOAT:
      return 4;
    case PARAM_DOUBLE:
    case PARAM_INT64:
    case PARAM_UINT64:
      return 8;
    case PARAM_DOUBLE3:
      return 24;
    default:
      return 0;
  }
}

int32_t parameterArrayCapacity(const ParameterDescriptor &row) {
  const size_t elementSize = parameterElementSize(row.type & ~PARAM_ARRAY);
  if (elementSize == 0 || row.size <= 0) {
    return 0;
  }
  return int32_t(size_t(row.size) / elementSize);
}

void appendParameterLine(std::string &line, const ParameterDescriptor &row) {
  if (row.name == nullptr) {
    return;
  }
  CNumericLocale numbers;
  line += row.name;
  line += ' ';
  if (row.value == nullptr) {
    return;
  }
  if ((row.type & PARAM_ARRAY) == 0) {
    appendScalar(line, row);
    return;
  }
  int32_t count = row.count != nullptr ? *row.count : 0;
  const int32_t capacity = parameterArrayCapacity(row);
  if (count > capacity) {
    count = capacity;
  }
  const int32_t baseType = row.type & ~PARAM_ARRAY;
  for (int32_t i = 0; i < count; ++i) {
    appendElement(line, baseType, row.value, size_t(i));
  }
}

void readParameterValue(const ParameterDescriptor &row, const char *valueText) noexcept {
  if (row.value == nullptr || valueText == nullptr) {
    return;
  }
  CNumericLocale numbers;
  if ((row.type & PARAM_ARRAY) != 0) {
    readArray(row, valueText);
  } else {
    readScalar(row, valueText);
  }
}

int32_t parameterTextToInt32(const char *text) noexcept {
  return lowWord(toInt64(scanInteger(text)));
}

uint32_t parameterTextToUInt32(const char *text) noexcept {
  const ScannedInteger s = scanInteger(text);
  if (s.tooLarge || s.magnitude > UINT32_MAX) {
    return UINT32_MAX;
  }
  const uint32_t magnitude = uint32_t(s.magnitude);
  return s.negative ? 0u - magnitude : magnitude;
}

double parameterTextToDouble(const char *text) noexcept {
  CNumericLocale numbers;
  return scanReal(text).value;
}
