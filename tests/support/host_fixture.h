// The reference host on the test's clock, holding one module instance.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "host/module_library.h"
#include "host/reference_host.h"
#include "tests/support/test_clock.h"

namespace zav::test {

class HostFixture : public ::testing::Test {
protected:
  HostFixture() { moduleClock().set(5000); }

  host::PinCell& pinCell(std::int32_t index) {
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
  host::Instance* module = nullptr;
};

// A module object linked into the test.
template <class Kind> class RampFixture : public HostFixture {
protected:
  RampFixture() {
    auto* object = new Kind(&host::ReferenceHost::callback, 0);
    module = &host.adopt(object->record(), {PinDataType::Int, PinDataType::Int, Kind::kValueType,
                                            Kind::kValueType, PinDataType::List});
  }
};

// The path of a built module library, e.g. modulePath("zav_ramp_gf.sem").
std::string modulePath(const std::string& fileName);

// Opens a built module library with its process clock on the test's clock.
std::unique_ptr<host::ModuleLibrary> openModule(const std::string& fileName);

// One instance of a built module library, made through its exports.
class LoadedFixture : public HostFixture {
protected:
  void load(const std::string& fileName) {
    library = openModule(fileName);
    ASSERT_NE(library, nullptr) << fileName;
    module = host.create(*library);
    ASSERT_NE(module, nullptr);
  }
  ~LoadedFixture() override {
    while (!host.instances().empty()) {
      host.destroy(*host.instances().back());
    }
  }

  std::unique_ptr<host::ModuleLibrary> library;
};

} // namespace zav::test
