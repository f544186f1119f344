// zav_ramp_gi.sem loaded as a host loads it: int32 glides through whole
// numbers, held in single precision, and values passed on unrounded.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

#include "tests/support/int_pins_fixture.h"
#include "tests/support/reference_glide.h"

namespace zav {
namespace {

using test::IntWrite;
using Writes = std::vector<IntWrite>;

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kTwo24 = 16777216;

class IntLibraryTest : public test::LoadedIntPinsFixture {
protected:
  void SetUp() override { load("zav_ramp_gi.sem"); }
};

TEST_F(IntLibraryTest, GlideWritesTheMidpointAndTheEndThenFinishesAfterMorphTime) {
  const std::int64_t start = glide(0, 10);
  tickAt(start, 500);
  EXPECT_EQ(writes(), (Writes{{3, 5}}));
  tickAt(start, 1000);
  EXPECT_EQ(writes(), (Writes{{3, 10}}));
  EXPECT_TRUE(module->tickerRunning);
  tickAt(start, 1001);
  EXPECT_EQ(writes(), (Writes{{3, 10}, {2, 10}, {0, 0}}));
  EXPECT_FALSE(module->tickerRunning);
}

TEST_F(IntLibraryTest, GlidesOnTheHostsTickerThroughEveryInteger) {
  const std::int64_t start = glide(0, 10);
  const std::vector<std::int32_t> seen = destinationOnTheHostsTicker(100);
  // seen[k] is pin 3 after the tick at k × 100 ms (none at 0), which writes
  // k; the tick at 1100 ms finishes the glide and stops the ticker.
  const std::vector<std::int32_t> expected = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  EXPECT_EQ(seen, expected);
  EXPECT_EQ(pinCell(3).asInt(), 10);
  EXPECT_EQ(pinCell(2).asInt(), 10);
  EXPECT_EQ(pinCell(0).asInt(), 0);
  EXPECT_EQ(test::moduleClock().nowMs() - start, 1100);
}

TEST_F(IntLibraryTest, StepsRoundToTheNearestIntegerWithAnExactHalfGoingUp) {
  struct Case {
    std::int32_t from, to, ms;
    float step; // the tick's value in single precision, before rounding
    std::int32_t written;
  };
  const Case cases[] = {
      {2, 3, 500, 2.5f, 3},
      {-2, -3, 500, -2.5f, -2},
      {5, 0, 500, 0x1.3ffffep+1f /* 2.4999998 */, 2},
      {0, -5, 500, -0x1.400002p+1f /* -2.5000002 */, -3},
      {0, 5, 500, 0x1.400002p+1f /* 2.5000002 */, 3},
      {1, 0, 500, 0x1.fffffcp-2f /* 0.49999994, carried across the half */, 1},
      {0, -1, 500, -0x1.000002p-1f /* -0.50000006, carried across the half */, 0},
      {-1, 0, 500, -0x1.fffffcp-2f /* -0.49999994 */, 0},
      {4194304, 4194305, 500, 4194304.5f, 4194305},
      {-4194304, -4194305, 500, -4194304.5f, -4194304},
      {0, kMax, 999, 2145336448.0f, 2145336448},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.from << " to " << c.to << " at " << c.ms << " ms");
    const float start = static_cast<float>(c.from);
    const float delta = static_cast<float>(static_cast<double>(c.to) - start);
    ASSERT_EQ(test::referenceStep(start, delta, c.ms, 1000), c.step);
    const std::int64_t glideStart = glide(c.from, c.to);
    tickAt(glideStart, c.ms);
    EXPECT_EQ(writes(), (Writes{{3, c.written}}));
  }
}

// 2147483647 is held as the float 2^31, one past the int32 range: the last
// step and the finish end on the largest int, not wrapped to the smallest.
TEST_F(IntLibraryTest, GlideToAnInt32LimitEndsOnThatLimit) {
  struct Case {
    std::int32_t from, to, ends;
  };
  const Case cases[] = {
      {0, kMax, kMax},
      {kMin, kMax, kMax},
      {0, kMin, kMin},
      {kMax, kMin, kMin},
      {0, kMax - 63, kMax},       // also held as 2^31
      {0, kMax - 64, 2147483520}, // held as the float next below 2^31
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.from << " to " << c.to);
    const std::int64_t start = glide(c.from, c.to);
    tickAt(start, 1000);
    EXPECT_EQ(writes(), (Writes{{3, c.ends}}));
    tickAt(start, 1001);
    EXPECT_EQ(writes(), (Writes{{3, c.ends}, {2, c.ends}, {0, 0}}));
  }
}

