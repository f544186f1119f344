// The reference host's run loop and its ticker, on a clock the test moves: the
// loop that zav-host runs on the real clock.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "host/run_loop.h"
#include "ramp/ramp_float.h"
#include "tests/support/host_fixture.h"

namespace zav {
namespace {

class RunLoopTest : public test::RampFixture<RampFloat> {
protected:
  RunLoopTest() {
    host.options.logCalls = false;
    host.initialise(*module, false);
    host.onTick = [this](host::Instance&) {
      ticks.push_back(Tick{test::moduleClock().nowMs() - startMs, pinCell(pin::kRight).asFloat()});
    };
  }

  // Glides the right side from 0 to `target` over `morphTimeMs` and runs the
  // ticker until `deadlineMs` after the start.
  host::RunEnd glide(std::int32_t morphTimeMs, float target, std::int64_t deadlineMs) {
    host.setInt(*module, pin::kMorphTime, morphTimeMs);
    startMs = test::moduleClock().nowMs();
    host.setFloat(*module, pin::kLeft, target);
    return runUntil(deadlineMs);
  }

  host::RunEnd runUntil(std::int64_t deadlineMs) {
    return host::runTickers(host, startMs + deadlineMs,
                            [](std::int64_t ms) { test::moduleClock().set(ms); });
  }

  struct Tick {
    std::int64_t ms;
    float right;
  };
  std::vector<Tick> ticks;
  std::int64_t startMs = 0;
};

TEST_F(RunLoopTest, TicksEveryPeriodUntilTheModuleWritesZeroToItsTicker) {
  host.options.tickPeriodMs = 10;
  ASSERT_EQ(glide(100, 10.0f, 5000), host::RunEnd::TickersStopped);
  // A tick at exactly the Morph Time still writes a step; the next finishes.
  ASSERT_EQ(ticks.size(), 11u);
  for (std::size_t i = 0; i < ticks.size(); ++i) {
    EXPECT_EQ(ticks[i].ms, 10 * static_cast<std::int64_t>(i + 1));
    if (i > 0) {
      EXPECT_GE(ticks[i].right, ticks[i - 1].right);
    }
  }
  EXPECT_NEAR(ticks[4].right, 5.0f, 1e-5);
  EXPECT_EQ(ticks.back().right, 10.0f);
  EXPECT_EQ(pinCell(pin::kLeft).asFloat(), 10.0f);
  EXPECT_EQ(pinCell(pin::kTicker).asInt(), 0);
  EXPECT_FALSE(module->tickerRunning);
}

TEST_F(RunLoopTest, GivesUpAtTheDeadlineWhenATickerNeverStops) {
  // An object that starts its ticker and never writes 0 to it.
  GuiHostRecord silent{};
  silent.magic = kGuiRecordMagic;
  silent.dispatcher = [](GuiHostRecord*, std::int32_t operation, std::int32_t, std::int32_t, void*,
                         float) { return operation == gui_op::kClose ? 1 : 0; };
  host::Instance& stuck = host.adopt(&silent, {PinDataType::Int});
  host.options.tickPeriodMs = 7;
  host::ReferenceHost::callback(&silent, gui_host_op::kSetPinValue, 0, 1000, nullptr, 0.0f);
  ASSERT_TRUE(stuck.tickerRunning);
  startMs = test::moduleClock().nowMs();
  EXPECT_EQ(runUntil(100), host::RunEnd::TimedOut);
  EXPECT_EQ(test::moduleClock().nowMs(), startMs + 100);
  EXPECT_EQ(stuck.tickerCount, 14); // 7, 14, ... 98 ms
  host.destroy(stuck);
}

TEST_F(RunLoopTest, AGlideOverMorphTimeZeroNeedsTheTickAfterZero) {
  host.options.tickPeriodMs = 5;
  // The glide's start writes 0 to the Ticker pin, which stops the plain ticker.
  EXPECT_EQ(glide(0, 3.0f, 1000), host::RunEnd::TickersStopped);
  EXPECT_TRUE(ticks.empty());
  EXPECT_EQ(pinCell(pin::kRight).asFloat(), 0.0f);

  host.options.tickAfterZero = true;
  ticks.clear();
  EXPECT_EQ(glide(0, 4.0f, 1000), host::RunEnd::TickersStopped);
  // The first tick finishes the glide; the one that answers the finish's 0 finds
  // no glide and changes nothing.
  ASSERT_EQ(ticks.size(), 2u);
  EXPECT_EQ(ticks[0].right, 4.0f);
  EXPECT_EQ(ticks[1].right, 4.0f);
  EXPECT_EQ(pinCell(pin::kLeft).asFloat(), 4.0f);
  EXPECT_FALSE(module->tickerRunning);
}

} // namespace
} // namespace zav
