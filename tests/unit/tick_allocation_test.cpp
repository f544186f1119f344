// No kind allocates in a tick step once its glide is under way, the finish
// included: a host may tick every module of a patch at control rates. Only the
// module's own code is counted (tests/support/counting_allocator.h).
#include <gtest/gtest.h>

#include <string>

#include "ramp/ramp_bool.h"
#include "ramp/ramp_float.h"
#include "ramp/ramp_int.h"
#include "ramp/ramp_list.h"
#include "ramp/ramp_text.h"
#include "tests/support/counting_allocator.h"
#include "tests/support/host_fixture.h"

namespace zav {
namespace {

// What a kind's pins hold before Initialise, and the change of the left side
// that starts a glide.
template <class Kind> struct Glide;

template <> struct Glide<RampFloat> {
  static void prepare(test::HostFixture&, host::Instance&) {}
  static void newTarget(host::Instance& module) { module.pins[2].setFloat(10.0f); }
};
template <> struct Glide<RampInt> {
  static void prepare(test::HostFixture&, host::Instance&) {}
  static void newTarget(host::Instance& module) { module.pins[2].setInt(1000); }
};
template <> struct Glide<RampBool> {
  static void prepare(test::HostFixture&, host::Instance&) {}
  static void newTarget(host::Instance& module) { module.pins[2].setInt(1); }
};
template <> struct Glide<RampText> {
  static void prepare(test::HostFixture&, host::Instance&) {}
  static void newTarget(host::Instance& module) { module.pins[2].text = std::string(300, 'z'); }
};
template <> struct Glide<RampList> {
  static void prepare(test::HostFixture&, host::Instance& module) {
    module.pins[3].listText = u"Off,Low,Mid,High,Max,a,b,c";
  }
  static void newTarget(host::Instance& module) { module.pins[2].setInt(7); }
};

template <class Kind> class TickAllocationTest : public test::HostFixture {
protected:
  TickAllocationTest() {
    host.options.logCalls = false;
    auto* ramp = new Kind(&test::uncountedHost, 0);
    module = &host.adopt(ramp->record(), {PinDataType::Int, PinDataType::Int, Kind::kValueType,
                                          Kind::kValueType, PinDataType::List});
    Glide<Kind>::prepare(*this, *module);
  }

  // Allocations made by module code while it handles a change of `pin`.
  std::size_t moduleAllocationsOnChange(std::int32_t pin) {
    test::armAllocationCount();
    module->gui->dispatcher(module->gui, gui_op::kPinChanged, pin, 0, nullptr, 0.0f);
    test::disarmAllocationCount();
    return test::countedAllocations();
  }
};

using Kinds = ::testing::Types<RampFloat, RampInt, RampBool, RampText, RampList>;
TYPED_TEST_SUITE(TickAllocationTest, Kinds);

TYPED_TEST(TickAllocationTest, TickStepsAndTheFinishAllocateNothing) {
  this->host.initialise(*this->module, false);
  Glide<TypeParam>::newTarget(*this->module);
  const std::int64_t start = test::moduleClock().nowMs();
  this->moduleAllocationsOnChange(pin::kLeft);
  ASSERT_TRUE(this->module->tickerRunning) << "the glide started";
  for (std::int64_t ms = 0; ms <= 1001; ms += 7) {
    test::moduleClock().set(start + ms);
    ASSERT_EQ(this->moduleAllocationsOnChange(pin::kTicker), 0u) << ms << " ms";
  }
  test::moduleClock().set(start + 1001);
  EXPECT_EQ(this->moduleAllocationsOnChange(pin::kTicker), 0u) << "the finish";
  EXPECT_FALSE(this->module->tickerRunning);
}

} // namespace
} // namespace zav
