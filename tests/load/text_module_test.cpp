// zav_ramp_gt.sem loaded as a host loads it: texts glide position by position
// through the character codes, and the finish writes the exact target text.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "tests/support/host_fixture.h"
#include "tests/support/reference_glide.h"

namespace zav {
namespace {

using test::referenceProgress;

constexpr std::int32_t kTicker = 0;
constexpr std::int32_t kMorphTime = 1;
constexpr std::int32_t kLeft = 2;
constexpr std::int32_t kRight = 3;
constexpr std::int32_t kPassingMode = 4;

constexpr std::int32_t kRightRampsLeftPasses = 3;

// A pin write as the host saw it: the text of a text write (operation 6), the
// decimal value of an int write (operation 15).
struct Write {
  std::int32_t pin;
  std::string value;
  bool operator==(const Write&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Write& write) {
  return out << "pin " << write.pin << " = '" << write.value << "'";
}

std::vector<Write> writesIn(const std::vector<host::HostCall>& calls) {
  std::vector<Write> writes;
  for (const host::HostCall& call : calls) {
    if (call.operation == gui_host_op::kSetPinText) {
      writes.push_back({call.a, call.text});
    } else if (call.operation == gui_host_op::kSetPinValue) {
      writes.push_back({call.a, std::to_string(call.b)});
    }
  }
  return writes;
}

std::vector<Write> finishWrites(std::int32_t destination, std::int32_t source,
                                const std::string& target) {
  return {{destination, target}, {source, target}, {kTicker, "0"}};
}

// The intermediate text for a progress, from the stated arithmetic: each byte
// is a signed 8-bit code, the shorter text is filled up with 31, the offset is
// difference × progress held in single precision and rounded to the nearest
// integer with halves going up, the code is the low 8 bits of start + offset,
// and codes below 32 are left out.
std::string referenceText(const std::string& start, const std::string& target, float progress) {
  auto codeAt = [](const std::string& text, std::size_t i) {
    return i < text.size() ? static_cast<int>(static_cast<signed char>(text[i])) : 31;
  };
  std::string text;
  for (std::size_t i = 0; i < std::max(start.size(), target.size()); ++i) {
    const int from = codeAt(start, i);
    const float scaled = static_cast<float>((codeAt(target, i) - from) * double{progress});
    const auto offset = static_cast<long long>(std::nearbyint(double{scaled} + 0x3p-25));
    int code = static_cast<int>((from + offset) & 0xFF);
    code = code >= 128 ? code - 256 : code;
    if (code >= 32) {
      text.push_back(static_cast<char>(code));
    }
  }
  return text;
}

// A Morph Time and a tick time for a progress: a tick of a 120 ms glide whose
// progress is exactly the one asked for, where there is one (0, 0.25, 0.5 and
// 1 all have one: the halves that decide a rounding need the exact value),
// else the first tick of a 1000 ms glide to reach it.
struct GlideTiming {
  std::int32_t morphTimeMs;
  std::int32_t tickMs;
};

GlideTiming timingFor(float progress) {
  for (std::int32_t tick = 0; tick <= 120; ++tick) {
    if (referenceProgress(tick, 120) == progress) {
      return {120, tick};
    }
  }
  std::int32_t tick = 0;
  while (tick < 1000 && referenceProgress(tick, 1000) < progress) {
    ++tick;
  }
  return {1000, tick};
}

class TextLibraryTest : public test::LoadedFixture {
protected:
  void SetUp() override { load("zav_ramp_gt.sem"); }

  const std::string& text(std::int32_t pin) { return pinCell(pin).text; }

  // A loaded module in `mode`, gliding over `morphTimeMs`, whose two sides
  // both show `shown`, its target; the call log empty.
  void loadShowing(const std::string& shown, std::int32_t morphTimeMs = 1000,
                   std::int32_t mode = 0) {
    pinCell(kPassingMode).setInt(mode);
    pinCell(kMorphTime).setInt(morphTimeMs);
    pinCell(kLeft).text = shown;
    pinCell(kRight).text = shown;
    host.initialise(*module, true);
    takeCalls();
  }

