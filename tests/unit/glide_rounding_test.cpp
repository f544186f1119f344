// The integer rounding of a glide's single-precision step value, on values no
// glide produces on demand.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "ramp/glide_rounding.h"

namespace zav {
namespace {

TEST(RoundHalfUpTest, StatedValuesRoundAsListed) {
  struct Case {
    float x;
    std::int64_t rounded;
  };
  const Case cases[] = {
      {2.5f, 3},
      {-2.5f, -2},
      {0x1.3ffffep+1f /* 2.4999998 */, 2},
      {-0x1.400002p+1f /* -2.5000002 */, -3},
      {0x1.fffffcp-2f /* 0.49999994 */, 1},
      {0x1.fffffep-2f /* 0.49999997 */, 1},
      {-0x1.000002p-1f /* -0.50000006 */, 0},
      {0x1.fffffap-2f /* 0.49999991 */, 0},
      {-0x1.000004p-1f /* -0.50000012 */, -1},
      {0.5f, 1},
      {-0.5f, 0},
      {-0.0f, 0},
      {16777216.0f, 16777216},
      {0x1p31f, 2147483648},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(roundHalfUp(c.x), c.rounded) << std::hexfloat << c.x;
  }
}

// Apart from the three values carried across a half, the result is the nearest
// integer with an exact half going up, for every float near a half.
TEST(RoundHalfUpTest, IsTheNearestIntegerWithHalvesUpNearEveryHalf) {
  const float carried[] = {0x1.fffffcp-2f, 0x1.fffffep-2f, -0x1.000002p-1f};
  for (int whole = -1000; whole <= 1000; ++whole) {
    float x = static_cast<float>(whole + 0.5);
    for (int i = 0; i < 8; ++i) {
      x = std::nextafter(x, -INFINITY);
    }
    for (int i = 0; i < 17; ++i, x = std::nextafter(x, INFINITY)) {
      if (std::find(std::begin(carried), std::end(carried), x) != std::end(carried)) {
        continue;
      }
      EXPECT_EQ(roundHalfUp(x), static_cast<std::int64_t>(std::floor(x + 0.5)))
          << std::hexfloat << x;
    }
  }
}

TEST(RoundHalfUpTest, NaNGivesZeroAndInfinitiesSaturate) {
  EXPECT_EQ(roundHalfUp(std::numeric_limits<float>::quiet_NaN()), 0);
  EXPECT_GT(roundHalfUp(INFINITY), std::int64_t{1} << 32);
  EXPECT_LT(roundHalfUp(-INFINITY), -(std::int64_t{1} << 32));
}

TEST(SaturateToInt32Test, KeepsTheRangeAndClampsBeyondIt) {
  struct Case {
    std::int64_t value;
    std::int32_t saturated;
  };
  const Case cases[] = {
      {0, 0},
      {2147483647, 2147483647},
      {2147483648, 2147483647},
      {4294967296, 2147483647},
      {-2147483648, -2147483647 - 1},
      {-2147483649, -2147483647 - 1},
      {-4294967296, -2147483647 - 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(saturateToInt32(c.value), c.saturated) << c.value;
  }
}

} // namespace
} // namespace zav
