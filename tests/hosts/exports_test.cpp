// Each built library's dynamic symbol table holds exactly its entry points:
// nothing missing for the host to find, nothing internal showing.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <set>
#include <sstream>
#include <string>

namespace {

// The names `nm -D --defined-only` lists for the library's own functions
// and data. Version definitions (absolute symbols) are not the library's
// entries, and a version suffix is not part of a name.
std::set<std::string> definedDynamicSymbols(const std::string &path, std::string *failure) {
  std::set<std::string> names;
  const std::string command = "nm -D --defined-only '" + path + "' 2>&1";
  std::unique_ptr<FILE, int (*)(FILE *)> pipe(popen(command.c_str(), "r"), pclose);
  if (!pipe) {
    *failure = "cannot run nm";
    return names;
  }
  std::string output;
  char chunk[4096];
  while (std::fgets(chunk, sizeof chunk, pipe.get()) != nullptr) output += chunk;
  if (pclose(pipe.release()) != 0) {
    *failure = "nm failed: " + output;
    return names;
  }
  std::istringstream lines(output);
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string address, type, name;
    if (!(fields >> address >> type >> name)) continue;
    if (type == "A") continue;
    name = name.substr(0, name.find('@'));
    names.insert(name);
  }
  return names;
}

struct LibraryExports {
  const char *what;
  const char *path;
  std::set<std::string> exports;
};

TEST(ExportsTest, EachLibraryExportsExactlyItsEntryPoints) {
  const std::set<std::string> viewerEarlier = {
      "fogvlLayerInterfaceInit", "fogvlLayerGetTypeName", "fogvlLayerGetInterfaceFileTypeDef",
      "fogFileTitleIdentify",    "fogInstanceExtListGet", "fogvlLayerCreate",
      "fogvlLayerOpen"};
  std::set<std::string> viewer = viewerEarlier;
  viewer.insert("FOGShowFogProperties");
  const LibraryExports libraries[] = {
      {"viewer plug-in", FOG_VIEWER_PLUGIN, viewer},
      {"earlier viewer plug-in", FOG_VIEWER_EARLIER_PLUGIN, viewerEarlier},
      {"texture module",
       FOG_CAD_PLUGIN,
       {"initialize", "dlmTextureCleanup", "dlmTextureProcedure", "dlmResetTransform",
        "dlmTextureDisplay", "dlmProcInfo", "dlmTextureParameters"}},
  };
  for (const LibraryExports &library : libraries) {
    SCOPED_TRACE(std::string(library.what) + ": " + library.path);
    std::string failure;
    const std::set<std::string> symbols = definedDynamicSymbols(library.path, &failure);
    EXPECT_EQ(failure, "");
    EXPECT_EQ(symbols, library.exports);
  }
}

} // namespace
