// The process clock of module objects linked into unit tests.
#include "framework/process_clock.h"
#include "tests/support/test_clock.h"

std::int32_t zav::processClockMs() noexcept {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(test::moduleClock().nowMs()));
}
