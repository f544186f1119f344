#include "host/tool/pin_value.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "host/tool/command_line.h"

namespace zav::tool {
namespace {

std::string formatted(const char* format, double number) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, format, number);
  return buffer;
}

std::string hexByte(unsigned char byte) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "\\x%02X", byte);
  return buffer;
}

// The length of the valid UTF-8 sequence at `at`, or 0.
std::size_t utf8SequenceAt(const std::string& text, std::size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  const std::size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                             : lead >= 0xE0 && lead <= 0xEF ? 3
                             : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                            : 0;
  if (length == 0 || at + length > text.size()) {
    return 0;
  }
  for (std::size_t i = 1; i < length; ++i) {
    if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80) {
      return 0;
    }
  }
  const auto second = static_cast<unsigned char>(text[at + 1]);
  const bool overlong = (lead == 0xE0 && second < 0xA0) || (lead == 0xF0 && second < 0x90);
  const bool surrogate = lead == 0xED && second >= 0xA0;
  const bool beyond = lead == 0xF4 && second >= 0x90;
  return overlong || surrogate || beyond ? 0 : length;
}

// An item's value text, converted as the modules do: automatic base, clamped
// to the int32 range, no digits giving 0.
std::int32_t itemNumber(const std::string& valueText) {
  errno = 0;
  const long long number = std::strtoll(valueText.c_str(), nullptr, 0);
  if (number > std::numeric_limits<std::int32_t>::max()) {
    return std::numeric_limits<std::int32_t>::max();
  }
  if (number < std::numeric_limits<std::int32_t>::min()) {
    return std::numeric_limits<std::int32_t>::min();
  }
  return static_cast<std::int32_t>(number);
}

std::string itemList(const ListItems& items) {
  std::string names;
  for (const ListItem& item : items) {
    names += (names.empty() ? "" : ", ") + printable(item.name);
  }
  return names.empty() ? "no items" : names;
}

PinValue parseFloat(const std::string& what, const std::string& text) {
  char* end = nullptr;
  errno = 0;
  const float number = std::strtof(text.c_str(), &end);
  if (text.empty() || end != text.c_str() + text.size() ||
      std::isspace(static_cast<unsigned char>(text[0]))) {
    throw UsageError(what + ": \"" + printable(text) + "\" is not a float");
  }
  if (errno == ERANGE && std::isinf(number)) {
    throw UsageError(what + ": " + text + " is beyond the float range");
  }
  return PinValue{ValueKind::Float, number, 0, {}};
}

PinValue parseBool(const std::string& what, const std::string& text) {
  if (text == "true" || text == "1") {
    return PinValue{ValueKind::Bool, 0.0f, 1, {}};
  }
  if (text == "false" || text == "0") {
    return PinValue{ValueKind::Bool, 0.0f, 0, {}};
  }
  throw UsageError(what + ": \"" + printable(text) + "\" is not a bool (true, false, 1 or 0)");
}

PinValue parseListItem(const std::string& what, const std::string& text, const ListItems& items) {
  for (const ListItem& item : items) {
    if (item.name == text) {
      return PinValue{ValueKind::List, 0.0f, item.value, {}};
    }
  }
  try {
    const std::int32_t value = parseInteger(what, text, std::numeric_limits<std::int32_t>::min(),
                                            std::numeric_limits<std::int32_t>::max());
    return PinValue{ValueKind::List, 0.0f, value, {}};
  } catch (const UsageError&) {
    throw UsageError(what + ": \"" + printable(text) + "\" is neither an item of the list (" +
                     itemList(items) + ") nor a number");
  }
}

} // namespace

std::optional<ValueKind> valueKindOf(PinDataType type) {
  switch (type) {
  case PinDataType::Float:
    return ValueKind::Float;
  case PinDataType::Int:
    return ValueKind::Int;
  case PinDataType::Bool:
    return ValueKind::Bool;
  case PinDataType::Text:
    return ValueKind::Text;
  case PinDataType::List:
    return ValueKind::List;
  default:
    return std::nullopt;
  }
}

const char* kindName(ValueKind kind) {
  switch (kind) {
  case ValueKind::Float:
    return "float";
  case ValueKind::Int:
    return "int";
  case ValueKind::Bool:
    return "bool";
  case ValueKind::Text:
    return "text";
  case ValueKind::List:
    return "list";
  }
  return "?";
}

