#include "ramp/list_items.h"

#include <cstdlib>
#include <limits>

#include "ramp/glide_rounding.h"

namespace zav {

std::int32_t convertValueText(std::string_view text) {
  const std::string terminated(text); // the conversion reads up to a terminator
  // long long holds every int32, so clamping its result is the whole range check.
  return saturateToInt32(std::strtoll(terminated.c_str(), nullptr, 0));
}

ListItems parseListItems(std::string_view text) {
  ListItems items;
  std::uint32_t number = 0; // the running number wraps at 32 bits
  while (!text.empty()) {
    const std::size_t comma = text.find(',');
    std::string_view name = text.substr(0, comma);
    text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
    if (name.empty()) {
      continue;
    }
    // An "=" in the first place does not make a value text, but once a later
    // "=" does, the name ends at the first one.
    if (name.find('=', 1) != std::string_view::npos) {
      const std::size_t equals = name.find('=');
      number = static_cast<std::uint32_t>(convertValueText(name.substr(equals + 1)));
      name = name.substr(0, equals);
    }
    items.names.emplace_back(name);
    items.values.push_back(low16(number));
    ++number;
  }
  return items;
}

} // namespace zav
