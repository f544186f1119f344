// The Float kind: single-precision values that move linearly in time.
#pragma once

#include "framework/host_interface.h"
#include "ramp/ramp_module.h"

namespace zav {

class RampFloat final : public TableRampModule<RampFloat> {
public:
  using Value = float;
  static constexpr const char* kValueWord = "Float";
  static constexpr PinDataType kValueType = PinDataType::Float;

  using TableRampModule::TableRampModule;

private:
  friend class RampModule<RampFloat>;
  friend class TableRampModule<RampFloat>;

  float read(std::int32_t side) { return getFloat(side); }
  void write(std::int32_t side, float value) { setFloat(side, value); }
  // IEEE comparison: −0 equals 0, and a NaN equals nothing, so it is always new.
  bool isNew(float value) const { return value != targetValue; }
  void hold(float value) {
    targetValue = value;
    startValue = value;
  }
  void beginGlide(float from, float to) {
    startValue = from;
    targetValue = to;
    delta = static_cast<float>(static_cast<double>(to) - from);
  }
  void writeStep(std::int32_t side, float glideProgress) {
    setFloat(side, static_cast<float>(startValue + static_cast<double>(glideProgress) * delta));
  }
  void writeTarget(std::int32_t side) { setFloat(side, targetValue); }

  float startValue = 0.0f;
  float targetValue = 0.0f;
  float delta = 0.0f;
};

} // namespace zav
