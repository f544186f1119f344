// One glide as the tool saw it: what was asked for and the destination's value
// after every tick step.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/tool/pin_value.h"

namespace zav::tool {

enum class Side { Left, Right };

inline const char* sideName(Side side) { return side == Side::Left ? "left" : "right"; }
inline Side otherSide(Side side) { return side == Side::Left ? Side::Right : Side::Left; }
inline std::int32_t pinOfSide(Side side) { return side == Side::Left ? 2 : 3; }

enum class GlideEnd {
  Finished,     // the module wrote 0 to its Ticker pin
  PassedAtOnce, // no glide started, the destination took the target at once
  NotStarted,   // no glide started and the destination kept its value
  TimedOut,     // the module never wrote 0 to its Ticker pin
};

struct TraceSample {
  std::int64_t timeMs = 0; // since the source side changed
  PinValue value;          // the destination's value
};

struct GlideTrace {
  std::string moduleName;
  ValueKind kind = ValueKind::Float;
  Side source = Side::Left; // the side set to the target; the other one glides
  std::int32_t morphTimeMs = 0;
  std::int32_t tickMs = 0;
  std::int32_t mode = 0;
  std::string modeName; // the item of the Passing Mode list, "" when none
  PinValue from;
  PinValue to;
  ListItems items; // list modules: the items of the value pins
  // The first sample is taken right after the source changed, then one per tick.
  std::vector<TraceSample> samples;
  PinValue sourceAtEnd;
  GlideEnd end = GlideEnd::NotStarted;
};

// `passing mode 0 "L+>R"`: the mode and its item in the Passing Mode list.
inline std::string modeDescription(const GlideTrace& trace) {
  std::string mode = "passing mode " + std::to_string(trace.mode);
  if (!trace.modeName.empty()) {
    mode += " \"" + printable(trace.modeName) + "\"";
  }
  return mode;
}

} // namespace zav::tool
