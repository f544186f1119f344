#include "host/module_library.h"

#include <algorithm>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace zav::host {
namespace {

#ifdef _WIN32
void* loadLibrary(const std::string& path, std::string& error) {
  // LoadLibrary recognises a path by its backslashes; a name with forward
  // slashes alone may be looked for along the DLL search path instead.
  std::string windowsPath = path;
  std::replace(windowsPath.begin(), windowsPath.end(), '/', '\\');
  HMODULE module = LoadLibraryA(windowsPath.c_str());
  if (module == nullptr) {
    error = "cannot load " + path + " (Windows error " + std::to_string(GetLastError()) + ")";
  }
  return reinterpret_cast<void*>(module);
}
void* findSymbol(void* library, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}
void closeLibrary(void* library) { FreeLibrary(static_cast<HMODULE>(library)); }
#else
void* loadLibrary(const std::string& path, std::string& error) {
  // A bare file name would send dlopen searching the library path.
  const std::string where = path.find('/') == std::string::npos ? "./" + path : path;
  void* library = dlopen(where.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    const char* reason = dlerror();
    error = reason != nullptr ? reason : "cannot load " + path;
  }
  return library;
}
void* findSymbol(void* library, const char* name) { return dlsym(library, name); }
void closeLibrary(void* library) { dlclose(library); }
#endif

} // namespace

std::unique_ptr<ModuleLibrary> ModuleLibrary::open(const std::string& path, std::string& error) {
  void* library = loadLibrary(path, error);
  if (library == nullptr) {
    return nullptr;
  }
  std::unique_ptr<ModuleLibrary> opened(new ModuleLibrary);
  opened->libraryHandle = library;
  opened->getModuleProperties =
      reinterpret_cast<GetModulePropertiesFunction>(findSymbol(library, kGetModulePropertiesName));
  opened->makeModule = reinterpret_cast<MakeModuleFunction>(findSymbol(library, kMakeModuleName));
  if (opened->getModuleProperties == nullptr || opened->makeModule == nullptr) {
    error = path + " is not a module library: it lacks getModuleProperties or makeModule";
    return nullptr;
  }
  return opened;
}

ModuleLibrary::~ModuleLibrary() {
  if (libraryHandle != nullptr) {
    closeLibrary(libraryHandle);
  }
}

} // namespace zav::host
