// output_file.cpp - temporary files and moving them into place.
#include "output_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace fogviewer {

std::string temporaryPathFor(const std::string &path) {
  return path + ".fogviewer-part";
}

bool commitTemporary(const std::string &temporary, const std::string &path, std::string &error) {
  if (std::rename(temporary.c_str(), path.c_str()) == 0) return true;
  error = "cannot write " + path + ": " + std::strerror(errno);
  discardTemporary(temporary);
  return false;
}

void discardTemporary(const std::string &temporary) {
  std::remove(temporary.c_str());
}

} // namespace fogviewer
