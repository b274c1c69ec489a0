// material_file.h - fog materials as files of parameter text, the form in
// which the CAD host keeps them with a material's map: one parameter per
// line, its name, one space and its value, exactly as the texture module
// writes its default parameter list ("fogrender params" prints it).
//
//   fog_primary_color 0.850000 0.880000 0.950000
//   fog_minimum_density 0.000000
//
// A file is checked before any of it reaches the host. It is bad, and
// reported with its line, when a line
//   - names no fog parameter (names are matched without regard to case, as
//     the module matches them),
//   - names a parameter that an earlier line already set (the module would
//     silently take the first),
//   - does not separate name and value by exactly one space,
//   - has no value, or a value that is not of the parameter's kind: a whole
//     number within 32 bits, a finite decimal number (within single
//     precision for the parameters the module holds as floats), three such
//     numbers separated by spaces, or a colour name of at most 19 characters
//     (the module keeps no more),
//   - holds a NUL byte.
// Empty lines, lines of only spaces and tabs, and lines whose first character
// is '#' are comments and are not passed on. Lines may end in "\r\n".
// Parameters that no line names keep the module's defaults.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace fogrender {

struct MaterialFileError {
  std::string file;
  int line = 0; // 1-based; 0 when the file as a whole could not be read
  std::string message;

  // "file:line: message", or "file: message" without a line.
  std::string describe() const;
};

// The parameter lines of `text` (comments left out), in file order, or false
// with `error` filled; `fileName` only labels the error.
bool parseMaterialText(std::string_view text, const std::string &fileName,
                       std::vector<std::string> &members, MaterialFileError &error);

// Reads and checks the file at `path`.
bool readMaterialFile(const std::string &path, std::vector<std::string> &members,
                      MaterialFileError &error);

} // namespace fogrender
