// params_command.cpp - "fogrender params": the module's default parameter
// list, one member per line, which is also a valid material file.
#include <cstdio>
#include <fstream>

#include "commands.h"

namespace fogrender {

int runParams(const TextureModule &module, const GlobalOptions &, const ParamsOptions &options) {
  const std::vector<std::string> members = module.defaultParameters();
  if (members.empty()) {
    std::fprintf(stderr, "fogrender: %s published no default parameter list\n",
                 module.path().c_str());
    return kExitFailed;
  }
  std::string text;
  for (const std::string &member : members) text += member + "\n";

  if (options.output.empty()) {
    std::fputs(text.c_str(), stdout);
    return std::fflush(stdout) == 0 ? kExitOk : kExitFailed;
  }
  const std::string partial = options.output + ".partial";
  {
    std::ofstream out(partial, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out) {
      std::remove(partial.c_str());
      std::fprintf(stderr, "fogrender: cannot write %s\n", options.output.c_str());
      return kExitFailed;
    }
  }
  if (std::rename(partial.c_str(), options.output.c_str()) != 0) {
    std::remove(partial.c_str());
    std::fprintf(stderr, "fogrender: cannot write %s\n", options.output.c_str());
    return kExitFailed;
  }
  std::printf("wrote %s\n", options.output.c_str());
  return kExitOk;
}

} // namespace fogrender
