// A glide's progress and step value computed from the stated arithmetic, apart
// from the engine, for tests to hold the modules against.
#pragma once

#include <cmath>
#include <cstdint>

namespace zav::test {

// The progress a tick step `elapsedMs` after the glide start reads from the
// table under a Morph Time of `morphTimeMs`.
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

// The single-precision value of that tick step on a glide from `start` by `delta`.
inline float referenceStep(float start, float delta, std::int32_t elapsedMs,
                           std::int32_t morphTimeMs) {
  return static_cast<float>(start +
                            static_cast<double>(referenceProgress(elapsedMs, morphTimeMs)) * delta);
}

} // namespace zav::test
