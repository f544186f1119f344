// zav_ramp_gb.sem loaded as a host loads it: a glide shows the start value for
// the first half of the Morph Time and the target for the second.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

#include "tests/support/int_pins_fixture.h"

namespace zav {
namespace {

using test::IntWrite;
using Writes = std::vector<IntWrite>;

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

class BoolLibraryTest : public test::LoadedIntPinsFixture {
protected:
  void SetUp() override { load("zav_ramp_gb.sem"); }
};

// The switch comes after 2047/4095 of the Morph Time and the finish with the
// first tick whose unrounded time exceeds the Morph Time as stored: 1000 ms is
// stored as 1.0 s but a tick at 1000 ms is 1.0000000474974513 s, whereas 4095
// ms is stored as 4.0950003 s, above a tick at 4095 ms (4.0950002 s).
TEST_F(BoolLibraryTest, ShowsTheStartThenTheTargetAndFinishesAfterMorphTime) {
  enum Shows { Start, Target, Finishes };
  struct Case {
    std::int32_t morphTimeMs, tickMs;
    Shows shows;
  };
  const Case cases[] = {
      {1000, 250, Start},
      {1000, 499, Start},
      {1000, 500, Target},
      {1000, 999, Target},
      {1000, 1000, Finishes},
      {2000, 999, Start},
      {2000, 1000, Target},
      {2000, 1999, Target},
      {2000, 2000, Finishes},
      {4095, 2046, Start},
      {4095, 2047, Target},
      {4095, 4095, Target},
      {4095, 4096, Finishes},
      // The position is 2047.00003 here but 2047 in single precision.
      {12283, 6139, Start},
      {12283, 6140, Target},
  };
  struct Direction {
    std::int32_t from, to;      // as the pins hold them
    std::int32_t start, target; // as the module writes them
  };
  for (const Direction d : {Direction{0, 5, 0, 1}, Direction{kMin, 0, 1, 0}}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(::testing::Message() << d.from << " to " << d.to << ", Morph Time "
                                        << c.morphTimeMs << ", tick at " << c.tickMs);
      const std::int64_t start = glide(d.from, d.to, c.morphTimeMs);
      tickAt(start, c.tickMs);
      switch (c.shows) {
      case Start:
        EXPECT_EQ(writes(), (Writes{{3, d.start}}));
        break;
      case Target:
        EXPECT_EQ(writes(), (Writes{{3, d.target}}));
        break;
      case Finishes:
        EXPECT_EQ(writes(), (Writes{{3, d.target}, {2, d.target}, {0, 0}}));
        EXPECT_FALSE(module->tickerRunning);
        break;
      }
    }
  }
}

TEST_F(BoolLibraryTest, GlidesOnTheHostsTickerAndSwitchesHalfway) {
  glide(0, 1);
  const std::vector<std::int32_t> seen = destinationOnTheHostsTicker(100);
  // seen[k] is pin 3 after the tick at k × 100 ms (none at 0); the tick at
  // 1000 ms finishes the glide.
  const std::vector<std::int32_t> expected = {0, 0, 0, 0, 0, 1, 1, 1, 1, 1};
  EXPECT_EQ(seen, expected);
  EXPECT_EQ(pinCell(3).asInt(), 1);
  EXPECT_EQ(pinCell(2).asInt(), 1);
  EXPECT_EQ(pinCell(0).asInt(), 0);
}

TEST_F(BoolLibraryTest, MorphTimeZeroWritesTheStartInTheStartsMillisecondAndFinishesAfter) {
  const std::int64_t start = glide(0, 1, 0);
  tickAt(start, 0);
  EXPECT_EQ(writes(), (Writes{{3, 0}}));
  tickAt(start, 0);
  EXPECT_EQ(writes(), (Writes{{3, 0}}));
  tickAt(start, 1);
  EXPECT_EQ(writes(), (Writes{{3, 1}, {2, 1}, {0, 0}}));
}

TEST_F(BoolLibraryTest, NegativeMorphTimeFinishesOnTheFirstTick) {
  const std::int64_t start = glide(0, 1, -1);
  tickAt(start, 0);
  EXPECT_EQ(writes(), (Writes{{3, 1}, {2, 1}, {0, 0}}));
}

// Every one of the 32 bits counts: none of these reads as false.
TEST_F(BoolLibraryTest, AnyNonZeroInt32IsTrueAndIsWrittenOnAsOne) {
  for (const std::int32_t value : {1, 5, -1, 256, 65536, kMin}) {
    SCOPED_TRACE(value);
    EXPECT_EQ(initialiseLoaded(value, 0), (Writes{{3, 1}}));
    EXPECT_EQ(initialiseLoaded(0, value, 3), (Writes{{2, 1}}));

    initialiseLoaded(0, 0, 3); // left passes
    host.setInt(*module, 2, value);
    EXPECT_EQ(writes(), (Writes{{3, 1}}));
  }
  EXPECT_EQ(initialiseLoaded(0, 7), (Writes{{3, 0}}));
}

TEST_F(BoolLibraryTest, AValueIsNewOnlyWhenItsTruthDiffers) {
  struct Case {
    std::int32_t target, reported;
    bool isNew;
  };
  const Case cases[] = {
      {1, 5, false}, {1, kMin, false}, {1, 0, true}, {0, 0, false}, {0, 65536, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.target << ", then " << c.reported);
    EXPECT_EQ(reportAfterHolding(c.target, c.reported), (c.isNew ? Writes{{0, 1000}} : Writes{}));
  }
}

TEST_F(BoolLibraryTest, PassThroughDuringAGlideMakesThePassedValueItsStartAndTarget) {
  initialiseLoaded(0, 0, 1); // left glides, right passes
  const std::int64_t start = test::moduleClock().nowMs();
  host.setInt(*module, 2, 1);
  host.setInt(*module, 3, 0); // new against the target, passed to pin 2 at once
  EXPECT_EQ(writes(), (Writes{{0, 1000}, {2, 0}}));
  tickAt(start, 250);
  tickAt(start, 750);
  EXPECT_TRUE(module->tickerRunning);
  tickAt(start, 1001);
  EXPECT_EQ(writes(), (Writes{{3, 0}, {3, 0}, {3, 0}, {2, 0}, {0, 0}}));
}

TEST_F(BoolLibraryTest, GlideToTheValueAlreadyShownStillRunsAndFinishes) {
  const std::int64_t start = glideToTheValueShown(1);
  tickAt(start, 250);
  tickAt(start, 750);
  tickAt(start, 1000);
  EXPECT_EQ(writes(), (Writes{{0, 1000}, {3, 1}, {3, 1}, {3, 1}, {2, 1}, {0, 0}}));
}

TEST_F(BoolLibraryTest, RightToLeftGlideWritesTheLeftSide) {
  initialiseLoaded(0, 0, 2);
  const std::int64_t start = test::moduleClock().nowMs();
  host.setInt(*module, 3, -3);
  tickAt(start, 400);
  tickAt(start, 600);
  tickAt(start, 1000);
  EXPECT_EQ(writes(), (Writes{{0, 1000}, {2, 0}, {2, 1}, {2, 1}, {3, 1}, {0, 0}}));
}

} // namespace
} // namespace zav
