// Integer rounding shared by the kinds whose glides move through whole numbers
// (Int values, text character codes, list positions).
#pragma once

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>

// Every glide rounds to single or double precision at stated places, and
// nearestEven below needs each addition rounded to double. Both hold only when
// float and double operations are carried out in their own types: on 32-bit
// x86 that takes SSE2 arithmetic, never the x87's wider registers.
static_assert(FLT_EVAL_METHOD == 0,
              "build with -msse2 -mfpmath=sse: x87 extended precision changes the glides' bits");

namespace zav {

// x rounded to the nearest integer, ties to even, for |x| < 2^51. Adding
// 1.5 × 2^52 leaves no bits for a fraction, so the addition itself rounds (to
// nearest, ties to even, the default mode) and the subtraction is exact. It
// matches std::nearbyint on that range without its call and its saving and
// restoring of the floating-point environment, which a text glide would pay
// once per character and step. Larger values come back large, a NaN as NaN.
inline double nearestEven(double x) {
  constexpr double shift = 0x1.8p52;
  return (x + shift) - shift;
}

// The nearest integer to x, an exact half going up (2.5 → 3, −2.5 → −2).
// x is first held in single precision; 3 × 2^−25 is then added in double
// precision and the sum rounded to nearest, ties to even. The nudge turns the
// ties upward, and also carries the three single-precision values just below a
// half across it: 0.49999994 and 0.49999997 give 1, −0.50000006 gives 0.
// A NaN gives 0; values beyond any glide's range saturate.
inline std::int64_t roundHalfUp(float x) {
  const double nudged = static_cast<double>(x) + 0x3p-25;
  constexpr double limit = 0x1p51;
  if (!(nudged > -limit && nudged < limit)) {
    return std::isnan(nudged) ? 0 : (nudged < 0 ? -(std::int64_t{1} << 51) : std::int64_t{1} << 51);
  }
  return static_cast<std::int64_t>(nearestEven(nudged));
}

// A whole number as an int32, the nearest limit when it lies outside.
inline std::int32_t saturateToInt32(std::int64_t value) {
  constexpr std::int64_t low = std::numeric_limits<std::int32_t>::min();
  constexpr std::int64_t high = std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(value < low ? low : (value > high ? high : value));
}

// The low 16 (or 8) bits of an integer, read as a signed number.
inline std::int16_t low16(std::int64_t value) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(static_cast<std::uint64_t>(value)));
}
inline std::int8_t low8(std::int64_t value) {
  return static_cast<std::int8_t>(static_cast<std::uint8_t>(static_cast<std::uint64_t>(value)));
}

} // namespace zav
