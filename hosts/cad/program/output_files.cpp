// output_files.cpp - where fogrender's files go and how they are announced.
#include <cstdio>
#include <filesystem>

#include "commands.h"

namespace fogrender {

std::string outputPath(const GlobalOptions &global, const std::string &explicitPath,
                       const std::string &name) {
  if (!explicitPath.empty()) return explicitPath;
  const std::filesystem::path folder = global.outDir.empty() ? "." : global.outDir;
  std::error_code failed;
  std::filesystem::create_directories(folder, failed);
  if (failed) {
    std::fprintf(stderr, "fogrender: cannot make the output folder %s: %s\n",
                 folder.string().c_str(), failed.message().c_str());
    return {};
  }
  return (folder / name).string();
}

bool savePicture(const std::string &path, const RgbImage &image) {
  std::string error;
  if (!writePng(path, image, error)) {
    std::fprintf(stderr, "fogrender: %s\n", error.c_str());
    return false;
  }
  std::printf("wrote %s\n", path.c_str());
  std::fflush(stdout);
  return true;
}

} // namespace fogrender
