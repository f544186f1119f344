#include "tests/support/test_clock.h"

zav::host::VirtualClock& zav::test::moduleClock() {
  static host::VirtualClock clock;
  return clock;
}
