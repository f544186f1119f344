#include "ramp/ramp_audio.h"

namespace zav {

void RampAudio::open() {
  selectProcess(ProcessSelection{&RampAudio::process, {0, 0, 0}});
  AudioModuleBase::open();
}

bool RampAudio::getPinProperties(std::int32_t index, PinProperties& properties) {
  if (index < 0 || index >= static_cast<std::int32_t>(pins.size())) {
    return false;
  }
  const PinDeclaration& pin = pins[static_cast<std::size_t>(index)];
  properties.direction = static_cast<std::int32_t>(pin.direction);
  properties.dataType = static_cast<std::int32_t>(pin.type);
  properties.name = pin.name;
  properties.defaultText = pin.defaultText;
  properties.listText = pin.listText;
  properties.flags = pin.flags;
  return true;
}

std::int32_t RampAudio::process(void* object, std::int32_t /*a*/, std::int32_t /*b*/) noexcept {
  auto* self = static_cast<AudioModuleBase*>(object);
  return static_cast<std::int32_t>(self->callHost(audio_host_op::kProcessIdle));
}

} // namespace zav
