// What a deliverable tells the two exports: its identity and how to make its
// two objects. Each module library defines thisModule() once.
#pragma once

#include <cstdint>

#include "framework/host_interface.h"

namespace zav {

struct ModuleIdentity {
  const char* name;  // also the identifier
  const char* about; // lines joined by single line feeds
  // Each returns the new object's record, or null when memory ran out.
  AudioHostRecord* (*makeAudioObject)(HostCallback hostCallback, std::intptr_t reserved);
  GuiHostRecord* (*makeGuiObject)(HostCallback hostCallback, std::intptr_t reserved);
};

const ModuleIdentity& thisModule() noexcept;

} // namespace zav
