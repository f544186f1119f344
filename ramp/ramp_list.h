// The List kind: the selected item of an enumerated list. A glide walks the
// destination through the items that lie between the start item and the
// target item, in list order, and ends on the target item.
//
// Pin values are item numbers; both list pins offer the items named by pin 3's
// list text, which the module copies onto pin 2 and parses into item values.
// A glide runs over list positions: its start and target are the positions of
// the destination's and the source's values (-1 when a value is no item; a
// position outside the list counts as the nearest end).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/host_interface.h"
#include "ramp/ramp_module.h"

namespace zav {

class RampList final : public TableRampModule<RampList> {
public:
  using Value = std::int32_t;
  static constexpr const char* kValueWord = "List";
  static constexpr PinDataType kValueType = PinDataType::List;

  using TableRampModule::TableRampModule;

  // The list text of a pin, narrowed; at most 999 bytes.
  std::string readListText(std::int32_t listPin);
  void writeListText(std::int32_t listPin, const std::string& text);
  // Rebuilds the items from the pin's list text; a text without items gives
  // the placeholder item.
  void parseList(std::int32_t listPin);
  // The first position whose item value is the low 16 bits of `value`; -1 when
  // none is.
  std::int16_t indexOfValue(std::int32_t value) const;
  // The item value at `position`, taken into the list.
  std::int16_t valueAtPosition(std::int16_t position) const;
  void resetToPlaceholder();

protected:
  // The list refresh and the list clear; both ignore the left list pin.
  void onOperation11(std::int32_t pinIndex) override;
  void onOperation12(std::int32_t pinIndex) override;

private:
  friend class RampModule<RampList>;
  friend class TableRampModule<RampList>;

  std::int32_t read(std::int32_t side) { return getInt(side); }
  void write(std::int32_t side, std::int32_t value) { setInt(side, value); }
  bool isNew(std::int32_t value) const;
  void hold(std::int32_t value);
  void beginGlide(std::int32_t from, std::int32_t to);
  void writeStep(std::int32_t side, float glideProgress);
  void writeTarget(std::int32_t side) { setInt(side, valueAtPosition(target)); }
  void copyInitialValue(std::int32_t from, std::int32_t to);

  // Copies pin 3's list text to pin 2, after writing "<No List>" to pin 3 in
  // place of an empty one.
  void shareListText();
  std::int16_t positionOf(std::int32_t value) const;

  std::int16_t startPosition = 0;
  std::int16_t target = 0;
  std::int16_t positionDelta = 0;
  // The value the module passed on or glides to: what a change must differ
  // from to count as new.
  std::int32_t targetValue = 0;
  // Declared before the names so that the names go first on destruction.
  std::vector<std::int16_t> itemValues;
  std::vector<std::string> itemNames;
  bool noList = false;
};

} // namespace zav
