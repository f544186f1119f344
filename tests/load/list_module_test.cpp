// zav_ramp_gl.sem loaded as a host loads it: the items it parses from its list
// text, its glides over list positions, the list refresh and clear, and list
// texts that a careless host hands it.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "tests/support/host_fixture.h"
#include "tests/support/reference_glide.h"

namespace zav {
namespace {

constexpr std::int32_t kTicker = 0;
constexpr std::int32_t kMorphTime = 1;
constexpr std::int32_t kLeft = 2;
constexpr std::int32_t kRight = 3;
constexpr std::int32_t kPassingMode = 4;

// The narrow list text is UTF-8 off Windows only; the reference host widens
// what the module writes back as UTF-8.
#ifdef _WIN32
constexpr bool kNarrowIsUtf8 = false;
#else
constexpr bool kNarrowIsUtf8 = true;
#endif

// A pin value write (host operation 15) as the host saw it.
struct Write {
  std::int32_t pin;
  std::int32_t value;
  bool operator==(const Write&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Write& write) {
  return out << "pin " << write.pin << " = " << write.value;
}

std::vector<Write> writesIn(const std::vector<host::HostCall>& calls) {
  std::vector<Write> writes;
  for (const host::HostCall& call : calls) {
    if (call.operation == gui_host_op::kSetPinValue) {
      writes.push_back({call.a, call.b});
    }
  }
  return writes;
}

// The list position a tick step `elapsedMs` into a glide from position `from`
// to position `to` names: from + (to − from) × progress held in single
// precision, 3 × 2^−25 added in double precision, rounded to nearest with ties
// to even.
std::int32_t referencePosition(std::int32_t from, std::int32_t to, std::int32_t elapsedMs) {
  const auto position = static_cast<float>(from + static_cast<double>(to - from) *
                                                      test::referenceProgress(elapsedMs, 1000));
  return static_cast<std::int32_t>(std::nearbyint(static_cast<double>(position) + 0x3p-25));
}

// A list text of `count` items with default numbering (0 to count − 1).
std::u16string defaultNumbered(int count) {
  std::u16string text = u"i0";
  for (int i = 1; i < count; ++i) {
    text += u",i";
  }
  return text;
}

class ListLibraryTest : public test::LoadedFixture {
protected:
  void SetUp() override { load("zav_ramp_gl.sem"); }

  // A new module whose pin 3 offers `listText`, in `mode`, the call log empty.
  void startNew(const std::u16string& listText, std::int32_t mode = 0) {
    host.setListText(*module, kRight, listText);
    host.initialise(*module, false);
    host.setInt(*module, kPassingMode, mode);
    takeCalls();
    glideStart = test::moduleClock().nowMs();
  }
  // A pin's value changed by the host without a report to the module.
  void place(std::int32_t pin, std::int32_t value) { pinCell(pin).setInt(value); }
  std::int32_t value(std::int32_t pin) { return pinCell(pin).asInt(); }
  std::u16string listText(std::int32_t pin) { return pinCell(pin).listText; }
  std::vector<Write> writes() { return writesIn(takeCalls()); }
  void tick(std::int64_t ms) { tickAt(glideStart, ms); }

  // The values of the items `listText` names, in list order, as the steps of a
  // glide show them: a glide from position 0 to 99 of a default-numbered list,
  // after which a refresh puts `listText` on pin 3; the glide walks on against
  // the new list and names its positions one by one (those past its end count
  // as its last).
  std::vector<std::int32_t> walkItems(const std::u16string& text, std::size_t count) {
    startNew(defaultNumbered(100));
    host.setInt(*module, kLeft, 99);
    host.setListText(*module, kRight, text);
    host.sendGui(*module, gui_op::kRefreshList, kRight);
    std::vector<std::int32_t> seen;
    for (std::size_t position = 0; position < count; ++position) {
      // 99 × progress lies within 0.05 of `position` here.
      tick(std::lround(static_cast<double>(position) * 1000.0 / 99));
      seen.push_back(value(kRight));
    }
    return seen;
  }

