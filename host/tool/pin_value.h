// The values on a ramp module's two sides, whatever their kind: parsed from the
// command line, read from and written to the reference host's pins, and shown.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "framework/host_interface.h"
#include "host/reference_host.h"

namespace zav::tool {

enum class ValueKind { Float, Int, Bool, Text, List };

// The kind of a pin of this data type; none for audio pins and unknown codes.
std::optional<ValueKind> valueKindOf(PinDataType type);
const char* kindName(ValueKind kind);

// One item of an enumerated list, as the host reads the list text: items
// separated by commas, empty ones skipped, "name=value" numbering an item
// (value read with automatic base) and the following items counting on from it.
// Values are the low 16 bits of the item's number, as the modules keep them.
struct ListItem {
  std::string name;
  std::int16_t value;
};
using ListItems = std::vector<ListItem>;

ListItems parseListText(const std::string& listText);
// The position of the first item with this value (its low 16 bits), or -1.
int positionOfValue(const ListItems& items, std::int32_t value);

struct PinValue {
  ValueKind kind = ValueKind::Float;
  float number = 0.0f;    // Float
  std::int32_t whole = 0; // Int, Bool (any non-zero is true) and List (the item's value)
  std::string text;       // Text

  bool truth() const { return whole != 0; }
};

bool sameValue(const PinValue& a, const PinValue& b);

// Parses a value for a pin of this kind: float, int, bool (true, false, 1, 0),
// any text, or a list item by name or by value. A UsageError names `what`.
PinValue parseValue(const std::string& what, ValueKind kind, const std::string& text,
                    const ListItems& items);

// The value as a person reads it: floats with six digits, texts in quotes,
// list items as value and name.
std::string showValue(const PinValue& value, const ListItems& items);
// The value exactly, for data files: floats with nine digits, texts as they are.
std::string exactValue(const PinValue& value);
// The list item's name, "" when the value names none.
std::string itemName(const PinValue& value, const ListItems& items);

PinValue readPin(const host::PinCell& cell, ValueKind kind);
// Changes the pin as a connection would, reporting the change to the module.
void writePin(host::ReferenceHost& host, host::Instance& instance, std::int32_t pin,
              const PinValue& value);

// Text fit for a terminal or an XML document: valid UTF-8 sequences stay,
// control characters and stray bytes become \xNN.
std::string printable(const std::string& text);

} // namespace zav::tool
