// A module library opened from a file the user named, with one clear error for
// each way that can go wrong, and what the module declares about itself.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/module_library.h"

namespace zav::tool {

// A pin declaration with its texts copied out of the library.
struct PinDeclaration {
  std::int32_t index = 0;
  std::string name;
  std::int32_t direction = 0;
  std::int32_t dataType = 0;
  std::string defaultText;
  bool hasListText = false;
  std::string listText;
  std::int32_t flags = 0;
};

struct ModuleFile {
  std::string path;
  std::unique_ptr<host::ModuleLibrary> library;
  std::string name;
  std::string identifier;
  std::string about;
  std::int32_t sdkVersion = 0;
};

// Opens the file and reads module 0's properties; a ToolError says why not.
ModuleFile openModuleFile(const std::string& path);

// Makes an audio-side object, asks it for every pin (audio operation 6) until it
// refuses an index, and closes it again.
std::vector<PinDeclaration> readPinDeclarations(ModuleFile& module);

} // namespace zav::tool
