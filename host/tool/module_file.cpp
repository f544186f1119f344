#include "host/tool/module_file.h"

#include <filesystem>
#include <system_error>

#include "host/reference_host.h"
#include "host/tool/command_line.h"

namespace zav::tool {
namespace {

// The same limit the reference host keeps when it adopts an instance.
constexpr std::int32_t kMaxDeclaredPins = 256;

std::string textOrEmpty(const char* text) { return text != nullptr ? text : ""; }

} // namespace

ModuleFile openModuleFile(const std::string& path) {
  std::error_code error;
  const auto status = std::filesystem::status(path, error);
  if (!std::filesystem::exists(status)) {
    throw ToolError("no such file: " + path);
  }
  if (std::filesystem::is_directory(status)) {
    throw ToolError(path + " is a directory, not a module library");
  }
  ModuleFile module;
  module.path = path;
  std::string reason;
  module.library = host::ModuleLibrary::open(path, reason);
  if (module.library == nullptr) {
    // The loader's reason may span lines; the first one says enough. A library
    // without the exports is already named as no module library.
    const std::string notModule = path + " is not a module library";
    reason = reason.substr(0, reason.find('\n'));
    throw ToolError(reason.rfind(notModule, 0) == 0 ? reason : notModule + ": " + reason);
  }
  ModuleProperties props{};
  if (module.library->getModuleProperties(0, &props) != 1) {
    throw ToolError(path + " is not a module library: getModuleProperties(0) reported no module");
  }
  module.name = textOrEmpty(props.name);
  module.identifier = textOrEmpty(props.identifier);
  module.about = textOrEmpty(props.about);
  module.sdkVersion = props.sdkVersion;
  return module;
}

std::vector<PinDeclaration> readPinDeclarations(ModuleFile& module) {
  auto* audio = static_cast<AudioHostRecord*>(module.library->makeModule(
      0, static_cast<std::int32_t>(ObjectKind::Audio), &host::ReferenceHost::callback, 0));
  if (audio == nullptr) {
    throw ToolError(module.path + " made no audio-side object (makeModule kind 1)");
  }
  std::vector<PinDeclaration> pins;
  for (std::int32_t index = 0; index < kMaxDeclaredPins; ++index) {
    PinProperties declared{};
    if (audio->dispatcher(audio, audio_op::kGetPinProperties, index, 0, &declared, 0.0f) == 0) {
      break;
    }
    PinDeclaration pin;
    pin.index = index;
    pin.name = textOrEmpty(declared.name);
    pin.direction = declared.direction;
    pin.dataType = declared.dataType;
    pin.defaultText = textOrEmpty(declared.defaultText);
    pin.hasListText = declared.listText != nullptr;
    pin.listText = textOrEmpty(declared.listText);
    pin.flags = declared.flags;
    pins.push_back(std::move(pin));
  }
  audio->dispatcher(audio, audio_op::kClose, 0, 0, nullptr, 0.0f);
  return pins;
}

} // namespace zav::tool
