// The Int kind: int32 values gliding linearly in time through whole numbers.
#pragma once

#include <cstdint>

#include "framework/host_interface.h"
#include "ramp/glide_rounding.h"
#include "ramp/ramp_module.h"

namespace zav {

// The glide state is held in single precision, so a glide is exact only within
// ±2^24: a glide to 2^24 + 1 ends on 2^24. Values passed on unglided (by
// Initialise or a pass-through) are the pins' own int32s, written unrounded.
class RampInt final : public TableRampModule<RampInt> {
public:
  using Value = std::int32_t;
  static constexpr const char* kValueWord = "Int";
  static constexpr PinDataType kValueType = PinDataType::Int;

  using TableRampModule::TableRampModule;

private:
  friend class RampModule<RampInt>;
  friend class TableRampModule<RampInt>;

  std::int32_t read(std::int32_t side) { return getInt(side); }
  void write(std::int32_t side, std::int32_t value) { setInt(side, value); }
  // Compared as exact numbers: 2^24 + 1 differs from a target of 2^24 although
  // it would round to it.
  bool isNew(std::int32_t value) const {
    return static_cast<double>(value) != static_cast<double>(targetValue);
  }
  void hold(std::int32_t value) {
    targetValue = static_cast<float>(value);
    startValue = targetValue;
  }
  // The delta is taken from the exact target, not its rounded copy.
  void beginGlide(std::int32_t from, std::int32_t to) {
    startValue = static_cast<float>(from);
    targetValue = static_cast<float>(to);
    delta = static_cast<float>(static_cast<double>(to) - startValue);
  }
  // The int32 limits are not floats: a glide to 2147483647 holds 2^31, and a
  // pass-through during a glide can push a step further out. Such a step ends
  // on the nearest limit rather than wrapping to the other end.
  void writeStep(std::int32_t side, float glideProgress) {
    const float x = static_cast<float>(startValue + static_cast<double>(glideProgress) * delta);
    setInt(side, saturateToInt32(roundHalfUp(x)));
  }
  // Truncated toward zero; the target lies within ±2^31, so int64 holds it.
  void writeTarget(std::int32_t side) {
    setInt(side, saturateToInt32(static_cast<std::int64_t>(targetValue)));
  }

  float startValue = 0.0f;
  float targetValue = 0.0f;
  float delta = 0.0f;
};

} // namespace zav
