// The Text kind's arithmetic where only the progress matters (roundings at the
// half, the 8-bit wrap of a progress beyond 0..1), and a host that answers a
// text read with a null pointer.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "ramp/ramp_text.h"
#include "tests/support/host_fixture.h"

namespace zav {
namespace {

// Set by a test: the host then answers every text read with a null pointer.
bool answerNullTexts = false;

std::intptr_t nullTextHost(void* record, std::int32_t operation, std::int32_t a, std::int32_t b,
                           void* c, float d) {
  if (answerNullTexts && operation == gui_host_op::kGetPinText) {
    return 0;
  }
  return host::ReferenceHost::callback(record, operation, a, b, c, d);
}

class RampTextTest : public test::HostFixture {
protected:
  RampTextTest() : ramp(new RampText(&nullTextHost, 0)) {
    module = &host.adopt(ramp->record(), {PinDataType::Int, PinDataType::Int, PinDataType::Text,
                                          PinDataType::Text, PinDataType::List});
  }
  ~RampTextTest() override { answerNullTexts = false; }

  // A loaded module in mode 0 whose sides both show `start`, then a glide from
  // there to `target`.
  void glide(const std::string& start, const std::string& target) {
    pinCell(pin::kMorphTime).setInt(1000);
    pinCell(pin::kLeft).text = start;
    pinCell(pin::kRight).text = start;
    host.initialise(*module, true);
    host.setText(*module, pin::kLeft, target);
    ASSERT_TRUE(module->tickerRunning);
  }

  // For each glide, the text buildText makes for one progress.
  struct Built {
    const char* start;
    const char* target;
    float progress;
    const char* expected;
  };
  void expectBuilt(std::initializer_list<Built> cases) {
    for (const Built& c : cases) {
      SCOPED_TRACE(::testing::Message() << "'" << c.start << "' to '" << c.target << "' at "
                                        << ::testing::PrintToString(c.progress));
      glide(c.start, c.target);
      std::string text = "left over";
      ramp->buildText(c.progress, text);
      EXPECT_EQ(text, c.expected);
    }
  }

  RampText* ramp; // owned by the host, which closes it
};

TEST_F(RampTextTest, OffsetsRoundToTheNearestWithAnExactHalfGoingUp) {
  expectBuilt({
      {"a", "f", 0.5f, "d"},        // 2.5 gives 3, not the even 2
      {"c", "a", 0.75f, "b"},       // −1.5 gives −1, not the even −2
      {"a", "b", 0.49999997f, "b"}, // just below a half, nudged across it
      {"a", "b", 0.49999994f, "b"}, //
      {"a", "b", 0.49999991f, "a"}, // nudged onto the half exactly: ties to even, 0
      {"b", "a", 0.50000006f, "b"}, // −0.50000006 gives 0
      {"b", "a", 0.50000012f, "a"}, // −0.50000012 gives −1
      {"ab", "ba", 0.5f, "bb"},     // 0.5 up, −0.5 up
  });
}

TEST_F(RampTextTest, CodesWrapAtEightBitsForAProgressBeyondTheGlide) {
  expectBuilt({
      {"a", "z", -1.0f, "H"},    // 97 − 25
      {"x", "\x7F", 30.0f, "J"}, // 120 + 210 = 330, low 8 bits 74
      {"A", "\x80", 1.2f, "Y"},  // 65 − 232 = −167, low 8 bits 89
      {"A", "\x80", 1.0f, ""},   // −128: not shown
      {"A", "\x80", 0.0f, "A"},  //
  });
}

TEST_F(RampTextTest, NullTextFromTheHostIsTheEmptyText) {
  glide("abc", "abc!");
  answerNullTexts = true;
  const std::int64_t start = test::moduleClock().nowMs();
  host.setText(*module, pin::kLeft, "unseen"); // read as the empty text: new
  host.calls().clear();
  tickAt(start, 500);
  tickAt(start, 1001);
  std::vector<std::pair<std::int32_t, std::string>> written;
  for (const host::HostCall& call : host.calls()) {
    if (call.operation == gui_host_op::kSetPinText) {
      EXPECT_FALSE(call.hadNullPointer);
      written.emplace_back(call.a, call.text);
    }
  }
  // Both texts read as empty: an empty glide, and the finish writes the empty text.
  EXPECT_EQ(written, (std::vector<std::pair<std::int32_t, std::string>>{
                         {pin::kRight, ""}, {pin::kRight, ""}, {pin::kLeft, ""}}));
  EXPECT_FALSE(module->tickerRunning);
}

} // namespace
} // namespace zav
