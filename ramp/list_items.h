// The items of an enumerated list, as its list text names and numbers them.
//
// Items are separated by commas; an empty run between commas is no item. An
// item "name=value" takes the number that its value text converts to, any
// other item the number after the previous item's (0 for the first). White
// space is kept everywhere, names included.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zav {

struct ListItems {
  std::vector<std::string> names;
  std::vector<std::int16_t> values; // the low 16 bits of each item's number
};

// Both lists empty when the text names no item.
ListItems parseListItems(std::string_view text);

// A value text as an integer with automatic base (0x or 0X: hexadecimal, a
// leading 0: octal, else decimal) after optional white space and sign, up to
// the first character that is no digit of the base; no digits give 0, and a
// number outside int32 becomes the nearest limit.
std::int32_t convertValueText(std::string_view text);

} // namespace zav
