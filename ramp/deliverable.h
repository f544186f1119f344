// Builds a ramp deliverable's identity from its value kind and module name:
// the about text, the pin table and the two object factories.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <new>
#include <string_view>

#include "framework/module_exports.h"
#include "ramp/pin_table.h"
#include "ramp/ramp_audio.h"

namespace zav {

// A string literal as a template argument.
template <std::size_t N> struct FixedText {
  char chars[N]{};
  constexpr FixedText(const char (&text)[N]) { std::copy_n(text, N, chars); }
  constexpr std::string_view view() const { return {chars, N - 1}; }
};

inline constexpr std::string_view kModuleVersionSuffix = " - v1.0.0";

// Lines 2 to 14 of every ramp module's about text.
inline constexpr std::string_view kAboutBody =
    "\nBy The zav-ramp developers, 2026-12-11"
    "\n"
    "\nWebsite: https://zav-ramp.example.org"
    "\n"
    "\nEmail: zav-ramp@example.org"
    "\n"
    "\nThis module ramps from a beginning value to an ending value over a specified duration of "
    "time."
    "\n"
    "\nProvide the amount of desired duration, in milliseconds, to the 'Morph Time' pin. Changing "
    "the value on the input pin will start the ramp. Changing the value while the ramp is "
    "currently "
    "running resets the ramp time, and the ramp will run from the current output value to the new "
    "desired value (fed to the input pin)."
    "\n"
    "\nThe property 'Passing Mode' control the behavior of this module. L+>R means ramp the change "
    "from the left pin to the right. L->R means pass a change from the left pin to the right pin "
    "immediately, without ramping."
    "\n"
    "\nThis module is designed to work in tandem with the ZAV_Ticker module, and it's Ticker pin "
    "must "
    "be connected to a Ticker pin on the ZAV_Ticker module in order for it to operate correctly.";

// The about text: the module name and version, then the common lines.
template <FixedText Name>
inline constexpr auto kAboutText = [] {
  std::array<char, Name.view().size() + kModuleVersionSuffix.size() + kAboutBody.size() + 1> text{};
  auto out = std::copy(Name.view().begin(), Name.view().end(), text.begin());
  out = std::copy(kModuleVersionSuffix.begin(), kModuleVersionSuffix.end(), out);
  std::copy(kAboutBody.begin(), kAboutBody.end(), out);
  return text;
}();

template <class Kind>
inline constexpr RampPinTable kRampPinsOf = rampPins(Kind::kValueWord, Kind::kValueType);

template <class Kind>
AudioHostRecord* makeRampAudio(HostCallback hostCallback, std::intptr_t reserved) {
  auto* object = new (std::nothrow) RampAudio(kRampPinsOf<Kind>, hostCallback, reserved);
  return object != nullptr ? object->record() : nullptr;
}

template <class Kind>
GuiHostRecord* makeRampGui(HostCallback hostCallback, std::intptr_t reserved) {
  auto* object = new (std::nothrow) Kind(hostCallback, reserved);
  return object != nullptr ? object->record() : nullptr;
}

template <class Kind, FixedText Name> const ModuleIdentity& rampModule() {
  static constexpr ModuleIdentity identity{Name.chars, kAboutText<Name>.data(),
                                           &makeRampAudio<Kind>, &makeRampGui<Kind>};
  return identity;
}

} // namespace zav
