// The list-text parser: item names (which no pin shows) and the conversion of
// value texts, checked directly.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ramp/list_items.h"

namespace zav {
namespace {

TEST(ListItemsTest, NamesKeepTheirWhiteSpaceAndEndAtTheFirstEquals) {
  struct Case {
    const char* text;
    std::vector<std::string> names;
    std::vector<std::int16_t> values;
  };
  const Case cases[] = {
      {"Off,Low,High", {"Off", "Low", "High"}, {0, 1, 2}},
      {" a , b =7,c", {" a ", " b ", "c"}, {0, 7, 8}},
      {"=5,b", {"=5", "b"}, {0, 1}},
      {"=", {"="}, {0}},
      {"a=", {"a"}, {0}},
      {"a==5", {"a"}, {0}},
      {"=b=6,c", {"", "c"}, {0, 1}},
      {"x,,y,", {"x", "y"}, {0, 1}},
      {"dup=3,dup=3", {"dup", "dup"}, {3, 3}},
      {"", {}, {}},
      {",,,", {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const ListItems items = parseListItems(c.text);
    EXPECT_EQ(items.names, c.names);
    EXPECT_EQ(items.values, c.values);
  }
}

TEST(ListItemsTest, ValueTextsConvertWithAutomaticBaseAndClampToInt32) {
  struct Case {
    const char* text;
    std::int32_t value;
  };
  const Case cases[] = {
      {"", 0},
      {"12", 12},
      {" \t12", 12},
      {"+12", 12},
      {"-12", -12},
      {"0x1F", 31},
      {"0X1f", 31},
      {"-0x10", -16},
      {"010", 8},
      {"08", 0},
      {"0x", 0},
      {"0xg", 0},
      {"abc", 0},
      {"12abc", 12},
      {"1e5", 1},
      {"- 5", 0},
      {"2147483647", 2147483647},
      {"2147483648", 2147483647},
      {"-2147483648", -2147483647 - 1},
      {"-2147483649", -2147483647 - 1},
      {"0xFFFFFFFF", 2147483647},
      {"99999999999999999999999999", 2147483647},
      {"-99999999999999999999999999", -2147483647 - 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(convertValueText(c.text), c.value) << '"' << c.text << '"';
  }
}

TEST(ListItemsTest, ValueTextEndsAtTheItemsComma) {
  // The conversion sees only its own item's text, not the rest of the list.
  const ListItems items = parseListItems("a=1,2,b");
  EXPECT_EQ(items.names, (std::vector<std::string>{"a", "2", "b"}));
  EXPECT_EQ(items.values, (std::vector<std::int16_t>{1, 2, 3}));
}

} // namespace
} // namespace zav
