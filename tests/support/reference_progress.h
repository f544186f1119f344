// The progress a tick step reads from the RampTable for a tick `elapsedMs`
// after the glide start, computed from the stated arithmetic independently of
// the engine: expected values in tests come from here, never from the engine.
#pragma once

#include <cmath>
#include <cstdint>

namespace zav::test {

inline float referenceProgress(std::int32_t elapsedMs, std::int32_t morphTimeMs) {
  const double seconds = elapsedMs * static_cast<double>(0.001f);
  const float rate = static_cast<float>(1000.0 / morphTimeMs);
  const float position = static_cast<float>(seconds * rate * 4095);
  std::int32_t index =
      static_cast<std::int32_t>(std::nearbyint(position - static_cast<double>(0.4999999f))) & 4095;
  const float fraction = static_cast<float>(position - static_cast<double>(index));
  if (position > 4095) {
    index = 4095;
  }
  const double k = static_cast<float>(1.0 / 4095);
  auto entry = [&](std::int32_t i) { return i == 4096 ? 1.0f : static_cast<float>(i * k); };
  return static_cast<float>((1.0 - fraction) * entry(index) +
                            static_cast<double>(fraction) * entry(index + 1));
}

} // namespace zav::test