// A pass-through keeps the glide's delta but moves its start: with a delta of
// ±2^32 from an end of the range, the steps lie far outside it.
TEST_F(IntLibraryTest, StepsPushedBeyondTheRangeByAPassThroughSaturate) {
  struct Case {
    std::int32_t from, to, passed, ends;
  };
  const Case cases[] = {
      {kMin, kMax, kMax, kMax},
      {kMax, kMin, kMin + 1, kMin},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.passed);
    initialiseLoaded(c.from, c.from, 1); // left glides, right passes
    const std::int64_t start = test::moduleClock().nowMs();
    host.setInt(*module, 2, c.to);
    host.setInt(*module, 3, c.passed);
    EXPECT_EQ(writes(), (Writes{{0, 1000}, {2, c.passed}}));
    tickAt(start, 500);
    EXPECT_EQ(writes(), (Writes{{3, c.ends}}));
    tickAt(start, 1001);
    EXPECT_EQ(writes(), (Writes{{3, c.ends}, {2, c.ends}, {0, 0}}));
  }
}

TEST_F(IntLibraryTest, GlideToTwoToTheTwentyFourPlusOneEndsOnTwoToTheTwentyFour) {
  const std::int64_t start = glide(0, kTwo24 + 1);
  tickAt(start, 1001);
  EXPECT_EQ(writes(), (Writes{{3, kTwo24}, {2, kTwo24}, {0, 0}}));
}

TEST_F(IntLibraryTest, InitialiseAndPassThroughWriteAnyInt32Unchanged) {
  for (const std::int32_t value : {kTwo24 + 1, -kTwo24 - 1, kMax, kMin, kMax - 1}) {
    SCOPED_TRACE(value);
    EXPECT_EQ(initialiseLoaded(value, 0), (Writes{{3, value}}));
    EXPECT_EQ(initialiseLoaded(0, value, 2), (Writes{{2, value}}));

    initialiseLoaded(0, 0, 3); // left passes
    host.setInt(*module, 2, value);
    EXPECT_EQ(writes(), (Writes{{3, value}}));
    initialiseLoaded(0, 0, 1); // right passes
    host.setInt(*module, 3, value);
    EXPECT_EQ(writes(), (Writes{{2, value}}));
  }
}

// The target is held in single precision, but a value read is compared with it
// as it stands, not rounded first.
TEST_F(IntLibraryTest, AValueIsNewWhenItDiffersFromTheTargetAsAnExactNumber) {
  struct Case {
    std::int32_t target, reported;
    bool isNew;
  };
  const Case cases[] = {
      {7, 7, false},
      {7, 8, true},
      {kTwo24 + 1, kTwo24, false}, // the target is held as 2^24
      {kTwo24 + 1, kTwo24 + 1, true},
      {kMax, kMax, true}, // held as 2^31
      {kMin, kMin, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.target << ", then " << c.reported);
    EXPECT_EQ(reportAfterHolding(c.target, c.reported), (c.isNew ? Writes{{0, 1000}} : Writes{}));
  }
}

TEST_F(IntLibraryTest, AfterAGlideItsTargetIsNotNewButItsNeighbourIs) {
  const std::int64_t start = glide(0, 7);
  tickAt(start, 1001);
  writes();
  host.setInt(*module, 2, 7);
  EXPECT_EQ(writes(), Writes{});
  host.setInt(*module, 2, 8);
  EXPECT_EQ(writes(), (Writes{{0, 1000}}));
}

TEST_F(IntLibraryTest, GlideToTheValueAlreadyShownStillRunsAndFinishes) {
  const std::int64_t start = glideToTheValueShown(5);
  tickAt(start, 400);
  tickAt(start, 1001);
  EXPECT_EQ(writes(), (Writes{{0, 1000}, {3, 5}, {3, 5}, {2, 5}, {0, 0}}));
}

TEST_F(IntLibraryTest, MorphTimeZeroFinishesOnTheFirstTickEvenInTheStartsMillisecond) {
  for (const std::int64_t ms : {0, 1}) {
    SCOPED_TRACE(ms);
    const std::int64_t start = glide(0, 3, 0);
    tickAt(start, ms);
    EXPECT_EQ(writes(), (Writes{{3, 3}, {2, 3}, {0, 0}}));
  }
}

} // namespace
} // namespace zav
