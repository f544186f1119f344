// The two functions a module library exports, with undecorated C names.
#include "framework/module_exports.h"

// The only two symbols a module library makes visible (a .def file and a
// linker version script say the same).
#if defined(_WIN32)
#define ZAV_EXPORT __declspec(dllexport)
#else
#define ZAV_EXPORT __attribute__((visibility("default")))
#endif

extern "C" {

ZAV_EXPORT std::int32_t getModuleProperties(std::int32_t index, zav::ModuleProperties* props) {
  if (props == nullptr) {
    return 0;
  }
  props->sdkVersion = zav::kSdkVersion;
  if (index != 0) {
    return 0;
  }
  const zav::ModuleIdentity& module = zav::thisModule();
  props->name = module.name;
  props->identifier = module.name;
  props->about = module.about;
  props->sdkVersion = zav::kSdkVersion;
  return 1;
}

ZAV_EXPORT void* makeModule(std::int32_t index, std::int32_t kind, zav::HostCallback hostCallback,
                            std::intptr_t reserved) {
  if (index != 0) {
    return nullptr;
  }
  const zav::ModuleIdentity& module = zav::thisModule();
  switch (static_cast<zav::ObjectKind>(kind)) {
  case zav::ObjectKind::Audio:
    return module.makeAudioObject(hostCallback, reserved);
  case zav::ObjectKind::Gui:
    return module.makeGuiObject(hostCallback, reserved);
  default:
    return nullptr;
  }
}

} // extern "C"
