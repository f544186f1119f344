// A loaded ramp module whose sides are int32 cells (the Int and Bool kinds),
// and the pin writes the host saw it make.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <vector>

#include "tests/support/host_fixture.h"

namespace zav::test {

struct IntWrite {
  std::int32_t pin;
  std::int32_t value;
  bool operator==(const IntWrite&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const IntWrite& write) {
  return out << "pin " << write.pin << " = " << write.value;
}

class LoadedIntPinsFixture : public LoadedFixture {
protected:
  // Initialises the module as loaded with these pin values and returns the
  // writes Initialise made.
  std::vector<IntWrite> initialiseLoaded(std::int32_t left, std::int32_t right,
                                         std::int32_t mode = 0, std::int32_t morphTimeMs = 1000) {
    pinCell(1).setInt(morphTimeMs);
    pinCell(2).setInt(left);
    pinCell(3).setInt(right);
    pinCell(4).setInt(mode);
    takeCalls();
    host.initialise(*module, true);
    return writes();
  }

  // Starts a left-to-right glide from `from`, shown on both sides, to `to`
  // and returns the clock at its start.
  std::int64_t glide(std::int32_t from, std::int32_t to, std::int32_t morphTimeMs = 1000) {
    initialiseLoaded(from, from, 0, morphTimeMs);
    const std::int64_t start = moduleClock().nowMs();
    host.setInt(*module, 2, to);
    EXPECT_EQ(writes(), (std::vector<IntWrite>{{0, morphTimeMs}})) << "no glide started";
    return start;
  }

  // Starts a left-to-right glide to `value` while the destination already
  // shows it, and returns the clock at its start.
  std::int64_t glideToTheValueShown(std::int32_t value) {
    initialiseLoaded(0, 0, 4);
    pinCell(3).setInt(value);
    const std::int64_t start = moduleClock().nowMs();
    host.setInt(*module, 2, value);
    return start;
  }

  // The writes that a report of `reported` on pin 2 makes once Initialise has
  // made `held` the target (in mode 0, where only a glide start writes).
  std::vector<IntWrite> reportAfterHolding(std::int32_t held, std::int32_t reported) {
    initialiseLoaded(held, held);
    host.setInt(*module, 2, reported);
    return writes();
  }

  // Lets the host's ticker change pin 0 every `periodMs`, each write reported
  // back, until the glide ends. Returns pin 3 before the first period and
  // after each one that does not end the glide.
  std::vector<std::int32_t> destinationOnTheHostsTicker(std::int64_t periodMs) {
    host.options.reportWritesBack = true;
    host.options.tickPeriodMs = periodMs;
    std::vector<std::int32_t> seen;
    while (host.serviceTickers()) {
      seen.push_back(pinCell(3).asInt());
      moduleClock().advance(periodMs);
    }
    return seen;
  }

  // The pin writes (host operation 15) since the last call, in order.
  std::vector<IntWrite> writes() {
    std::vector<IntWrite> made;
    for (const host::HostCall& call : takeCalls()) {
      if (call.operation == gui_host_op::kSetPinValue) {
        made.push_back({call.a, call.intValue()});
      }
    }
    return made;
  }
};

} // namespace zav::test
