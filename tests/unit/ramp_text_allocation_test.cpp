// A Text glide allocates at its start (it copies the two texts and prepares
// their codes) and nothing in its tick steps, the finish included: a host may
// tick at control rates. The global allocation functions are replaced for the
// whole test program; they count only while a test arms them, and a host call
// made by the module pauses the count, so only the module's own code is counted.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <string>
#include <utility>

#include "ramp/ramp_text.h"
#include "tests/support/host_fixture.h"

namespace {

bool countingArmed = false;
std::size_t allocationCount = 0;

} // namespace

// Kept out of line: inlined, the compiler would pair a new expression with
// free() and warn of a mismatch that these definitions rule out.
[[gnu::noinline]] void* operator new(std::size_t size) {
  if (countingArmed) {
    ++allocationCount;
  }
  if (void* memory = std::malloc(size == 0 ? 1 : size)) {
    return memory;
  }
  throw std::bad_alloc();
}

[[gnu::noinline]] void operator delete(void* memory) noexcept { std::free(memory); }
[[gnu::noinline]] void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }

namespace zav {
namespace {

// The reference host's own work (its pin cells, its log) is not the module's.
std::intptr_t uncountedHost(void* record, std::int32_t operation, std::int32_t a, std::int32_t b,
                            void* c, float d) {
  const bool wasArmed = std::exchange(countingArmed, false);
  const std::intptr_t answer = host::ReferenceHost::callback(record, operation, a, b, c, d);
  countingArmed = wasArmed;
  return answer;
}

class TextAllocationTest : public test::HostFixture {
protected:
  TextAllocationTest() {
    host.options.logCalls = false;
    auto* ramp = new RampText(&uncountedHost, 0);
    module = &host.adopt(ramp->record(), {PinDataType::Int, PinDataType::Int, PinDataType::Text,
                                          PinDataType::Text, PinDataType::List});
  }

  // Allocations made by module code while it handles a change of `pin`.
  std::size_t moduleAllocationsOnChange(std::int32_t pin) {
    allocationCount = 0;
    countingArmed = true;
    module->gui->dispatcher(module->gui, gui_op::kPinChanged, pin, 0, nullptr, 0.0f);
    countingArmed = false;
    return allocationCount;
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
