// Values as the tool reads them from the command line and shows them.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>

#include "host/reference_host.h"
#include "host/tool/command_line.h"
#include "host/tool/pin_value.h"

namespace zav::tool {
namespace {

struct ParseCase {
  ValueKind kind;
  const char* text;
  std::optional<double> expected; // none: a UsageError
};

std::ostream& operator<<(std::ostream& out, const ParseCase& c) {
  return out << kindName(c.kind) << " \"" << c.text << "\"";
}

double numberOf(const PinValue& value) {
  return value.kind == ValueKind::Float ? value.number : value.whole;
}

class ParseValueTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseValueTest, ReadsTheKindsOwnFormOrSaysWhy) {
  const ListItems items = parseListText("Off,Low=5,High");
  const ParseCase& c = GetParam();
  if (!c.expected) {
    EXPECT_THROW(parseValue("--to", c.kind, c.text, items), UsageError);
    return;
  }
  const PinValue value = parseValue("--to", c.kind, c.text, items);
  EXPECT_EQ(value.kind, c.kind);
  EXPECT_EQ(numberOf(value), *c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ParseValueTest,
    ::testing::Values(
        ParseCase{ValueKind::Float, "2.5", 2.5}, ParseCase{ValueKind::Float, "-1e3", -1000.0},
        ParseCase{ValueKind::Float, "0.1", static_cast<double>(0.1f)},
        ParseCase{ValueKind::Float, "abc", std::nullopt},
        ParseCase{ValueKind::Float, "", std::nullopt},
        ParseCase{ValueKind::Float, "1.5x", std::nullopt},
        ParseCase{ValueKind::Float, " 1", std::nullopt},
        ParseCase{ValueKind::Float, "1e99", std::nullopt}, ParseCase{ValueKind::Int, "42", 42.0},
        ParseCase{ValueKind::Int, "+3", 3.0},
        ParseCase{ValueKind::Int, "-2147483648", -2147483648.0},
        ParseCase{ValueKind::Int, "2147483648", std::nullopt},
        ParseCase{ValueKind::Int, "1.5", std::nullopt},
        ParseCase{ValueKind::Int, "+-3", std::nullopt},
        ParseCase{ValueKind::Int, "0x10", std::nullopt}, ParseCase{ValueKind::Bool, "true", 1.0},
        ParseCase{ValueKind::Bool, "1", 1.0}, ParseCase{ValueKind::Bool, "false", 0.0},
        ParseCase{ValueKind::Bool, "0", 0.0}, ParseCase{ValueKind::Bool, "yes", std::nullopt},
        ParseCase{ValueKind::Bool, "2", std::nullopt}, ParseCase{ValueKind::List, "Off", 0.0},
        ParseCase{ValueKind::List, "Low", 5.0}, ParseCase{ValueKind::List, "High", 6.0},
        // A number that names no item is still a value the module can be given.
        ParseCase{ValueKind::List, "9", 9.0}, ParseCase{ValueKind::List, "-1", -1.0},
        ParseCase{ValueKind::List, "Loud", std::nullopt},
        ParseCase{ValueKind::List, "low", std::nullopt}));

TEST(ParseValue, TextIsTakenAsItStandsAndANaNIsAFloat) {
  EXPECT_EQ(parseValue("--to", ValueKind::Text, "", {}).text, "");
  EXPECT_EQ(parseValue("--to", ValueKind::Text, " a,b\"c ", {}).text, " a,b\"c ");
  EXPECT_TRUE(std::isnan(parseValue("--to", ValueKind::Float, "nan", {}).number));
}

TEST(ParseValue, TheErrorNamesTheOptionTheTextAndTheItems) {
  try {
    parseValue("--mode", ValueKind::List, "Loud", parseListText("Off,Low"));
    FAIL() << "no error";
  } catch (const UsageError& error) {
    EXPECT_STREQ(error.what(),
                 "--mode: \"Loud\" is neither an item of the list (Off, Low) nor a number");
  }
}

struct ListCase {
  const char* listText;
  std::vector<ListItem> items;
};

TEST(ParseListText, NumbersItemsAsTheModulesDo) {
  const ListCase cases[] = {
      {"Off,Low,High", {{"Off", 0}, {"Low", 1}, {"High", 2}}},
      {"a,b=10,c,d=-1,e", {{"a", 0}, {"b", 10}, {"c", 11}, {"d", -1}, {"e", 0}}},
      {"a,,b,", {{"a", 0}, {"b", 1}}},
      {"=5,b", {{"=5", 0}, {"b", 1}}},
      {"x=0x10,y=010,z=08", {{"x", 16}, {"y", 8}, {"z", 0}}},
      {" a , b =3", {{" a ", 0}, {" b ", 3}}},
      // 70000 keeps its low 16 bits, 4464; 2^31 is clamped to the int32 limit.
      {"big=70000,huge=2147483648", {{"big", 4464}, {"huge", -1}}},
      {"", {}},
      {",,", {}},
  };
  for (const ListCase& c : cases) {
    SCOPED_TRACE(c.listText);
    const ListItems items = parseListText(c.listText);
    ASSERT_EQ(items.size(), c.items.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
      EXPECT_EQ(items[i].name, c.items[i].name);
      EXPECT_EQ(items[i].value, c.items[i].value);
    }
  }
}

TEST(ParseListText, AValueFindsTheFirstItemWithItsLow16Bits) {
  const ListItems items = parseListText("a=1,big=70000,b=1");
  EXPECT_EQ(positionOfValue(items, 1), 0);
  EXPECT_EQ(positionOfValue(items, 70000), 1);
  EXPECT_EQ(positionOfValue(items, 4464), 1);
  EXPECT_EQ(positionOfValue(items, 2), -1);
}

TEST(ShowValue, EachKindReadsAsAPersonWouldWriteIt) {
  const ListItems items = parseListText("Off,Low");
  EXPECT_EQ(showValue(PinValue{ValueKind::Float, 2.5f, 0, {}}, items), "2.5");
  EXPECT_EQ(exactValue(PinValue{ValueKind::Float, 0.1f, 0, {}}), "0.100000001");
  EXPECT_EQ(showValue(PinValue{ValueKind::Int, 0.0f, -7, {}}, items), "-7");
  EXPECT_EQ(showValue(PinValue{ValueKind::Bool, 0.0f, 5, {}}, items), "true");
  EXPECT_EQ(showValue(PinValue{ValueKind::Text, 0.0f, 0, "a\tb"}, items), "\"a\\x09b\"");
  EXPECT_EQ(showValue(PinValue{ValueKind::List, 0.0f, 1, {}}, items), "1 (Low)");
  EXPECT_EQ(showValue(PinValue{ValueKind::List, 0.0f, 9, {}}, items), "9 (no item)");
}

TEST(Printable, KeepsUtf8AndEscapesControlsAndStrayBytes) {
  EXPECT_EQ(printable("plain"), "plain");
  EXPECT_EQ(printable("caf\xC3\xA9 \xF0\x9D\x84\x9E"), "caf\xC3\xA9 \xF0\x9D\x84\x9E");
  EXPECT_EQ(printable(std::string("a\x01\x7F", 3)), "a\\x01\\x7F");
  EXPECT_EQ(printable("\xFF\xC3"), "\\xFF\\xC3");
  EXPECT_EQ(printable("\xED\xA0\x80"), "\\xED\\xA0\\x80"); // a surrogate's code in UTF-8
}

TEST(ListTextCoding, NarrowUndoesWidenAndMendsLoneSurrogates) {
  const std::string text = "Off,\xE2\x82\xAC,\xF0\x9D\x84\x9E,\xC3\xA9";
  EXPECT_EQ(host::narrow(host::widen(text)), text);
  EXPECT_EQ(host::narrow(std::u16string{u'a', 0xD800, u'b', 0xDC00}), "a\xEF\xBF\xBD"
                                                                      "b\xEF\xBF\xBD");
}

} // namespace
} // namespace zav::tool
