// Opens a module library (.sem) as a host does and finds its two exports.
#pragma once

#include <memory>
#include <string>

#include "framework/host_interface.h"

namespace zav::host {

class ModuleLibrary {
public:
  // Null, with the reason in `error`, when the file cannot be loaded or lacks
  // either export.
  static std::unique_ptr<ModuleLibrary> open(const std::string& path, std::string& error);
  ~ModuleLibrary();
  ModuleLibrary(const ModuleLibrary&) = delete;
  ModuleLibrary& operator=(const ModuleLibrary&) = delete;

  GetModulePropertiesFunction getModuleProperties = nullptr;
  MakeModuleFunction makeModule = nullptr;
  // The platform's handle (HMODULE on Windows, the dlopen handle elsewhere).
  void* handle() const { return libraryHandle; }

private:
  ModuleLibrary() = default;
  void* libraryHandle = nullptr;
};

} // namespace zav::host
