// The progress curve a glide reads: a straight line from 0 to 1 in 4096 steps.
#pragma once

#include <array>

namespace zav {

class RampTable {
public:
  // The position of the glide's end; entry kLastStep and the one after it are 1.
  static constexpr int kLastStep = 4095;

  // Entry i is i × (1/4095 rounded to single precision), the product formed in
  // double precision and rounded to single; the extra entry after the last
  // step lets the tick step interpolate at index kLastStep.
  void fill() {
    constexpr double step = static_cast<float>(1.0 / kLastStep);
    for (int i = 0; i < kLastStep + 1; ++i) {
      entries[i] = static_cast<float>(i * step);
    }
    entries[kLastStep + 1] = 1.0f;
  }

  float operator[](int index) const { return entries[index]; }

private:
  std::array<float, kLastStep + 2> entries{};
};

} // namespace zav
