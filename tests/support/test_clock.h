// The clock that unit tests move by hand. Both the module objects linked into
// the test (their process clock) and the reference host's ticker read it.
#pragma once

#include "host/clocks.h"

namespace zav::test {

host::VirtualClock& moduleClock();

} // namespace zav::test
