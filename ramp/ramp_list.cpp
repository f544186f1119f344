#include "ramp/ramp_list.h"

#include <algorithm>
#include <array>
#include <utility>

#include "framework/text_narrowing.h"
#include "ramp/glide_rounding.h"
#include "ramp/list_items.h"

namespace zav {
namespace {

// What both list pins show when pin 3 has no list text, and the one item a
// text without items gives.
constexpr const char* kNoListText = "<No List>";
constexpr const char* kPlaceholderName = "<NO LIST>";

} // namespace

std::string RampList::readListText(std::int32_t listPin) {
  // Zeroed, so that a host that writes nothing gives the empty text.
  std::array<char16_t, kListTextCapacity> buffer{};
  callHost(gui_host_op::kGetPinListText, listPin, kListTextCapacity, buffer.data());
  // The narrow text must leave room for its terminator in the same capacity.
  return narrowText(terminatedText(buffer.data(), buffer.size()), kListTextCapacity - 1);
}

void RampList::writeListText(std::int32_t listPin, const std::string& text) {
  callHost(gui_host_op::kSetPinListText, listPin, kListTextCapacity,
           const_cast<char*>(text.c_str()));
}

void RampList::parseList(std::int32_t listPin) {
  ListItems items = parseListItems(readListText(listPin));
  noList = false;
  itemValues = std::move(items.values);
  itemNames = std::move(items.names);
  if (itemValues.empty()) {
    resetToPlaceholder();
  }
}

std::int16_t RampList::indexOfValue(std::int32_t value) const {
  const auto found = std::find(itemValues.begin(), itemValues.end(), low16(value));
  return found == itemValues.end() ? -1 : static_cast<std::int16_t>(found - itemValues.begin());
}

std::int16_t RampList::valueAtPosition(std::int16_t position) const {
  if (itemValues.empty()) {
    return 0; // no list parsed yet: a host that reports changes before Initialise
  }
  const std::size_t last = itemValues.size() - 1;
  return itemValues[position < 0 ? 0 : std::min(static_cast<std::size_t>(position), last)];
}

void RampList::resetToPlaceholder() {
  itemValues.assign(1, 0);
  itemNames.assign(1, kPlaceholderName);
  noList = true;
}

void RampList::onOperation11(std::int32_t pinIndex) {
  if (pinIndex == pin::kLeft) {
    return;
  }
  {
    const BusyScope scope(busy, true);
    shareListText();
    setInt(pin::kRight, 0);
    setInt(pin::kLeft, 0);
  }
  // A running glide goes on against the new list, its positions taken into it.
  parseList(pin::kRight);
}

void RampList::onOperation12(std::int32_t pinIndex) {
  if (pinIndex == pin::kLeft) {
    return;
  }
  // Only what the pins show changes: the parsed list and a running glide stay.
  const BusyScope scope(busy, true);
  writeListText(pin::kLeft, kNoListText);
  writeListText(pin::kRight, kNoListText);
  setInt(pin::kRight, 0);
  setInt(pin::kLeft, 0);
}

// Where values and list positions meet. `target` and `startPosition` always
// hold list positions, and `targetValue` the value the module aims at, which a
// change must differ from to be new:
// - a glide start aims at the position of the source's value and at the value
//   of the item there (-1 when the source's value is no item);
// - an immediate pass and Initialise aim at the position of the value they
//   pass on and at its low 16 bits, so that a glide still running after a pass
//   ends on the item passed, whatever the list's numbering.
// A value that is no item is read as a position, as default numbering (each
// item's value its position) reads every value; the glide takes such a
// position into the list. Under default numbering all of this comes down to
// reading positions and values as one.
std::int16_t RampList::positionOf(std::int32_t value) const {
  const std::int16_t position = indexOfValue(value);
  return position >= 0 ? position : low16(value);
}

// A change counts as the aim again only when it is the value aimed at and
// picks the same position. The second half keeps a glide that heads for no
// item (aiming at -1) from taking a change to an item whose value is -1 for
// its own aim.
bool RampList::isNew(std::int32_t value) const {
  return value != targetValue || positionOf(value) != target;
}

void RampList::hold(std::int32_t value) {
  targetValue = low16(value);
  target = positionOf(value);
  startPosition = target;
}

void RampList::beginGlide(std::int32_t from, std::int32_t to) {
  startPosition = indexOfValue(from);
  target = indexOfValue(to);
  positionDelta = low16(target - startPosition);
  // The value of the target item; a glide that heads for no item aims at -1,
  // the value default numbering gives that position.
  targetValue = target >= 0 ? itemValues[static_cast<std::size_t>(target)] : target;
}

void RampList::writeStep(std::int32_t side, float glideProgress) {
  const auto glidePosition =
      static_cast<float>(startPosition + static_cast<double>(positionDelta) * glideProgress);
  setInt(side, valueAtPosition(low16(roundHalfUp(glidePosition))));
}

void RampList::copyInitialValue(std::int32_t from, std::int32_t to) {
  // A loaded module's Initialise holds no busy flag; a host that reported the
  // list-text writes back as pin changes would otherwise start a glide
  // against a list not yet parsed. The value copy below stays unguarded: its
  // report finds the value held and is ignored.
  const bool wasBusy = busy;
  busy = true;
  shareListText();
  parseList(pin::kRight);
  busy = wasBusy;
  const std::int32_t value = read(from);
  hold(value);
  write(to, low16(value));
}

void RampList::shareListText() {
  std::string text = readListText(pin::kRight);
  if (text.empty()) {
    text = kNoListText;
    writeListText(pin::kRight, text);
  }
  writeListText(pin::kLeft, text);
}

} // namespace zav
