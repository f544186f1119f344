// The audio side of every ramp module: it declares the five pins and idles.
// All ramp logic lives on the GUI side.
#pragma once

#include "framework/audio_module_base.h"
#include "ramp/pin_table.h"

namespace zav {

class RampAudio final : public AudioModuleBase {
public:
  RampAudio(const RampPinTable& pins, HostCallback hostCallback, std::intptr_t reserved)
      : AudioModuleBase(hostCallback, reserved), pins(pins) {}

  // Installs the idle process function, then enumerates the pins.
  void open() override;
  bool getPinProperties(std::int32_t index, PinProperties& properties) override;

private:
  // Sends processIdle (host operation 10) and answers what the host answers.
  static std::int32_t process(void* object, std::int32_t a, std::int32_t b) noexcept;

  const RampPinTable& pins;
};

} // namespace zav
