// The reference host as the fuzzers and the validator use it: it reads no
// further than a module's buffer, names every breach of the interface, stops
// reports that would nest without end, and its glide checker tells a glide
// that ends right from one that does not.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/gui_module_base.h"
#include "host/glide_checker.h"
#include "ramp/ramp_float.h"
#include "tests/support/host_fixture.h"

namespace zav {
namespace {

// A module whose pin-change handler runs whatever the test gives it.
class Scripted : public GuiModuleBase {
public:
  using Script = std::function<void(Scripted&, std::int32_t pin)>;
  Scripted(Script onChange) : GuiModuleBase(&host::ReferenceHost::callback, 0), script(onChange) {}

protected:
  void onPinChange(GuiPin event) override { script(*this, event.index); }

private:
  Script script;
};

class HostileHostTest : public test::HostFixture {
protected:
  void adoptScripted(Scripted::Script script) {
    auto* object = new Scripted(std::move(script));
    module = &host.adopt(object->record(), {PinDataType::Int, PinDataType::Int, PinDataType::Float,
                                            PinDataType::Float, PinDataType::List});
  }
  std::string faults() {
    std::string all;
    for (const std::string& fault : host.protocolFaults()) {
      all += fault + "\n";
    }
    return all;
  }
};

TEST_F(HostileHostTest, ReadsAListTextNoFurtherThanItsBuffer) {
  adoptScripted([](Scripted& self, std::int32_t) {
    // A whole buffer of text and no terminator, as a module that overran its
    // own list buffer would hand it over.
    std::vector<char> buffer(kListTextCapacity, 'x');
    self.callHost(gui_host_op::kSetPinListText, 2, kListTextCapacity, buffer.data());
  });
  host.setInt(*module, 2, 1);
  EXPECT_EQ(pinCell(2).listText.size(), static_cast<std::size_t>(kListTextCapacity));
  EXPECT_NE(faults().find("not terminated within its 1000-byte buffer"), std::string::npos)
      << faults();
}

TEST_F(HostileHostTest, NamesPinsTheModuleDoesNotHaveAndNullTexts) {
  adoptScripted([](Scripted& self, std::int32_t) {
    self.setInt(7, 1);
    self.getInt(-1);
    self.callHost(gui_host_op::kSetPinText, 2, 0, nullptr);
  });
  host.setInt(*module, 2, 1);
  EXPECT_EQ(host.strayPinAccesses(), 2);
  EXPECT_NE(faults().find("host operation 15 on pin 7"), std::string::npos) << faults();
  EXPECT_NE(faults().find("host operation 14 on pin -1"), std::string::npos) << faults();
  EXPECT_NE(faults().find("null text"), std::string::npos) << faults();
}

TEST_F(HostileHostTest, StopsReportsThatWouldNestWithoutEnd) {
  int handled = 0;
  // No busy flag: every write reported back is handled and writes again.
  adoptScripted([&](Scripted& self, std::int32_t pin) {
    ++handled;
    self.setInt(pin, handled);
  });
  host.options.reportWritesBack = true;
  host.setInt(*module, 2, 1);
  EXPECT_EQ(handled, host.options.maxReportDepth);
  EXPECT_NE(faults().find("nested 8 deep"), std::string::npos) << faults();
}

TEST_F(HostileHostTest, ClosesAModuleInsideItsCallAndServesItUntilTheCallReturns) {
  int destroyedAt = -1;
  int step = 0;
  struct Closing final : Scripted {
    Closing(Script script, int& destroyedAt, int& step)
        : Scripted(std::move(script)), destroyedAt(destroyedAt), step(step) {}
    ~Closing() override { destroyedAt = step; }
    int& destroyedAt;
    int& step;
  };
  auto* object = new Closing(
      [&](Scripted& self, std::int32_t) {
        step = 1;
        self.setInt(0, 5); // the host closes the module here
        step = 2;
        self.setInt(1, 6); // and still serves it
        step = 3;
      },
      destroyedAt, step);
  module = &host.adopt(object->record(), {PinDataType::Int, PinDataType::Int, PinDataType::Float,
                                          PinDataType::Float, PinDataType::List});
  host.options.closeInsideNextCall = true;
  host.setInt(*module, 2, 1);
  EXPECT_EQ(destroyedAt, 3) << "destroyed only once its operation returned";
  EXPECT_TRUE(module->closed);
  EXPECT_EQ(pinCell(1).asInt(), 6);
  host.setInt(*module, 2, 2); // sends nothing to a closed module
  host.reapClosed();
  EXPECT_TRUE(host.instances().empty());
  module = nullptr;
}

class GlideCheckerTest : public test::RampFixture<RampFloat> {
protected:
  host::GlideChecker checker{host, 0};
};

TEST_F(GlideCheckerTest, AGlideThatEndsRightPasses) {
  host.initialise(*module, false);
  const std::int64_t start = test::moduleClock().nowMs();
  host.setFloat(*module, 2, 10.0f);
  EXPECT_TRUE(checker.gliding(*module));
  tickAt(start, 500);
  tickAt(start, 1001);
  EXPECT_FALSE(checker.gliding(*module));
  EXPECT_EQ(checker.finishedGlides(), 1);
  EXPECT_EQ(checker.predictedFinishes(), 1);
  EXPECT_TRUE(checker.faults().empty()) << checker.faults().front();
}

TEST_F(GlideCheckerTest, APassDuringAGlideBecomesItsTarget) {
  host.initialise(*module, false);
  host.setInt(*module, 4, 1); // left glides, right passes
  const std::int64_t start = test::moduleClock().nowMs();
  host.setFloat(*module, 2, 10.0f);
  tickAt(start, 100);
  host.setFloat(*module, 3, -4.0f);
  tickAt(start, 1001);
  EXPECT_EQ(pinCell(2).asFloat(), -4.0f);
  EXPECT_EQ(checker.predictedFinishes(), 1);
  EXPECT_TRUE(checker.faults().empty()) << checker.faults().front();
}

// A fake ramp: starts a glide like the real ones (the Morph Time read from
// pin 1 and written to the Ticker) and ends it as the test says.
void startOrFinish(Scripted& self, std::int32_t pin, bool zeroTheTicker, float ends) {
  if (pin == 2) {
    self.setInt(0, self.getInt(1));
  } else if (pin == 0) {
    self.setFloat(3, ends);
    self.setFloat(2, ends);
    if (zeroTheTicker) {
      self.setInt(0, 0);
    }
  }
}

TEST_F(HostileHostTest, GlideCheckerCatchesALateTickThatDoesNotFinish) {
  host::GlideChecker checker(host, 0);
  adoptScripted([](Scripted& self, std::int32_t pin) { startOrFinish(self, pin, false, 5.0f); });
  pinCell(1).setInt(100);
  const std::int64_t start = test::moduleClock().nowMs();
  host.setFloat(*module, 2, 5.0f);
  tickAt(start, 100); // not yet past the Morph Time: nothing expected
  EXPECT_TRUE(checker.faults().empty());
  tickAt(start, 101);
  ASSERT_EQ(checker.faults().size(), 1u);
  EXPECT_NE(checker.faults()[0].find("did not finish it"), std::string::npos)
      << checker.faults()[0];
}

TEST_F(HostileHostTest, GlideCheckerCatchesAFinishOffTheTarget) {
  host::GlideChecker checker(host, 0);
  adoptScripted([](Scripted& self, std::int32_t pin) { startOrFinish(self, pin, true, 4.0f); });
  pinCell(1).setInt(100);
  const std::int64_t start = test::moduleClock().nowMs();
  host.setFloat(*module, 2, 5.0f);
  tickAt(start, 101);
  ASSERT_EQ(checker.faults().size(), 1u);
  EXPECT_NE(checker.faults()[0].find("toward 5 left pin 3 at 4"), std::string::npos)
      << checker.faults()[0];
}

} // namespace
} // namespace zav