  std::int64_t glideStart = 0;
};

TEST_F(ListLibraryTest, NewModuleWithoutAListShowsNoListOnBothPins) {
  host.initialise(*module, false);
  const std::vector<host::HostCall> calls = takeCalls();
  struct Call {
    std::int32_t operation, pin;
  };
  const Call expected[] = {{15, 0}, {15, 1}, {15, 2}, {15, 3}, {15, 4}, {14, 4}, {17, 3},
                           {16, 3}, {16, 2}, {17, 3}, {14, 2}, {15, 3}, {14, 1}};
  ASSERT_EQ(calls.size(), std::size(expected));
  for (std::size_t i = 0; i < calls.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(calls[i].operation, expected[i].operation);
    EXPECT_EQ(calls[i].a, expected[i].pin);
    if (calls[i].operation == 16 || calls[i].operation == 17) {
      EXPECT_EQ(calls[i].b, 1000);
      EXPECT_FALSE(calls[i].hadNullPointer);
    }
    if (calls[i].operation == 16) {
      EXPECT_EQ(calls[i].text, "<No List>");
    }
  }
  EXPECT_EQ(writesIn(calls),
            (std::vector<Write>{{0, 0}, {1, 1000}, {2, 0}, {3, 0}, {4, 0}, {3, 0}}));
  EXPECT_EQ(listText(kRight), u"<No List>");
  EXPECT_EQ(listText(kLeft), u"<No List>");
  EXPECT_FALSE(module->tickerRunning);
}

TEST_F(ListLibraryTest, InitialiseCopiesPinThreesListToPinTwoAndParsesItAfresh) {
  host.setListText(*module, kRight, u"Off,Low,High");
  host.initialise(*module, false);
  std::vector<std::string> listWrites;
  std::vector<std::int32_t> listReads;
  for (const host::HostCall& call : takeCalls()) {
    if (call.operation == 16) {
      listWrites.push_back(std::to_string(call.a) + " " + call.text);
    } else if (call.operation == 17) {
      listReads.push_back(call.a);
    }
  }
  EXPECT_EQ(listWrites, std::vector<std::string>{"2 Off,Low,High"});
  EXPECT_EQ(listReads, (std::vector<std::int32_t>{3, 3}));
  EXPECT_EQ(listText(kLeft), u"Off,Low,High");
}

TEST_F(ListLibraryTest, LoadedModuleCopiesTheLow16BitsOfTheDrivingSideSignExtended) {
  struct Case {
    std::int32_t mode, left, right;
    Write copy;
  };
  const Case cases[] = {
      {2, 5, 70000, {kLeft, 4464}},     // 70000 − 65536
      {3, 5, 0x18000, {kLeft, -32768}}, // low 16 bits 0x8000
      {0, 65535, 5, {kRight, -1}},      // 0xFFFF
      {5, -70000, 5, {kRight, -4464}},  // out-of-range modes copy left to right
      {4, 2, 5, {kRight, 2}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    host.setListText(*module, kRight, u"a,b,c");
    place(kPassingMode, c.mode);
    place(kMorphTime, 1000);
    place(kLeft, c.left);
    place(kRight, c.right);
    takeCalls();
    host.initialise(*module, true);
    EXPECT_EQ(writes(), std::vector<Write>{c.copy});
    EXPECT_EQ(value(c.copy.pin), c.copy.value);
  }
}

TEST_F(ListLibraryTest, LoadedModuleIgnoresReportsOfItsOwnListAndValueWrites) {
  // The host reports every write back, the list-text writes included; a
  // loaded module's Initialise holds no busy flag, yet none of them may start
  // a glide.
  host.options.reportWritesBack = true;
  host.setListText(*module, kRight, u"a,b,c,d");
  place(kPassingMode, 4);
  place(kMorphTime, 1000);
  place(kLeft, 3);
  place(kRight, 1);
  host.initialise(*module, true);
  EXPECT_EQ(writes(), (std::vector<Write>{{kRight, 3}}));
  EXPECT_FALSE(module->tickerRunning);
}

struct ParseCase {
  const char* name;
  const char16_t* text;
  std::vector<std::int32_t> values;
};

std::ostream& operator<<(std::ostream& out, const ParseCase& parse) {
  for (const char16_t* unit = parse.text; *unit != 0; ++unit) {
    out << static_cast<char>(*unit < 0x80 ? *unit : '?');
  }
  return out;
}

class ListParseTest : public ListLibraryTest, public ::testing::WithParamInterface<ParseCase> {};

TEST_P(ListParseTest, ItemsTakeTheStatedValuesAndTheGlideEndsOnTheLast) {
  const ParseCase& parse = GetParam();
  EXPECT_EQ(walkItems(parse.text, parse.values.size()), parse.values);
  takeCalls();
  tick(1001); // the glide aimed at position 99: the new list's last item
  EXPECT_EQ(writes(),
            (std::vector<Write>{
                {kRight, parse.values.back()}, {kLeft, parse.values.back()}, {kTicker, 0}}));
}

const ParseCase kParseCases[] = {
    {"DefaultNumbering", u"Off,Low,High", {0, 1, 2}},
    {"ValuesAndRunningNumbers", u"a,b=10,c,d=-1,e", {0, 10, 11, -1, 0}},
    {"EmptyCandidatesAreNoItems", u"a,,b,", {0, 1}},
    {"LeadingComma", u",a", {0}},
    {"EqualsInFirstPlaceIsPartOfTheName", u"=5,b", {0, 1}},
    {"AutomaticBase", u"x=0x10,y=010,z=08", {16, 8, 0}}, // 08 is octal and stops at the 8
    {"SpacesAroundNamesAndValues", u" a , b = 7 ,c", {0, 7, 8}},
    {"SignsPrefixesAndStrayCharacters",
     u"a=0X1f,b=+5,c=-0x10,d=0x,e=abc,f=12xyz",
     {31, 5, -16, 0, 0, 12}},
    // The names end at the first "=": value texts "=5" and "b=6" hold no digits.
    {"SecondEquals", u"a==5,=b=6,c", {0, 0, 1}},
    // The low 16 bits of each number, read as signed.
    {"SixteenBitWrap", u"a=65536,b,c=-32769,d=70000,e=32768", {0, 1, 32767, 4464, -32768}},
    // 4294967297 and −2147483649 clamp to the int32 limits; after 2^31 − 1 the
    // running number wraps to −2^31, whose low 16 bits are 0.
    {"ThirtyTwoBitLimits", u"a=4294967297,b,c=-2147483649,d=2147483646,e,f", {-1, 0, 0, -2, -1, 0}},
    {"CommasOnlyGiveThePlaceholder", u",,,", {0}},
    {"OneItem", u"solo=42", {42}},
};

INSTANTIATE_TEST_SUITE_P(ListTexts, ListParseTest, ::testing::ValuesIn(kParseCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ListLibraryTest, GlideOverFivePositionsSwitchesHalfWayBetweenThem) {
  // Items 10 to 14 at positions 0 to 4.
  struct Direction {
    std::int32_t from, to;
  };
  for (const Direction direction : {Direction{0, 4}, Direction{4, 0}}) {
    SCOPED_TRACE(direction.from);
    startNew(u"a=10,b,c,d,e");
    place(kRight, 10 + direction.from);
    host.setInt(*module, kLeft, 10 + direction.to);
    EXPECT_EQ(writes(), (std::vector<Write>{{kTicker, 1000}}));
    for (std::int32_t ms = 0; ms <= 1000; ++ms) {
      tick(ms);
      ASSERT_EQ(writes(), (std::vector<Write>{
                              {kRight, 10 + referencePosition(direction.from, direction.to, ms)}}))
          << ms << " ms";
    }
    tick(1001);
    EXPECT_EQ(writes(),
              (std::vector<Write>{
                  {kRight, 10 + direction.to}, {kLeft, 10 + direction.to}, {kTicker, 0}}));
    EXPECT_FALSE(module->tickerRunning);
  }
}

TEST_F(ListLibraryTest, SwitchPointsLieAtProgressOneEighthAndThreeEighths) {
  // Progress 0.125 comes at 125 ms, 0.375 at 375 ms (each a few ulps above).
  // Upward, position 1 starts at 0.125 and 2 at 0.375; downward, 3.5 at 0.125
  // still rounds to 4.
  struct Case {
    std::int32_t from, to;
    std::int64_t ms;
    std::int32_t position;
  };
  const Case cases[] = {{0, 4, 124, 0}, {0, 4, 125, 1}, {0, 4, 374, 1}, {0, 4, 375, 2},
                        {4, 0, 124, 4}, {4, 0, 125, 4}, {4, 0, 126, 3}, {4, 0, 375, 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.from << "→" << c.to << " at " << c.ms << " ms");
    startNew(u"a=10,b,c,d,e"); // items 10 to 14
    place(kRight, 10 + c.from);
    host.setInt(*module, kLeft, 10 + c.to);
    tick(c.ms);
    EXPECT_EQ(value(kRight), 10 + c.position);
  }
}

TEST_F(ListLibraryTest, RefreshDuringAGlideEndsItOnTheLastItemOfTheShorterList) {
  startNew(defaultNumbered(6));
  host.setInt(*module, kLeft, 5);
  tick(200);
  host.setListText(*module, kRight, u"x=7,y=8,z=9");
  takeCalls();
  host.sendGui(*module, gui_op::kRefreshList, kRight);
  EXPECT_EQ(writes(), (std::vector<Write>{{kRight, 0}, {kLeft, 0}}));
  EXPECT_EQ(listText(kLeft), u"x=7,y=8,z=9");
  tick(1001);
  EXPECT_EQ(writes(), (std::vector<Write>{{kRight, 9}, {kLeft, 9}, {kTicker, 0}}));
}

TEST_F(ListLibraryTest, RefreshAndClearIgnoreOnlyTheLeftListPin) {
  struct Step {
    std::int32_t operation, pin;
    const char* text; // operation 16 only
  };
  struct Case {
    std::int32_t operation;
    const char16_t* pinThreeText;
    std::vector<Step> steps;
  };
  const Case cases[] = {
      {gui_op::kRefreshList,
       u"p,q",
       {{17, 3, ""}, {16, 2, "p,q"}, {15, 3, ""}, {15, 2, ""}, {17, 3, ""}}},
      {gui_op::kRefreshList,
       u"",
       {{17, 3, ""},
        {16, 3, "<No List>"},
        {16, 2, "<No List>"},
        {15, 3, ""},
        {15, 2, ""},
        {17, 3, ""}}},
      {gui_op::kClearList,
       u"p,q",
       {{16, 2, "<No List>"}, {16, 3, "<No List>"}, {15, 3, ""}, {15, 2, ""}}},
  };
  for (const Case& c : cases) {
    for (const std::int32_t pinIndex : {2, 3, 0, 4, 7, -1}) {
      SCOPED_TRACE(::testing::Message() << "operation " << c.operation << " a " << pinIndex);
      startNew(u"a,b,c");
      host.setListText(*module, kRight, c.pinThreeText);
      place(kLeft, 1);
      place(kRight, 2);
      host.sendGui(*module, c.operation, pinIndex);
      const std::vector<host::HostCall> calls = takeCalls();
      if (pinIndex == kLeft) {
        EXPECT_TRUE(calls.empty());
        continue;
      }
      ASSERT_EQ(calls.size(), c.steps.size());
      for (std::size_t i = 0; i < calls.size(); ++i) {
        EXPECT_EQ(calls[i].operation, c.steps[i].operation) << i;
        EXPECT_EQ(calls[i].a, c.steps[i].pin) << i;
        if (calls[i].operation == 16) {
          EXPECT_EQ(calls[i].text, c.steps[i].text) << i;
        }
        if (calls[i].operation == 15) {
          EXPECT_EQ(calls[i].b, 0) << i;
        }
      }
      EXPECT_EQ(value(kLeft), 0);
      EXPECT_EQ(value(kRight), 0);
    }
  }
}

TEST_F(ListLibraryTest, RefreshAndClearDropReportsOfTheirOwnWrites) {
  host.options.reportWritesBack = true;
  for (const std::int32_t operation : {gui_op::kRefreshList, gui_op::kClearList}) {
    SCOPED_TRACE(operation);
    startNew(u"a,b,c");
    host.setInt(*module, kLeft, 2);
    tick(1001); // arrived at 2 on both pins
    takeCalls();
    // Pins 3 and 2 go to 0, which is not the value held: reported back outside
    // the busy flag, either would start a glide.
    host.sendGui(*module, operation, kRight);
    for (const Write& write : writes()) {
      EXPECT_NE(write.pin, kTicker);
    }
    EXPECT_FALSE(module->tickerRunning);
  }
}

TEST_F(ListLibraryTest, ClearDuringAGlideKeepsTheOldListAndTheGlide) {
  startNew(u"a=10,b=20,c=30,d=40,e=50,f=60");
  place(kRight, 10);
  host.setInt(*module, kLeft, 60);
  tick(200);
  host.sendGui(*module, gui_op::kClearList, kRight);
  EXPECT_EQ(listText(kLeft), u"<No List>");
  EXPECT_EQ(listText(kRight), u"<No List>");
  EXPECT_EQ(value(kLeft), 0);
  EXPECT_EQ(value(kRight), 0);
  takeCalls();
  tick(600); // position 5 × 0.6 = 3 of the old list
  EXPECT_EQ(writes(), (std::vector<Write>{{kRight, 40}}));
  tick(1001);
  EXPECT_EQ(writes(), (std::vector<Write>{{kRight, 60}, {kLeft, 60}, {kTicker, 0}}));
}

TEST_F(ListLibraryTest, DuplicateValuesAreFoundAtTheirFirstItem) {
  // Values 1, 2, 1, 3: the value 1 is found at position 0 only.
  struct Case {
    std::int32_t shown, asked; // the destination's value, the source's new value
    std::int32_t from, to;     // the positions the glide runs between
  };
  const Case cases[] = {
      {1, 3, 0, 3}, // starts on a duplicate: from its first item
      {3, 1, 3, 0}, // heads for a duplicate: to its first item, through the second
  };
  const std::int32_t valueAt[] = {1, 2, 1, 3};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.asked);
    startNew(u"a=1,b=2,c=1,d=3");
    place(kRight, c.shown);
    host.setInt(*module, kLeft, c.asked);
    for (const std::int32_t ms : {0, 333, 667, 1000}) {
      tick(ms);
      EXPECT_EQ(value(kRight), valueAt[referencePosition(c.from, c.to, ms)]) << ms;
    }
    tick(1001);
    EXPECT_EQ(value(kRight), c.asked);
    EXPECT_EQ(value(kLeft), c.asked);
  }
}

TEST_F(ListLibraryTest, ValuesThatAreNoItemCountAsTheFirstItem) {
  struct Case {
    std::int32_t shown, asked;
    std::vector<std::int32_t> steps; // at 0, 500 and 1000 ms
    std::int32_t end;
  };
  const Case cases[] = {
      {6, 9, {6, 5, 5}, 5}, // to position −1: the finish writes the first item to both pins
      {9, 7, {5, 6, 7}, 7}, // from position −1: it starts from the first item
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.asked);
    startNew(u"a=5,b=6,c=7");
    place(kRight, c.shown);
    host.setInt(*module, kLeft, c.asked);
    std::vector<std::int32_t> steps;
    for (const std::int32_t ms : {0, 500, 1000}) {
      tick(ms);
      steps.push_back(value(kRight));
    }
    EXPECT_EQ(steps, c.steps);
    takeCalls();
    tick(1001);
    EXPECT_EQ(writes(), (std::vector<Write>{{kRight, c.end}, {kLeft, c.end}, {kTicker, 0}}));
  }
}

TEST_F(ListLibraryTest, OneItemListWritesItsValueOnEveryStep) {
  startNew(u"solo=42");
  host.setInt(*module, kLeft, 7);
  takeCalls();
  for (const std::int32_t ms : {0, 300, 1000}) {
    tick(ms);
  }
  tick(1001);
  EXPECT_EQ(
      writes(),
      (std::vector<Write>{
          {kRight, 42}, {kRight, 42}, {kRight, 42}, {kRight, 42}, {kLeft, 42}, {kTicker, 0}}));
}

TEST_F(ListLibraryTest, ValueBeyond16BitsFindsTheItemOfItsLow16Bits) {
  // b = 70000 is stored as 4464; c follows as 4465.
  for (const std::int32_t asked : {70000, 4464}) {
    SCOPED_TRACE(asked);
    startNew(u"a,b=70000,c");
    host.setInt(*module, kLeft, asked);
    tick(1001);
    EXPECT_EQ(value(kRight), 4464);
    EXPECT_EQ(value(kLeft), 4464);
    takeCalls();
    host.setInt(*module, kLeft, 4464); // the item arrived at: nothing happens
    EXPECT_EQ(writes(), std::vector<Write>{});
  }
}

TEST_F(ListLibraryTest, IgnoredSidesAndRepeatedPassesDoNothing) {
  struct Case {
    std::int32_t mode, pin, value;
  };
  const Case cases[] = {{2, kLeft, 1}, {0, kRight, 1}, {5, kLeft, 1}, {-1, kRight, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "mode " << c.mode << " pin " << c.pin);
    startNew(u"a,b,c", c.mode);
    host.setInt(*module, c.pin, c.value);
    EXPECT_EQ(writes(), std::vector<Write>{});
  }

  startNew(u"a,b,c", 1); // right passes to left
  host.setInt(*module, kRight, 70000);
  EXPECT_EQ(writes(), (std::vector<Write>{{kLeft, 70000}})); // passed in full
  host.setInt(*module, kRight, 2);
  EXPECT_EQ(writes(), (std::vector<Write>{{kLeft, 2}}));
  host.setInt(*module, kRight, 2);
  const std::vector<host::HostCall> calls = takeCalls();
  ASSERT_EQ(calls.size(), 1u); // one read, no write, the Ticker untouched
  EXPECT_EQ(calls[0].operation, gui_host_op::kGetPinValue);
}

// Values and positions meet where a list's values are not its positions: a
// change to the value the module glides to or has arrived at leaves the glide
// and the pins alone, every other change goes by the passing mode, and a glide
// ends on the item that its last start or pass aimed at.
TEST_F(ListLibraryTest, TheValueGlidedToIsTheTargetItemsValueNotItsPosition) {
  startNew(u"a,b=10,c,d=-1,e"); // d, value −1, at position 3
  host.setInt(*module, kLeft, -1);
  tick(500);
  takeCalls();
  host.setInt(*module, kLeft, -1); // reported again mid-glide
  EXPECT_EQ(writes(), std::vector<Write>{});
  tick(1001);
  EXPECT_EQ(writes(), (std::vector<Write>{{kRight, -1}, {kLeft, -1}, {kTicker, 0}}));
  host.setInt(*module, kLeft, -1); // arrived at
  EXPECT_EQ(writes(), std::vector<Write>{});
  host.setInt(*module, kLeft, 3); // d's position, but no item's value: a new glide
  EXPECT_EQ(writes(), (std::vector<Write>{{kTicker, 1000}}));
}

TEST_F(ListLibraryTest, PassDuringAGlideEndsItOnThePassedItem) {
  startNew(u"a=5,b=7,c=9", 3); // right glides, left passes
  host.setInt(*module, kRight, 9);
  tick(250);
  takeCalls();
  host.setInt(*module, kLeft, 7);
  EXPECT_EQ(writes(), (std::vector<Write>{{kRight, 7}}));
  tick(1001);
  EXPECT_EQ(writes(), (std::vector<Write>{{kLeft, 7}, {kRight, 7}, {kTicker, 0}}));
}

TEST_F(ListLibraryTest, GlideTowardNoItemStillTakesAChangeToAnItemValuedMinusOne) {
  startNew(u"a=5,b=-1");
  host.setInt(*module, kLeft, 9); // no item: the glide heads for the first
  takeCalls();
  host.setInt(*module, kLeft, -1); // item b
  EXPECT_EQ(writes(), (std::vector<Write>{{kTicker, 1000}}));
  tick(1001);
  EXPECT_EQ(writes(), (std::vector<Write>{{kRight, -1}, {kLeft, -1}, {kTicker, 0}}));
}

TEST_F(ListLibraryTest, DefaultNumberingReadsEveryValueAsAPosition) {
  // Where each item's value is its position, a glide toward no item aims at
  // −1, and a value passed on is the position a running glide ends on, taken
  // into the list.
  startNew(u"a,b,c");
  host.setInt(*module, kLeft, 9);
  takeCalls();
  host.setInt(*module, kLeft, -1);
  EXPECT_EQ(writes(), std::vector<Write>{});
  tick(1001);
  EXPECT_EQ(writes(), (std::vector<Write>{{kRight, 0}, {kLeft, 0}, {kTicker, 0}}));

  startNew(u"a,b,c", 3);
  host.setInt(*module, kRight, 1);
  host.setInt(*module, kLeft, 7);
  EXPECT_EQ(writes(), (std::vector<Write>{{kTicker, 1000}, {kRight, 7}}));
  tick(1001);
  EXPECT_EQ(writes(), (std::vector<Write>{{kLeft, 2}, {kRight, 2}, {kTicker, 0}}));
}

TEST_F(ListLibraryTest, ChangesBeforeInitialiseFindNoItemsAndWriteZero) {
  // The host reports changes before it initialises the module: no list is
  // parsed yet, and nothing reads past the empty item array.
  glideStart = test::moduleClock().nowMs();
  place(kMorphTime, 1000);
  host.setInt(*module, kMorphTime, 1000);
  host.setInt(*module, kLeft, 5);
  tick(500);
  tick(1001);
  EXPECT_EQ(writes(), (std::vector<Write>{
                          {kTicker, 1000}, {kRight, 0}, {kRight, 0}, {kLeft, 0}, {kTicker, 0}}));
}

// Hostile list texts: the module reads at most the 1000 code units it offers,
// with or without a terminator, and keeps at most 999 narrow bytes (the
// terminator takes the thousandth), cut between characters.
struct HostileCase {
  const char* name;
  bool unterminated;       // the host leaves a full buffer unterminated
  char16_t filler;         // the host pads the whole buffer with this, unterminated
  std::u16string text;     // pin 3's list text
  std::u16string expected; // what the module copies to pin 2
  bool needsUtf8;
};

std::u16string repeated(const std::u16string& piece, std::size_t count) {
  std::u16string text;
  for (std::size_t i = 0; i < count; ++i) {
    text += piece;
  }
  return text;
}

TEST_F(ListLibraryTest, HostileListTextsAreCutToTheBuffers) {
  const std::u16string grin = u"\U0001F600"; // a surrogate pair, 4 UTF-8 bytes
  const HostileCase cases[] = {
      {"5000 units, terminated at 999 by the host", false, 0, std::u16string(5000, u'x'),
       std::u16string(999, u'x'), false},
      {"5000 units, no terminator", true, 0, std::u16string(5000, u'x'), std::u16string(999, u'x'),
       false},
      {"short text padded without terminator", false, u'x', u"a,b=5,c",
       u"a,b=5,c" + std::u16string(992, u'x'), false},
      {"two-byte characters, no terminator", true, 0, std::u16string(1000, u'\u00E9'),
       std::u16string(499, u'\u00E9'), true},
      {"three-byte padding", false, u'\u20AC', u"a,b", u"a,b" + std::u16string(332, u'\u20AC'),
       true},
      // The host cuts the 1200 units at 999, inside a pair; 249 pairs fill 996 bytes.
      {"surrogate pairs", false, 0, repeated(grin, 600), repeated(grin, 249), true},
  };
  for (const HostileCase& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.needsUtf8 && !kNarrowIsUtf8) {
      continue;
    }
    host.options.unterminatedListText = c.unterminated;
    host.options.listTextFiller = c.filler;
    startNew(c.text);
    EXPECT_EQ(listText(kLeft), c.expected);
    host.sendGui(*module, gui_op::kRefreshList, kRight);
    EXPECT_EQ(listText(kLeft), c.expected);
  }
}

TEST_F(ListLibraryTest, PaddedListTextParsesTheItemsBeforeThePadding) {
  host.options.listTextFiller = u'x';
  // The last item runs on into the padding as "cxxx…"; it keeps its number.
  EXPECT_EQ(walkItems(u"a,b=5,c", 4), (std::vector<std::int32_t>{0, 5, 6, 6}));
}

TEST_F(ListLibraryTest, LoneSurrogatesBecomeReplacementCharacters) {
  if (!kNarrowIsUtf8) {
    GTEST_SKIP() << "the ANSI code page has its own replacement";
  }
  const std::u16string text = u"a\xD800,b,\xDC00"
                              u"c=5,d\xD83D";
  EXPECT_EQ(walkItems(text, 4), (std::vector<std::int32_t>{0, 1, 5, 6}));
  startNew(text);
  EXPECT_EQ(listText(kLeft), u"a\uFFFD,b,\uFFFDc=5,d\uFFFD");
}

} // namespace
} // namespace zav
