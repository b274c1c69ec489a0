// output_file.h - files are written beside their final name and then moved
// over it, so that a write that fails part way never replaces a good file
// with a broken one.
#pragma once

#include <string>

namespace fogviewer {

// The name a file is written under before it takes its final name.
std::string temporaryPathFor(const std::string &path);

// Moves the finished temporary file to `path`. False, with the reason in
// `error`, when it cannot; the temporary file is then removed.
bool commitTemporary(const std::string &temporary, const std::string &path, std::string &error);

// Removes a temporary file that is not to be kept.
void discardTemporary(const std::string &temporary);

} // namespace fogviewer
