// The five pins every ramp module declares. Only pins 2 and 3 differ between
// the deliverables: their name is the kind's word, their type the kind's code.
#pragma once

#include <array>
#include <cstdint>

#include "framework/host_interface.h"

namespace zav {

struct PinDeclaration {
  const char* name;
  PinDirection direction;
  PinDataType type;
  const char* defaultText;
  const char* listText; // null: the pin declares no item list
  std::int32_t flags;
};

using RampPinTable = std::array<PinDeclaration, 5>;

inline constexpr const char* kPassingModeItems = "L+>R,L+>R & L<-R,L<+R,L<+R & L->R,L<+>R";

// Every ramp pin carries noPlug (no audio-side value) and the host's 0x20000.
inline constexpr std::int32_t kRampPinFlags = pin_flag::kHost20000 | pin_flag::kNoPlug;

constexpr RampPinTable rampPins(const char* valueWord, PinDataType valueType) {
  return {{
      {"Ticker", PinDirection::Input, PinDataType::Int, "0", nullptr, kRampPinFlags},
      {"Morph Time", PinDirection::Input, PinDataType::Int, "1000", nullptr,
       kRampPinFlags | pin_flag::kHost10000},
      {valueWord, PinDirection::Input, valueType, "0", nullptr, kRampPinFlags},
      {valueWord, PinDirection::Output, valueType, "0", nullptr, kRampPinFlags},
      {"Passing Mode", PinDirection::Parameter, PinDataType::List, "0", kPassingModeItems,
       kRampPinFlags},
  }};
}

} // namespace zav
