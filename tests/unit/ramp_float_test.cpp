// The ramp engine on the Float kind, driven through the GUI entry function by
// the reference host on a clock the test moves.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "ramp/ramp_float.h"
#include "tests/support/host_fixture.h"
#include "tests/support/reference_glide.h"

namespace zav {
namespace {

using host::HostCall;

// A pin write as the host saw it: float pins carry the value in d, the others in b.
struct Write {
  std::int32_t pin;
  double value;
  bool operator==(const Write& other) const {
    return pin == other.pin &&
           (value == other.value || (std::isnan(value) && std::isnan(other.value)));
  }
};

std::ostream& operator<<(std::ostream& out, const Write& write) {
  return out << "pin " << write.pin << " = " << std::hexfloat << write.value << std::defaultfloat
             << " (" << write.value << ")";
}

std::vector<Write> writesIn(const std::vector<HostCall>& calls) {
  std::vector<Write> writes;
  for (const HostCall& call : calls) {
    if (call.operation == gui_host_op::kSetPinValue) {
      const bool floatPin = call.a == pin::kLeft || call.a == pin::kRight;
      writes.push_back({call.a, floatPin ? static_cast<double>(call.d) : call.b});
    }
  }
  return writes;
}

using test::referenceStep;

class RampFloatTest : public test::RampFixture<RampFloat> {
protected:
  // A new module in `mode`, both sides at 0, the call log empty.
  void startNew(std::int16_t mode = 0, std::int32_t morphTimeMs = 1000) {
    host.initialise(*module, false);
    pinCell(pin::kPassingMode).setInt(mode);
    host.setInt(*module, pin::kPassingMode, mode);
    pinCell(pin::kMorphTime).setInt(morphTimeMs);
    host.setInt(*module, pin::kMorphTime, morphTimeMs);
    takeCalls();
  }
  float pinValue(std::int32_t index) { return pinCell(index).asFloat(); }
  bool tickerRunning() const { return module->tickerRunning; }
};

TEST_F(RampFloatTest, NewModuleWritesItsDefaultsInPinOrderThenCopiesLeftToRight) {
  host.initialise(*module, false);
  const std::vector<HostCall> calls = takeCalls();
  ASSERT_EQ(calls.size(), 9u);
  const std::int32_t expectedOperations[] = {15, 15, 15, 15, 15, 14, 14, 15, 14};
  const std::int32_t expectedPins[] = {0, 1, 2, 3, 4, 4, 2, 3, 1};
  for (std::size_t i = 0; i < calls.size(); ++i) {
    EXPECT_EQ(calls[i].operation, expectedOperations[i]) << i;
    EXPECT_EQ(calls[i].a, expectedPins[i]) << i;
  }
  EXPECT_EQ(writesIn(calls),
            (std::vector<Write>{{0, 0}, {1, 1000}, {2, 0.0}, {3, 0.0}, {4, 0}, {3, 0.0}}));
  EXPECT_FALSE(tickerRunning());
}

TEST_F(RampFloatTest, LoadedModuleCopiesTheSideItsModeChooses) {
  struct Case {
    std::int32_t mode;
    std::int32_t from, to;
  };
  const Case cases[] = {{0, 2, 3}, {1, 2, 3},  {2, 3, 2},     {3, 3, 2},        {4, 2, 3},
                        {5, 2, 3}, {-1, 2, 3}, {65535, 2, 3}, {65536 + 2, 3, 2}};
  for (const Case& expected : cases) {
    SCOPED_TRACE(expected.mode);
    pinCell(pin::kPassingMode).setInt(expected.mode);
    pinCell(pin::kMorphTime).setInt(1000);
    pinCell(pin::kLeft).setFloat(1.5f);
    pinCell(pin::kRight).setFloat(-4.0f);
    takeCalls();
    host.initialise(*module, true);
    const float driving = expected.from == pin::kLeft ? 1.5f : -4.0f;
    EXPECT_EQ(writesIn(takeCalls()), (std::vector<Write>{{expected.to, driving}}));
    EXPECT_EQ(pinValue(expected.to), driving);
  }
}

TEST_F(RampFloatTest, LoadedModuleIgnoresItsOwnCopyReportedBack) {
  host.options.reportWritesBack = true;
  pinCell(pin::kMorphTime).setInt(1000);
  pinCell(pin::kLeft).setFloat(3.0f);
  pinCell(pin::kRight).setFloat(9.0f);
  host.initialise(*module, true);
  // The copy to pin 3 is reported back without the busy flag; pin 3 now equals
  // the target and mode 0 ignores pin 3 anyway. No glide starts.
  EXPECT_EQ(pinValue(pin::kRight), 3.0f);
  EXPECT_FALSE(tickerRunning());
}

TEST_F(RampFloatTest, PassingModesDecideWhatEachSideDoes) {
  enum Does { Ignores, Glides, Passes };
  struct Case {
    std::int32_t mode;
    Does left, right;
  };
  const Case cases[] = {
      {0, Glides, Ignores},   {1, Glides, Passes},       {2, Ignores, Glides},
      {3, Passes, Glides},    {4, Glides, Glides},       {5, Ignores, Ignores},
      {-1, Ignores, Ignores}, {65535, Ignores, Ignores}, {65536, Glides, Ignores},
  };
  for (const Case& expected : cases) {
    for (const std::int32_t side : {pin::kLeft, pin::kRight}) {
      SCOPED_TRACE(::testing::Message() << "mode " << expected.mode << " side " << side);
      startNew();
      host.setInt(*module, pin::kPassingMode, expected.mode);
      takeCalls();
      const std::int32_t other = side == pin::kLeft ? pin::kRight : pin::kLeft;
      host.setFloat(*module, side, 7.0f);
      const Does does = side == pin::kLeft ? expected.left : expected.right;
      const std::vector<Write> writes = writesIn(takeCalls());
      if (does == Glides) {
        EXPECT_EQ(writes, (std::vector<Write>{{pin::kTicker, 1000}}));
        EXPECT_TRUE(tickerRunning());
      } else if (does == Passes) {
        EXPECT_EQ(writes, (std::vector<Write>{{other, 7.0}}));
        EXPECT_FALSE(tickerRunning());
      } else {
        EXPECT_TRUE(writes.empty());
      }
    }
  }
}

TEST_F(RampFloatTest, GlideWritesTheStatedValuesAndFinishesOnTheFirstTickAfterMorphTime) {
  startNew();
  const std::int64_t start = test::moduleClock().nowMs();
  host.setFloat(*module, pin::kLeft, 10.0f);
  const std::vector<HostCall> startCalls = takeCalls();
  // Read pin 2 (new?), read the destination, read the source again, write the Ticker.
  ASSERT_EQ(startCalls.size(), 4u);
  EXPECT_EQ(startCalls[0].operation, 14);
  EXPECT_EQ(startCalls[0].a, 2);
  EXPECT_EQ(startCalls[1].a, 3);
  EXPECT_EQ(startCalls[2].a, 2);
  EXPECT_EQ(writesIn(startCalls), (std::vector<Write>{{0, 1000}}));

  struct Tick {
    std::int64_t ms;
    float value;
  };
  const Tick ticks[] = {{0, 0.0f},
                        {250, std::nextafter(2.5f, 3.0f)},
                        {500, std::nextafter(5.0f, 6.0f)},
                        {1000, 10.0f}};
  for (const Tick& tick : ticks) {
    SCOPED_TRACE(tick.ms);
    tickAt(start, tick.ms);
    EXPECT_EQ(writesIn(takeCalls()), (std::vector<Write>{{3, tick.value}}));
  }
  EXPECT_TRUE(tickerRunning());

  tickAt(start, 1001);
  EXPECT_EQ(writesIn(takeCalls()), (std::vector<Write>{{3, 10.0}, {2, 10.0}, {0, 0}}));
  EXPECT_FALSE(tickerRunning());

  tickAt(start, 1500); // a Ticker change with no glide running does nothing
  EXPECT_TRUE(takeCalls().empty());
}

TEST_F(RampFloatTest, ReportsOfItsOwnWritesAreDroppedAndChangeNothing) {
  host.options.reportWritesBack = true;
  startNew();
  const std::int64_t start = test::moduleClock().nowMs();
  host.setFloat(*module, pin::kLeft, 10.0f);
  tickAt(start, 500);
  tickAt(start, 1001);
  std::vector<Write> writes = writesIn(takeCalls());
  EXPECT_EQ(writes, (std::vector<Write>{
                        {0, 1000}, {3, std::nextafter(5.0f, 6.0f)}, {3, 10.0}, {2, 10.0}, {0, 0}}));
  // The reported writes were dropped for good: nothing runs after the glide.
  EXPECT_FALSE(tickerRunning());
  tickAt(start, 1200);
  EXPECT_TRUE(takeCalls().empty());
}

TEST_F(RampFloatTest, SettingTheLastTargetAgainDoesNothing) {
  startNew();
  const std::int64_t start = test::moduleClock().nowMs();
  host.setFloat(*module, pin::kLeft, 4.0f);
  tickAt(start, 1001);
  takeCalls();
  host.setFloat(*module, pin::kLeft, 4.0f);
  EXPECT_TRUE(writesIn(takeCalls()).empty());
  EXPECT_FALSE(tickerRunning());
  host.setFloat(*module, pin::kLeft, -0.0f); // −0 equals 0, but 4 is the target: new
  EXPECT_EQ(writesIn(takeCalls()), (std::vector<Write>{{0, 1000}}));
}

TEST_F(RampFloatTest, IgnoredChangeLeavesTheTargetAlone) {
  startNew(static_cast<std::int16_t>(PassingMode::LeftRamps));
  host.setFloat(*module, pin::kRight, 6.0f); // ignored in mode 0
  host.setFloat(*module, pin::kLeft, 0.0f);  // still the target from Initialise
  EXPECT_TRUE(writesIn(takeCalls()).empty());
}

TEST_F(RampFloatTest, NewValueMidGlideStartsOverFromWhereTheDestinationStands) {
  startNew();
  std::int64_t start = test::moduleClock().nowMs();
  host.setFloat(*module, pin::kLeft, 10.0f);
  tickAt(start, 300);
  const float reached = pinValue(pin::kRight);
  ASSERT_EQ(reached, referenceStep(0.0f, 10.0f, 300, 1000));

  test::moduleClock().set(start + 400);
  start += 400;
  host.setFloat(*module, pin::kLeft, -2.0f);
  EXPECT_EQ(writesIn(takeCalls()).back(), (Write{0, 1000}));
  const float delta = static_cast<float>(-2.0 - reached);
  for (const std::int64_t ms : {0, 100, 999, 1000}) {
    tickAt(start, ms);
    EXPECT_EQ(pinValue(pin::kRight),
              referenceStep(reached, delta, static_cast<std::int32_t>(ms), 1000))
        << ms;
  }
  tickAt(start, 1001);
  EXPECT_EQ(pinValue(pin::kRight), -2.0f);
  EXPECT_EQ(pinValue(pin::kLeft), -2.0f);
}

TEST_F(RampFloatTest, PassThroughDuringAGlideRebasesItButDoesNotStopIt) {
  startNew(static_cast<std::int16_t>(PassingMode::RightRampsLeftPasses));
  const std::int64_t start = test::moduleClock().nowMs();
  host.setFloat(*module, pin::kRight, 8.0f); // glides pin 2 from 0 to 8
  tickAt(start, 250);
  takeCalls();

  host.setFloat(*module, pin::kLeft, 100.0f); // passed to pin 3 at once
  EXPECT_EQ(writesIn(takeCalls()), (std::vector<Write>{{3, 100.0}}));

  // The glide keeps its delta (8) and start time, now based on the passed value.
  tickAt(start, 500);
  EXPECT_EQ(writesIn(takeCalls()),
            (std::vector<Write>{{2, referenceStep(100.0f, 8.0f, 500, 1000)}}));
  tickAt(start, 1001);
  EXPECT_EQ(writesIn(takeCalls()), (std::vector<Write>{{2, 100.0}, {3, 100.0}, {0, 0}}));
}

TEST_F(RampFloatTest, MorphTimeChangeMidGlideKeepsTheStartTime) {
  startNew();
  std::int64_t start = test::moduleClock().nowMs();
  host.setFloat(*module, pin::kLeft, 10.0f);
  tickAt(start, 500);
  host.setInt(*module, pin::kMorphTime, 2000);
  tickAt(start, 1000);
  EXPECT_EQ(pinValue(pin::kRight), referenceStep(0.0f, 10.0f, 1000, 2000));
  EXPECT_TRUE(tickerRunning());
  host.setInt(*module, pin::kMorphTime, 400); // already passed: the next tick finishes
  takeCalls();
  tickAt(start, 1001);
  EXPECT_EQ(writesIn(takeCalls()), (std::vector<Write>{{3, 10.0}, {2, 10.0}, {0, 0}}));
}

TEST_F(RampFloatTest, ZeroAndNegativeMorphTimesFinishOnTheFirstTick) {
  struct Case {
    std::int32_t morphTimeMs;
    std::int64_t tickMs;
  };
  // A Morph Time of 0 with a tick in the start's own millisecond finishes at once.
  const Case cases[] = {{0, 0}, {0, 1}, {-1, 0}, {-500, 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.morphTimeMs << " ms, tick at " << c.tickMs);
    startNew(0, c.morphTimeMs);
    const std::int64_t start = test::moduleClock().nowMs();
    host.setFloat(*module, pin::kLeft, 3.0f);
    EXPECT_EQ(writesIn(takeCalls()), (std::vector<Write>{{0, static_cast<double>(c.morphTimeMs)}}));
    tickAt(start, c.tickMs);
    EXPECT_EQ(writesIn(takeCalls()), (std::vector<Write>{{3, 3.0}, {2, 3.0}, {0, 0}}));
  }
}

TEST_F(RampFloatTest, NaNIsAlwaysNewAndGlidesAsNaN) {
  startNew();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const std::int64_t start = test::moduleClock().nowMs();
  host.setFloat(*module, pin::kLeft, nan);
  tickAt(start, 500);
  EXPECT_TRUE(std::isnan(pinValue(pin::kRight)));
  takeCalls();
  host.setFloat(*module, pin::kLeft, nan); // equal to nothing, so new again
  EXPECT_EQ(writesIn(takeCalls()), (std::vector<Write>{{0, 1000}}));
}

TEST_F(RampFloatTest, GlideToTheValueAlreadyShownStillRunsAndFinishes) {
  startNew(static_cast<std::int16_t>(PassingMode::BothRamp));
  pinCell(pin::kRight).setFloat(5.0f); // the destination already shows the new value
  const std::int64_t start = test::moduleClock().nowMs();
  host.setFloat(*module, pin::kLeft, 5.0f);
  tickAt(start, 400);
  tickAt(start, 1001);
  EXPECT_EQ(writesIn(takeCalls()),
            (std::vector<Write>{{0, 1000}, {3, 5.0}, {3, 5.0}, {2, 5.0}, {0, 0}}));
}

TEST_F(RampFloatTest, PassingModeChangeMidGlideLetsItRunOn) {
  startNew();
  const std::int64_t start = test::moduleClock().nowMs();
  host.setFloat(*module, pin::kLeft, 1.0f);
  host.setInt(*module, pin::kPassingMode, 2);
  tickAt(start, 1001);
  EXPECT_EQ(pinValue(pin::kRight), 1.0f);
  EXPECT_FALSE(tickerRunning());
}

TEST_F(RampFloatTest, WithoutALateTickTheGlideStaysOnItsLastValue) {
  startNew();
  const std::int64_t start = test::moduleClock().nowMs();
  host.setFloat(*module, pin::kLeft, 10.0f);
  tickAt(start, 1000);
  test::moduleClock().set(start + 50000);
  EXPECT_EQ(pinValue(pin::kRight), 10.0f);
  EXPECT_EQ(pinValue(pin::kLeft), 10.0f); // set from outside; the module wrote nothing
  EXPECT_TRUE(tickerRunning());
}

TEST_F(RampFloatTest, InitialiseEndsARunningGlideWithoutAWrite) {
  startNew();
  const std::int64_t start = test::moduleClock().nowMs();
  host.setFloat(*module, pin::kLeft, 10.0f);
  host.initialise(*module, true);
  takeCalls();
  tickAt(start, 300);
  EXPECT_TRUE(writesIn(takeCalls()).empty());
}

TEST_F(RampFloatTest, GlidesAcrossTheClocksThirtyTwoBitWrap) {
  test::moduleClock().set(0x7fffffffLL - 100);
  startNew();
  const std::int64_t start = test::moduleClock().nowMs();
  host.setFloat(*module, pin::kLeft, 10.0f);
  tickAt(start, 500); // the 32-bit count has wrapped to negative here
  EXPECT_EQ(pinValue(pin::kRight), std::nextafter(5.0f, 6.0f));
}

} // namespace
} // namespace zav
