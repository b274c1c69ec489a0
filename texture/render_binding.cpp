// render_binding.cpp - the texture module's link to the CAD renderer's
// material library. The module does not link libcadrender.so: the first
// xelMaterial_ call loads it, and each operation is looked up at its own
// first call and then called through the address found.
//
// The library is looked up by name first, as the loader finds libraries
// for this module; failing that, in the folder of the host's programming
// interface library, which it is installed beside. (A loader that wraps
// dlopen, as sanitizer runtimes do, searches without this module's own
// paths.) It is tried once; if it cannot be loaded, or an operation is not
// in it, that operation answers null or does nothing from then on. Lookups
// go through the handle of the loaded library, never the global scope,
// where these very wrappers could be found instead.
#include <dlfcn.h>

#include <cstdio>
#include <cstring>

#include "cad_host.h"

#define FOG_BOUND_OPERATION __attribute__((visibility("hidden")))

namespace {

constexpr const char *kRenderingLibrary = "libcadrender.so";

void *openBesideProgrammingInterface() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void *>(&xelStringList_create), &info) == 0 ||
      info.dli_fname == nullptr)
    return nullptr;
  const char *slash = std::strrchr(info.dli_fname, '/');
  if (slash == nullptr) return nullptr;
  char path[4096];
  const int folderLength = static_cast<int>(slash - info.dli_fname) + 1;
  const int length =
      std::snprintf(path, sizeof path, "%.*s%s", folderLength, info.dli_fname, kRenderingLibrary);
  if (length < 0 || static_cast<size_t>(length) >= sizeof path) return nullptr;
  return dlopen(path, RTLD_NOW | RTLD_LOCAL);
}

void *renderingLibrary() {
  static bool tried = false;
  static void *handle = nullptr;
  if (!tried) {
    tried = true;
    handle = dlopen(kRenderingLibrary, RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) handle = openBesideProgrammingInterface();
  }
  return handle;
}

// One operation of the rendering library, looked up at its first call.
template <typename Function>
class BoundOperation {
 public:
  explicit constexpr BoundOperation(const char *name) : name_(name) {}

  // The library's function, or null when it cannot be had.
  Function get() {
    if (!lookedUp_) {
      lookedUp_ = true;
      if (void *library = renderingLibrary(); library != nullptr)
        function_ = reinterpret_cast<Function>(dlsym(library, name_));
    }
    return function_;
  }

 private:
  const char *name_;
  bool lookedUp_ = false;
  Function function_ = nullptr;
};

BoundOperation<XelMaterial *(*)(int32_t)> findFromId{"xelMaterial_findFromId"};
BoundOperation<XelMaterial *(*)(void)> create{"xelMaterial_create"};
BoundOperation<void (*)(XelMaterial *)> freeMaterial{"xelMaterial_free"};
BoundOperation<XelMap *(*)(XelMaterial *, int32_t, int32_t)> getMap{"xelMaterial_getMap"};
BoundOperation<XelStringList (*)(XelMap *)> getMapUserData{"xelMaterial_getMapUserData"};

} // namespace

extern "C" {

FOG_BOUND_OPERATION XelMaterial *xelMaterial_findFromId(int32_t id) {
  const auto function = findFromId.get();
  return function != nullptr ? function(id) : nullptr;
}

FOG_BOUND_OPERATION XelMaterial *xelMaterial_create(void) {
  const auto function = create.get();
  return function != nullptr ? function() : nullptr;
}

FOG_BOUND_OPERATION void xelMaterial_free(XelMaterial *material) {
  if (const auto function = freeMaterial.get(); function != nullptr) function(material);
}

FOG_BOUND_OPERATION XelMap *xelMaterial_getMap(XelMaterial *material, int32_t mapNumber,
                                               int32_t reserved) {
  const auto function = getMap.get();
  return function != nullptr ? function(material, mapNumber, reserved) : nullptr;
}

FOG_BOUND_OPERATION XelStringList xelMaterial_getMapUserData(XelMap *map) {
  const auto function = getMapUserData.get();
  return function != nullptr ? function(map) : nullptr;
}

} // extern "C"