  // Changes pin 2's text and returns the time of the change.
  std::int64_t changeLeft(const std::string& text) {
    const std::int64_t now = test::moduleClock().nowMs();
    host.setText(*module, kLeft, text);
    return now;
  }
};

TEST_F(TextLibraryTest, NewModuleShowsEmptyTextsNotTheDeclaredDefault) {
  EXPECT_EQ(text(kLeft), "0"); // the host took the declared default
  host.initialise(*module, false);
  const std::vector<host::HostCall> calls = takeCalls();
  EXPECT_EQ(writesIn(calls), (std::vector<Write>{{kTicker, "0"},
                                                 {kMorphTime, "1000"},
                                                 {kLeft, ""},
                                                 {kRight, ""},
                                                 {kPassingMode, "0"},
                                                 {kRight, ""}}));
  for (const host::HostCall& call : calls) {
    EXPECT_FALSE(call.hadNullPointer) << "operation " << call.operation;
  }
  EXPECT_EQ(text(kLeft), "");
  EXPECT_EQ(text(kRight), "");
}

TEST_F(TextLibraryTest, LoadedModuleCopiesTheDrivingSidesTextAndTakesItAsTheTarget) {
  pinCell(kPassingMode).setInt(kRightRampsLeftPasses);
  pinCell(kLeft).text = "left";
  pinCell(kRight).text = "right\tside";
  host.initialise(*module, true);
  EXPECT_EQ(writesIn(takeCalls()), (std::vector<Write>{{kLeft, "right\tside"}}));
  host.setText(*module, kRight, "right\tside"); // the target: not new
  EXPECT_TRUE(writesIn(takeCalls()).empty());
}

TEST_F(TextLibraryTest, TickStepsWriteTheStatedIntermediateTextsAndTheFinishTheExactTarget) {
  struct Case {
    const char* start;
    const char* target;
    float progress;
    const char* expected;
  };
  const Case cases[] = {
      {"a", "z", 0.25f, "g"},            // 6.25: offset 6
      {"a", "z", 0.5f, "n"},             // 12.5: offset 13
      {"z", "a", 0.5f, "n"},             // −12.5: offset −12
      {"cat", "dog", 0.5f, "dhn"},       //
      {"Hello", "World", 0.5f, "Pjolj"}, //
      {"ab", "abcd", 0.0f, "ab"},        // the filler code 31 is not shown
      {"ab", "abcd", 0.01f, "ab  "},     // grown to the space
      {"ab", "abcd", 0.5f, "abAB"},      // 31 + 34 and 31 + 35
      {"abcd", "ab", 0.5f, "abAB"},      // 99 − 34 and 100 − 34
      {"abcd", "ab", 0.99f, "ab  "},     // fallen to the space
      {"abcd", "ab", 0.995f, "ab"},      // gone only at the very end
      {"AB", "", 0.5f, "01"},            //
      {"", "xyz", 0.002f, ""},           //
      {"", "xyz", 0.01f, "   "},         //
      {"\xE9", "a", 0.45f, ""},          // −23 + 54: still below the space
      {"\xE9", "a", 0.455f, " "},        // −23 + 55
      {"a\tb", "a\tb\xFF", 0.5f, "ab"},  // control and high bytes never shown
      {"a\tb\xFF", "\n", 1.0f, ""},      // progress 1 is not the finish
  };
  for (const Case& c : cases) {
    const GlideTiming timing = timingFor(c.progress);
    SCOPED_TRACE(::testing::Message()
                 << "'" << c.start << "' to '" << c.target << "' at " << c.progress << ": "
                 << timing.tickMs << " of " << timing.morphTimeMs << " ms, progress "
                 << referenceProgress(timing.tickMs, timing.morphTimeMs));
    loadShowing(c.start, timing.morphTimeMs);
    const std::int64_t start = changeLeft(c.target);
    EXPECT_EQ(writesIn(takeCalls()),
              (std::vector<Write>{{kTicker, std::to_string(timing.morphTimeMs)}}));
    tickAt(start, timing.tickMs);
    EXPECT_EQ(writesIn(takeCalls()), (std::vector<Write>{{kRight, c.expected}}));
    tickAt(start, timing.morphTimeMs + 1);
    EXPECT_EQ(writesIn(takeCalls()), finishWrites(kRight, kLeft, c.target));
  }
}

TEST_F(TextLibraryTest, EveryTickStepFollowsTheArithmetic) {
  struct Pair {
    std::string start, target;
  };
  const Pair pairs[] = {{"\xE9", "a"},
                        {"Hello", "World"},
                        {"", "xyz"},
                        {"a\tb\n\xFF\x80~", "~\x7F\x01 z"},
                        {std::string(300, 'q'), "short"}};
  for (const Pair& pair : pairs) {
    SCOPED_TRACE("'" + pair.start + "' to '" + pair.target + "'");
    loadShowing(pair.start);
    const std::int64_t start = changeLeft(pair.target);
    for (std::int32_t ms = 0; ms <= 1000; ++ms) {
      tickAt(start, ms);
      ASSERT_EQ(text(kRight), referenceText(pair.start, pair.target, referenceProgress(ms, 1000)))
          << ms << " ms";
    }
    tickAt(start, 1001);
    EXPECT_EQ(text(kRight), pair.target);
    EXPECT_EQ(text(kLeft), pair.target);
  }
}

TEST_F(TextLibraryTest, HighByteCountsUpThroughEveryPrintableCodeToItsTarget) {
  loadShowing("\xE9");
  const std::int64_t start = changeLeft("a");
  std::vector<std::string> shown{""};
  for (std::int32_t ms = 0; ms <= 1001; ++ms) {
    tickAt(start, ms);
    if (text(kRight) != shown.back()) {
      shown.push_back(text(kRight));
    }
  }
  // Nothing until the code reaches the space, then each code from 32 to 'a' in turn.
  std::vector<std::string> expected{""};
  for (char code = ' '; code <= 'a'; ++code) {
    expected.emplace_back(1, code);
  }
  EXPECT_EQ(shown, expected);
  EXPECT_FALSE(module->tickerRunning);
}

TEST_F(TextLibraryTest, BothTextsEmptyGlideWritesTheEmptyTextThroughout) {
  loadShowing("x");
  // The destination is emptied from outside (mode 0 ignores it), then the
  // source changes from the target "x" to the empty text.
  host.setText(*module, kRight, "");
  const std::int64_t start = changeLeft("");
  tickAt(start, 300);
  tickAt(start, 1001);
  EXPECT_EQ(writesIn(takeCalls()),
            (std::vector<Write>{
                {kTicker, "1000"}, {kRight, ""}, {kRight, ""}, {kLeft, ""}, {kTicker, "0"}}));
}

TEST_F(TextLibraryTest, SameTextAgainDoesNothingWhetherIdleOrGliding) {
  loadShowing("");
  std::int64_t start = changeLeft("abc");
  tickAt(start, 1001);
  takeCalls();
  host.setText(*module, kLeft, "abc");
  const std::vector<host::HostCall> calls = takeCalls();
  ASSERT_EQ(calls.size(), 1u); // one read, no write
  EXPECT_EQ(calls[0].operation, gui_host_op::kGetPinText);

  start = changeLeft("xyz");
  takeCalls();
  host.setText(*module, kLeft, "xyz");
  EXPECT_TRUE(writesIn(takeCalls()).empty());
  tickAt(start, 500); // the glide runs on
  EXPECT_EQ(
      writesIn(takeCalls()),
      (std::vector<Write>{{kRight, referenceText("abc", "xyz", referenceProgress(500, 1000))}}));
}

TEST_F(TextLibraryTest, NewTextMidGlideStartsOverFromTheTextTheDestinationShows) {
  loadShowing("aaaa", 120);
  std::int64_t start = changeLeft("zzzz");
  tickAt(start, timingFor(0.5f).tickMs);
  ASSERT_EQ(text(kRight), "nnnn");
  takeCalls();

  start = test::moduleClock().nowMs();
  host.setText(*module, kLeft, "abc");
  EXPECT_EQ(writesIn(takeCalls()), (std::vector<Write>{{kTicker, "120"}}));
  // From 'nnnn' (110 each) at progress 0.25: −3.25, −3, −2.75 and, toward the
  // filler, −19.75: 'k', 'k', 'k' and 90.
  tickAt(start, timingFor(0.25f).tickMs);
  EXPECT_EQ(text(kRight), "kkkZ");
  tickAt(start, 121);
  EXPECT_EQ(
      writesIn(takeCalls()),
      (std::vector<Write>{{kRight, "kkkZ"}, {kRight, "abc"}, {kLeft, "abc"}, {kTicker, "0"}}));
}

TEST_F(TextLibraryTest, PassThroughDuringAGlideLeavesItsCodesAndTimeAlone) {
  loadShowing("", 120, kRightRampsLeftPasses);
  const std::int64_t start = test::moduleClock().nowMs();
  host.setText(*module, kRight, "zz"); // glides pin 2 from the empty text
  tickAt(start, timingFor(0.5f).tickMs);
  EXPECT_EQ(text(kLeft), "MM"); // 31 + 45.5 rounded up: 77
  takeCalls();

  host.setText(*module, kLeft, "pass");
  EXPECT_EQ(writesIn(takeCalls()), (std::vector<Write>{{kRight, "pass"}}));

  // Later steps still glide the old codes; the finish writes the passed text.
  tickAt(start, 90);
  EXPECT_EQ(writesIn(takeCalls()),
            (std::vector<Write>{{kLeft, referenceText("", "zz", referenceProgress(90, 120))}}));
  tickAt(start, 121);
  EXPECT_EQ(writesIn(takeCalls()), finishWrites(kLeft, kRight, "pass"));
  host.setText(*module, kLeft, "pass"); // the passed text is the target now
  EXPECT_TRUE(writesIn(takeCalls()).empty());
}

TEST_F(TextLibraryTest, TextsOfTensOfKilobytesGlideWhole) {
  std::string start(40000, 'a');
  std::string target;
  for (std::size_t i = 0; i < 40000; ++i) {
    target.push_back(static_cast<char>(1 + i % 255)); // every byte but the terminator
  }
  loadShowing(start, 120);
  const std::int64_t startMs = changeLeft(target);
  const GlideTiming half = timingFor(0.5f);
  tickAt(startMs, half.tickMs);
  EXPECT_EQ(text(kRight), referenceText(start, target, 0.5f));
  tickAt(startMs, 121);
  EXPECT_EQ(text(kRight), target);
  EXPECT_EQ(text(kLeft), target);
}

TEST_F(TextLibraryTest, GlidesOnTheHostsTickerWithItsOwnWritesReportedBack) {
  host.options.reportWritesBack = true;
  host.options.tickPeriodMs = 100;
  loadShowing("Hello");
  const std::int64_t start = changeLeft("World");
  ASSERT_TRUE(module->tickerRunning);
  for (std::int32_t ms = 100; ms <= 1000; ms += 100) {
    test::moduleClock().set(start + ms);
    ASSERT_TRUE(host.serviceTickers()) << ms;
    EXPECT_EQ(text(kRight), referenceText("Hello", "World", referenceProgress(ms, 1000))) << ms;
  }
  test::moduleClock().set(start + 1100); // the first tick after the Morph Time finishes
  EXPECT_FALSE(host.serviceTickers());
  EXPECT_EQ(text(kRight), "World");
  EXPECT_EQ(text(kLeft), "World");
  EXPECT_EQ(pinCell(kTicker).asInt(), 0);
}

} // namespace
} // namespace zav
