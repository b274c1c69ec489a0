// material_file.cpp - checking parameter-text files line by line.
#include "material_file.h"

#include <cctype>
#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

namespace fogrender {
namespace {

enum class ValueKind { Integer, Float, Double, DoubleTriple, ColourName };

struct ParameterKind {
  const char *name;
  ValueKind kind;
};

// The fog texture's parameters and the kind of value each holds.
constexpr ParameterKind kParameters[] = {
    {"fog_relative_coords", ValueKind::Integer},
    {"fog_pattern_scale_z", ValueKind::Double},
    {"fog_pattern_offset_z", ValueKind::Double},
    {"fog_primary_color_name", ValueKind::ColourName},
    {"fog_primary_color", ValueKind::DoubleTriple},
    {"fog_minimum_density", ValueKind::Float},
    {"fog_maximum_density", ValueKind::Float},
    {"fog_drift_speed", ValueKind::Float},
    {"fog_swirl_speed", ValueKind::Float},
    {"fog_thickness", ValueKind::Float},
    {"fog_contrast", ValueKind::Float},
    {"fog_level_of_detail", ValueKind::Float},
};

constexpr size_t kColourNameLimit = 19;

std::string lowerCase(std::string_view text) {
  std::string lower(text);
  for (char &c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

const ParameterKind *findParameter(std::string_view name) {
  const std::string lower = lowerCase(name);
  for (const ParameterKind &p : kParameters)
    if (lower == p.name) return &p;
  return nullptr;
}

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

// Length of the decimal number at the start of `text` (sign, digits, an
// optional fraction and exponent), or 0 when there is none.
size_t decimalLength(std::string_view text) {
  size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  size_t digits = 0;
  while (i < text.size() && isDigit(text[i])) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && isDigit(text[i])) ++i, ++digits;
  }
  if (digits == 0) return 0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    size_t exponentDigits = 0;
    while (j < text.size() && isDigit(text[j])) ++j, ++exponentDigits;
    if (exponentDigits > 0) i = j;
  }
  return i;
}

// Empty when `text` is one finite decimal number that fits `kind`, else why not.
std::string checkReal(std::string_view text, ValueKind kind) {
  if (decimalLength(text) != text.size()) return "is not a decimal number";
  const std::string copy(text);
  errno = 0;
  const double value = std::strtod(copy.c_str(), nullptr);
  if (!std::isfinite(value)) return "is out of range";
  if (kind == ValueKind::Float && std::fabs(value) > FLT_MAX) return "is out of range for a float";
  return {};
}

std::string checkInteger(std::string_view text) {
  size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  if (i == text.size()) return "is not a whole number";
  for (size_t j = i; j < text.size(); ++j)
    if (!isDigit(text[j])) return "is not a whole number";
  const std::string copy(text);
  errno = 0;
  const long long value = std::strtoll(copy.c_str(), nullptr, 10);
  if (errno == ERANGE || value < INT32_MIN || value > INT32_MAX)
    return "is out of range for a 32-bit integer";
  return {};
}

std::string checkTriple(std::string_view text) {
  std::string_view rest = text;
  for (int component = 0; component < 3; ++component) {
    if (component > 0) {
      if (rest.empty() || rest.front() != ' ') return "needs three numbers separated by spaces";
      while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
    }
    const size_t length = decimalLength(rest);
    if (length == 0) return "needs three numbers separated by spaces";
    if (std::string why = checkReal(rest.substr(0, length), ValueKind::Double); !why.empty())
      return why;
    rest.remove_prefix(length);
  }
  if (!rest.empty()) return "needs three numbers separated by spaces";
  return {};
}

std::string checkValue(std::string_view value, ValueKind kind) {
  switch (kind) {
    case ValueKind::Integer:
      return checkInteger(value);
    case ValueKind::Float:
    case ValueKind::Double:
      return checkReal(value, kind);
    case ValueKind::DoubleTriple:
      return checkTriple(value);
    case ValueKind::ColourName:
      if (value.size() > kColourNameLimit) return "is longer than 19 characters";
      return {};
  }
  return {};
}

bool isComment(std::string_view line) {
  if (!line.empty() && line.front() == '#') return true;
  for (char c : line)
    if (c != ' ' && c != '\t') return false;
  return true;
}

// Empty when the line is a good parameter line, else why not; `name` gets
// the parameter's own (lower-case) name.
std::string checkLine(std::string_view line, std::string &name) {
  if (line.find('\0') != std::string_view::npos) return "the line holds a NUL byte";
  size_t end = 0;
  while (end < line.size() && line[end] != ' ' && line[end] != '\t') ++end;
  const std::string_view word = line.substr(0, end);
  const ParameterKind *parameter = findParameter(word);
  if (parameter == nullptr) return "unknown parameter \"" + std::string(word) + "\"";
  name = parameter->name;
  if (end == line.size())
    return std::string(word) + ": no value (expected the name, one space and the value)";
  if (line[end] != ' ' ||
      (end + 1 < line.size() && (line[end + 1] == ' ' || line[end + 1] == '\t')))
    return std::string(word) + ": name and value must be separated by exactly one space";
  const std::string_view value = line.substr(end + 1);
  if (value.empty()) return std::string(word) + ": no value after the space";
  if (std::string why = checkValue(value, parameter->kind); !why.empty())
    return std::string(word) + ": the value \"" + std::string(value) + "\" " + why;
  return {};
}

} // namespace

std::string MaterialFileError::describe() const {
  if (line > 0) return file + ":" + std::to_string(line) + ": " + message;
  return file + ": " + message;
}

bool parseMaterialText(std::string_view text, const std::string &fileName,
                       std::vector<std::string> &members, MaterialFileError &error) {
  members.clear();
  std::map<std::string, int> firstLine;
  int lineNumber = 0;
  size_t start = 0;
  while (start < text.size()) {
    size_t stop = text.find('\n', start);
    if (stop == std::string_view::npos) stop = text.size();
    std::string_view line = text.substr(start, stop - start);
    start = stop + 1;
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (isComment(line)) continue;

    std::string name;
    std::string why = checkLine(line, name);
    if (why.empty()) {
      const auto [earlier, fresh] = firstLine.emplace(name, lineNumber);
      if (!fresh) why = name + " is already set on line " + std::to_string(earlier->second);
    }
    if (!why.empty()) {
      error = MaterialFileError{fileName, lineNumber, why};
      members.clear();
      return false;
    }
    members.emplace_back(line);
  }
  return true;
}

bool readMaterialFile(const std::string &path, std::vector<std::string> &members,
                      MaterialFileError &error) {
  std::error_code ignored;
  if (std::filesystem::is_directory(path, ignored)) {
    error = MaterialFileError{path, 0, "is a folder, not a material file"};
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = MaterialFileError{path, 0, "cannot open the material file"};
    return false;
  }
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) {
    error = MaterialFileError{path, 0, "cannot read the material file"};
    return false;
  }
  return parseMaterialText(text.str(), path, members, error);
}

} // namespace fogrender