ListItems parseListText(const std::string& listText) {
  ListItems items;
  std::int32_t running = 0;
  std::size_t begin = 0;
  while (begin <= listText.size()) {
    std::size_t end = listText.find(',', begin);
    if (end == std::string::npos) {
      end = listText.size();
    }
    std::string name = listText.substr(begin, end - begin);
    if (!name.empty()) {
      const std::size_t equals = name.find('=', 1);
      if (equals != std::string::npos) {
        running = itemNumber(name.substr(equals + 1));
        name.resize(equals);
      }
      items.push_back(ListItem{name, static_cast<std::int16_t>(running)});
      running = static_cast<std::int32_t>(static_cast<std::uint32_t>(running) + 1u);
    }
    begin = end + 1;
  }
  return items;
}

int positionOfValue(const ListItems& items, std::int32_t value) {
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (items[i].value == static_cast<std::int16_t>(value)) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

bool sameValue(const PinValue& a, const PinValue& b) {
  if (a.kind != b.kind) {
    return false;
  }
  switch (a.kind) {
  case ValueKind::Float:
    return a.number == b.number;
  case ValueKind::Bool:
    return a.truth() == b.truth();
  case ValueKind::Text:
    return a.text == b.text;
  default:
    return a.whole == b.whole;
  }
}

PinValue parseValue(const std::string& what, ValueKind kind, const std::string& text,
                    const ListItems& items) {
  switch (kind) {
  case ValueKind::Float:
    return parseFloat(what, text);
  case ValueKind::Int:
    return PinValue{ValueKind::Int,
                    0.0f,
                    parseInteger(what, text, std::numeric_limits<std::int32_t>::min(),
                                 std::numeric_limits<std::int32_t>::max()),
                    {}};
  case ValueKind::Bool:
    return parseBool(what, text);
  case ValueKind::Text:
    return PinValue{ValueKind::Text, 0.0f, 0, text};
  case ValueKind::List:
    return parseListItem(what, text, items);
  }
  throw UsageError(what + ": unknown value kind");
}

std::string itemName(const PinValue& value, const ListItems& items) {
  const int position = positionOfValue(items, value.whole);
  return position < 0 ? "" : items[static_cast<std::size_t>(position)].name;
}

std::string showValue(const PinValue& value, const ListItems& items) {
  switch (value.kind) {
  case ValueKind::Float:
    return formatted("%g", value.number);
  case ValueKind::Bool:
    return value.truth() ? "true" : "false";
  case ValueKind::Text:
    return "\"" + printable(value.text) + "\"";
  case ValueKind::List: {
    const int position = positionOfValue(items, value.whole);
    return std::to_string(value.whole) +
           (position < 0 ? " (no item)" : " (" + printable(itemName(value, items)) + ")");
  }
  default:
    return std::to_string(value.whole);
  }
}

std::string exactValue(const PinValue& value) {
  switch (value.kind) {
  case ValueKind::Float:
    return formatted("%.9g", value.number);
  case ValueKind::Bool:
    return value.truth() ? "true" : "false";
  case ValueKind::Text:
    return value.text;
  default:
    return std::to_string(value.whole);
  }
}

PinValue readPin(const host::PinCell& cell, ValueKind kind) {
  PinValue value;
  value.kind = kind;
  if (kind == ValueKind::Float) {
    value.number = cell.asFloat();
  } else if (kind == ValueKind::Text) {
    value.text = cell.text;
  } else {
    value.whole = cell.asInt();
  }
  return value;
}

void writePin(host::ReferenceHost& host, host::Instance& instance, std::int32_t pin,
              const PinValue& value) {
  switch (value.kind) {
  case ValueKind::Float:
    host.setFloat(instance, pin, value.number);
    break;
  case ValueKind::Text:
    host.setText(instance, pin, value.text);
    break;
  case ValueKind::Bool:
    host.setInt(instance, pin, value.truth() ? 1 : 0);
    break;
  default:
    host.setInt(instance, pin, value.whole);
    break;
  }
}

std::string printable(const std::string& text) {
  std::string shown;
  for (std::size_t i = 0; i < text.size();) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte >= 0x20 && byte < 0x7F) {
      shown.push_back(text[i]);
      ++i;
    } else if (const std::size_t length = byte >= 0x80 ? utf8SequenceAt(text, i) : 0) {
      shown.append(text, i, length);
      i += length;
    } else {
      shown += hexByte(byte);
      ++i;
    }
  }
  return shown;
}

} // namespace zav::tool
