// texture_module.cpp - loading fog.so and calling its exports.
#include "texture_module.h"

#include <dlfcn.h>

#include "cad_control.h"

namespace fogrender {
namespace {

// The handle this host gives the module; the module passes it back when it
// registers its notice function.
constexpr int32_t kModuleHandle = 1;
constexpr int32_t kDialogModeRenderer = 0;

template <typename Function>
bool bind(void *library, const char *name, Function &function, std::string &error) {
  void *address = dlsym(library, name);
  if (address == nullptr) {
    error = std::string("the module has no export ") + name;
    return false;
  }
  function = reinterpret_cast<Function>(address);
  return true;
}

} // namespace

std::unique_ptr<TextureModule> TextureModule::load(const std::string &texturesDir,
                                                   std::string &error) {
  std::unique_ptr<TextureModule> module(new TextureModule);
  module->path_ = texturesDir.empty() ? std::string("fog.so") : texturesDir + "/fog.so";
  // A bare name would make dlopen search the library path instead.
  if (module->path_.find('/') == std::string::npos) module->path_ = "./" + module->path_;

  void *library = dlopen(module->path_.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    const char *why = dlerror();
    error = "cannot load " + module->path_ + ": " + (why ? why : "unknown error");
    return nullptr;
  }
  std::string missing;
  if (!bind(library, "initialize", module->initialize_, missing) ||
      !bind(library, "dlmTextureCleanup", module->cleanup_, missing) ||
      !bind(library, "dlmTextureProcedure", module->procedure_, missing) ||
      !bind(library, "dlmResetTransform", module->resetTransform_, missing) ||
      !bind(library, "dlmTextureDisplay", module->display_, missing) ||
      !bind(library, "dlmTextureParameters", module->parameters_, missing)) {
    error = module->path_ + ": " + missing;
    dlclose(library);
    return nullptr;
  }
  module->initialize_(0, 0, kModuleHandle);
  module->cleanup_(kDialogModeRenderer);
  return module;
}

TextureModule::~TextureModule() {
  if (cleanup_ != nullptr) cleanup_(kDialogModeRenderer);
}

void TextureModule::shade(TextureColor &color, const TextureSample &sample) const {
  procedure_(&color, &sample);
}

void TextureModule::cleanup() const {
  cleanup_(kDialogModeRenderer);
}

void TextureModule::resetTransform() const {
  resetTransform_();
}

void TextureModule::preferredPreviewSize(int32_t &width, int32_t &height) const {
  int32_t size[2] = {0, 0};
  display_(nullptr, size, nullptr);
  width = size[0];
  height = size[1];
}

int32_t TextureModule::display(uint8_t *planarRows, int32_t width, int32_t height,
                               AbortTest abortTest) const {
  int32_t size[2] = {width, height};
  return display_(planarRows, size, abortTest);
}

std::vector<std::string> TextureModule::defaultParameters() const {
  return parameters_ != nullptr ? cadhost::stringListMembers(*parameters_)
                                : std::vector<std::string>{};
}

} // namespace fogrender
