// A ramp module object linked into the test, in the reference host, on the
// test's clock.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/reference_host.h"
#include "ramp/ramp_module.h"
#include "tests/support/test_clock.h"

namespace zav::test {

template <class Kind> class RampFixture : public ::testing::Test {
protected:
  RampFixture() {
    moduleClock().set(5000);
    auto *object = new Kind(&host::ReferenceHost::callback, 0);
    module = &host.adopt(object->record(), {PinDataType::Int, PinDataType::Int, Kind::kValueType,
                                            Kind::kValueType, PinDataType::List});
  }

  host::PinCell &pinCell(std::int32_t index) {
    return module->pins.at(static_cast<std::size_t>(index));
  }
  // Moves the clock to `ms` after `startMs` and lets the ticker change pin 0.
  void tickAt(std::int64_t startMs, std::int64_t ms) {
    moduleClock().set(startMs + ms);
    host.tick(*module);
  }
  // The host calls logged since the last call of this function.
  std::vector<host::HostCall> takeCalls() {
    std::vector<host::HostCall> taken;
    taken.swap(host.calls());
    return taken;
  }

  host::ReferenceHost host{moduleClock()};
  host::Instance *module = nullptr;
};

} // namespace zav::test
