// A Text glide allocates at its start (it copies the two texts and prepares
// their codes) and nothing in its tick steps, the finish included: a host may
// tick at control rates. Only the module's own code is counted.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "ramp/ramp_text.h"
#include "tests/support/counting_allocator.h"
#include "tests/support/host_fixture.h"

namespace zav {
namespace {

class TextAllocationTest : public test::HostFixture {
protected:
  TextAllocationTest() {
    host.options.logCalls = false;
    auto* ramp = new RampText(&test::uncountedHost, 0);
    module = &host.adopt(ramp->record(), {PinDataType::Int, PinDataType::Int, PinDataType::Text,
                                          PinDataType::Text, PinDataType::List});
  }

  // Allocations made by module code while it handles a change of `pin`.
  std::size_t moduleAllocationsOnChange(std::int32_t pin) {
    test::armAllocationCount();
    module->gui->dispatcher(module->gui, gui_op::kPinChanged, pin, 0, nullptr, 0.0f);
    test::disarmAllocationCount();
    return test::countedAllocations();
  }

  std::size_t moduleAllocationsOnTick(std::int64_t startMs, std::int64_t ms) {
    test::moduleClock().set(startMs + ms);
    pinCell(pin::kTicker).setInt(static_cast<std::int32_t>(ms) + 1);
    return moduleAllocationsOnChange(pin::kTicker);
  }

  std::int64_t changeLeft(const std::string& text) {
    pinCell(pin::kLeft).text = text;
    const std::int64_t now = test::moduleClock().nowMs();
    EXPECT_GT(moduleAllocationsOnChange(pin::kLeft), 0u) << "the glide start copies the texts";
    EXPECT_TRUE(module->tickerRunning);
    return now;
  }
};

TEST_F(TextAllocationTest, TickStepsAllocateNothingFromTheFirstToTheFinish) {
  // Longer than any small-string buffer; the intermediate texts grow as
  // positions reach the space and shrink as others fall below it.
  const std::string start = std::string(3000, 'a') + "\xE9\t" + std::string(500, '~');
  const std::string target = std::string(2000, 'z') + std::string(4000, '\x01') + "end";
  pinCell(pin::kMorphTime).setInt(1000);
  pinCell(pin::kLeft).text = start;
  pinCell(pin::kRight).text = start;
  host.initialise(*module, true);

  std::int64_t glideStart = changeLeft(target);
  for (std::int64_t ms = 0; ms <= 400; ++ms) {
    ASSERT_EQ(moduleAllocationsOnTick(glideStart, ms), 0u) << ms << " ms";
  }
  // A new, shorter target mid-glide: a new start may allocate, its steps not.
  glideStart = changeLeft("short");
  for (std::int64_t ms = 0; ms <= 1001; ++ms) {
    ASSERT_EQ(moduleAllocationsOnTick(glideStart, ms), 0u) << ms << " ms";
  }
  EXPECT_FALSE(module->tickerRunning);
  EXPECT_EQ(pinCell(pin::kRight).text, "short");
  EXPECT_EQ(pinCell(pin::kLeft).text, "short");
}

} // namespace
} // namespace zav
