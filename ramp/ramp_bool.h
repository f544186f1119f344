// The Bool kind: the destination keeps its value for the first half of the
// Morph Time and shows the new one for the second half.
#pragma once

#include <cstdint>

#include "framework/host_interface.h"
#include "ramp/ramp_module.h"

namespace zav {

// With no intermediate values there is no table to read: the tick step is the
// kind's own, and the engine's empty fillTable serves.
class RampBool final : public RampModule<RampBool> {
public:
  using Value = bool;
  static constexpr const char* kValueWord = "Bool";
  static constexpr PinDataType kValueType = PinDataType::Bool;

  using RampModule::RampModule;

private:
  friend class RampModule<RampBool>;

  // The truth of all 32 bits: 5 and 0x80000000 are true.
  bool read(std::int32_t side) { return getInt(side) != 0; }
  void write(std::int32_t side, bool value) { setInt(side, value ? 1 : 0); }
  bool isNew(bool value) const { return value != targetValue; }
  void hold(bool value) {
    targetValue = value;
    startValue = value;
  }
  void beginGlide(bool from, bool to) {
    startValue = from;
    targetValue = to;
  }
  void writeTarget(std::int32_t side) { write(side, targetValue); }

  // Both tests read the unrounded time: the switch comes after 2047/4095 of the
  // Morph Time, and a tick at exactly the Morph Time (1.0000000474974513 s for
  // 1000 ms, stored as 1.0) already finishes. With a Morph Time of 0 the start's
  // own millisecond has no position (0 × infinity, a NaN, which is no switch)
  // and writes the start value; any later tick finishes.
  void tickStep() {
    constexpr double switchPosition = 2047;
    const TickTime time = measureTick();
    stepValue = time.position > switchPosition ? targetValue : startValue;
    if (time.seconds <= morphTimeSec) {
      write(destinationPin, stepValue);
    } else {
      finishGlide();
    }
  }

  bool startValue = false;
  bool targetValue = false;
  bool stepValue = false;
};

} // namespace zav
