// zav_ramp_gf.sem loaded as a host loads it: separate instances and whole
// glides on the host's ticker.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tests/support/host_fixture.h"

namespace zav {
namespace {

class FloatLibraryTest : public test::LoadedFixture {
protected:
  void SetUp() override { load("zav_ramp_gf.sem"); }
};

TEST_F(FloatLibraryTest, InstancesKeepTheirOwnState) {
  host::Instance* other = host.create(*library);
  ASSERT_NE(other, nullptr);
  EXPECT_NE(other->gui, module->gui);
  host.initialise(*module, false);
  host.initialise(*other, false);
  const std::int64_t start = test::moduleClock().nowMs();
  host.setFloat(*module, 2, 10.0f);
  host.tick(*other); // the other instance runs no glide
  EXPECT_FALSE(other->tickerRunning);
  tickAt(start, 500);
  EXPECT_EQ(pinCell(3).asFloat(), std::nextafter(5.0f, 6.0f));
  EXPECT_EQ(other->pins[3].asFloat(), 0.0f);
}

TEST_F(FloatLibraryTest, GlidesOnTheHostsTickerToTheEnd) {
  host.options.reportWritesBack = true;
  host.options.tickPeriodMs = 100;
  host.initialise(*module, false);
  EXPECT_EQ(pinCell(1).asInt(), 1000);
  host.setFloat(*module, 2, 10.0f);
  ASSERT_TRUE(module->tickerRunning);
  std::vector<float> seen;
  while (host.serviceTickers()) {
    seen.push_back(pinCell(3).asFloat());
    test::moduleClock().advance(100);
  }
  // seen[k] is pin 3 after the tick at k × 100 ms (none at 0); the tick at
  // 1100 ms finishes the glide and stops the ticker.
  ASSERT_EQ(seen.size(), 11u);
  EXPECT_EQ(seen[5], std::nextafter(5.0f, 6.0f));
  EXPECT_EQ(seen[10], 10.0f);
  EXPECT_EQ(pinCell(3).asFloat(), 10.0f);
  EXPECT_EQ(pinCell(2).asFloat(), 10.0f);
  EXPECT_EQ(pinCell(0).asInt(), 0);
}

} // namespace
} // namespace zav
