// The ramp engine shared by every value kind.
//
// A ramp module has five pins. When the value on one side (pin 2, left, or pin
// 3, right) changes, the module moves the other side to it over the Morph Time
// (pin 1, milliseconds), one step each time the value on its Ticker pin (pin 0)
// changes. The Passing Mode (pin 4) says which side's changes glide, which are
// passed on at once and which are ignored.
//
// RampModule<Kind> holds every step once: Initialise, apply Morph Time, the
// pin-change handler with its busy guard and passing modes, the glide start, the
// pass-through and the finish. It never knows what kind of value it moves; it
// asks the Kind (the derived class) at these points:
//
//   using Value = ...;                       what one side holds
//   Value read(int32_t pin);                 read a side (one host call)
//   void write(int32_t pin, const Value&);   write a side (one host call)
//   bool isNew(const Value&) const;          does a value read differ from the target?
//   void hold(const Value&);                 start and target become the value passed on
//   void beginGlide(Value from, Value to);   a glide from the destination's value
//                                            to the source's: start, target, delta
//   void writeTarget(int32_t pin);           what the finish writes
//   void tickStep();                         one step of a running glide
//
// TableRampModule (below) supplies tickStep for every kind that reads the
// progress from the RampTable; such a kind supplies writeStep(pin, progress)
// instead. A kind that reads no table derives from RampModule directly and
// builds its tickStep on measureTick(). A kind may also hide the defaults
// copyInitialValue and fillTable.
#pragma once

#include <cmath>
#include <cstdint>
#include <utility>

#include "framework/gui_module_base.h"
#include "framework/process_clock.h"
#include "ramp/glide_rounding.h"
#include "ramp/ramp_table.h"

namespace zav {

// The five pins of every ramp module.
namespace pin {
inline constexpr std::int32_t kTicker = 0;
inline constexpr std::int32_t kMorphTime = 1;
inline constexpr std::int32_t kLeft = 2;
inline constexpr std::int32_t kRight = 3;
inline constexpr std::int32_t kPassingMode = 4;
} // namespace pin

// The value of pin 4: the number of the selected item of its list text. Any
// other value makes both sides' changes ignored.
enum class PassingMode : std::int16_t {
  LeftRamps = 0,            // "L+>R"
  LeftRampsRightPasses = 1, // "L+>R & L<-R"
  RightRamps = 2,           // "L<+R"
  RightRampsLeftPasses = 3, // "L<+R & L->R"
  BothRamp = 4,             // "L<+>R"
};

// What a change of one side does under a passing mode.
enum class SideAction { Ignore, Glide, Pass };

constexpr SideAction leftSideAction(std::int16_t mode) {
  switch (static_cast<PassingMode>(mode)) {
  case PassingMode::LeftRamps:
  case PassingMode::LeftRampsRightPasses:
  case PassingMode::BothRamp:
    return SideAction::Glide;
  case PassingMode::RightRampsLeftPasses:
    return SideAction::Pass;
  default:
    return SideAction::Ignore;
  }
}

constexpr SideAction rightSideAction(std::int16_t mode) {
  switch (static_cast<PassingMode>(mode)) {
  case PassingMode::RightRamps:
  case PassingMode::RightRampsLeftPasses:
  case PassingMode::BothRamp:
    return SideAction::Glide;
  case PassingMode::LeftRampsRightPasses:
    return SideAction::Pass;
  default:
    return SideAction::Ignore;
  }
}

// The constant that turns milliseconds into seconds, taken in single precision
// (0.0010000000474974513): a Morph Time of 1000 is 1.0 s once rounded, but a
// tick 1000 ms after the start is 1.0000000474974513 s before rounding.
inline constexpr double kSecondsPerMs = 0.001f;

template <class Kind> class RampModule : public GuiModuleBase {
public:
  using GuiModuleBase::GuiModuleBase;

protected:
  // Sets the busy flag (when asked) and clears it on every way out. Kinds use
  // it around pin writes of their own outside the pin-change handler.
  class BusyScope {
  public:
    BusyScope(bool& flag, bool set) : flag(flag) {
      if (set) {
        flag = true;
      }
    }
    ~BusyScope() { flag = false; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

  private:
    bool& flag;
  };

  // The time of a tick step, before rounding: seconds since the glide start and
  // the position on the 0..4095 table scale.
  struct TickTime {
    double seconds;
    double position;
  };

  Kind& kind() { return static_cast<Kind&>(*this); }

  void initialise(bool loaded) override {
    GuiModuleBase::initialise(loaded);
    const BusyScope scope(busy, !loaded);
    if (!loaded) {
      setInt(pin::kTicker, 0);
      setInt(pin::kMorphTime, 1000);
      kind().write(pin::kLeft, typename Kind::Value{});
      kind().write(pin::kRight, typename Kind::Value{});
      setInt(pin::kPassingMode, 0);
    }
    mode = static_cast<std::int16_t>(getInt(pin::kPassingMode));
    sourcePin = pin::kLeft;
    destinationPin = pin::kRight;
    const bool rightDrives = mode == static_cast<std::int16_t>(PassingMode::RightRamps) ||
                             mode == static_cast<std::int16_t>(PassingMode::RightRampsLeftPasses);
    if (rightDrives) {
      kind().copyInitialValue(pin::kRight, pin::kLeft);
    } else {
      kind().copyInitialValue(pin::kLeft, pin::kRight);
    }
    applyMorphTime();
    kind().fillTable();
    ramping = false; // a running glide ends here without a pin write
  }

  void onPinChange(GuiPin event) override {
    // Reports that arrive while the module handles a change (most often its own
    // write reported back before the host returns) are dropped for good.
    if (busy) {
      return;
    }
    const BusyScope scope(busy, true);
    switch (event.index) {
    case pin::kTicker:
      if (ramping) {
        kind().tickStep();
      }
      break;
    case pin::kMorphTime:
      applyMorphTime(); // a running glide keeps its start time
      break;
    case pin::kLeft:
      onSideChange(pin::kLeft, pin::kRight, leftSideAction(mode));
      break;
    case pin::kRight:
      onSideChange(pin::kRight, pin::kLeft, rightSideAction(mode));
      break;
    case pin::kPassingMode:
      mode = static_cast<std::int16_t>(getInt(pin::kPassingMode));
      break;
    default:
      break;
    }
  }

  // No range check: 0 gives an infinite rate, a negative time a negative one,
  // and either way the next tick step finishes the glide.
  void applyMorphTime() {
    morphTimeMs = getInt(pin::kMorphTime);
    morphTimeSec = static_cast<float>(morphTimeMs * kSecondsPerMs);
    rate = static_cast<float>(1000.0 / morphTimeMs);
  }

  // Replaces any running glide. The start is what the destination shows now,
  // during a glide the intermediate value last written, so a new glide runs on
  // from there.
  void startGlide(std::int32_t source, std::int32_t destination) {
    auto from = kind().read(destination);
    auto to = kind().read(source);
    kind().beginGlide(std::move(from), std::move(to));
    sourcePin = source;
    destinationPin = destination;
    glideStartClock = processClockMs();
    ramping = true;
    setInt(pin::kTicker, morphTimeMs);
  }

  // Passes the source's value on at once. A running glide goes on: it keeps
  // its delta and start time but now starts from and ends on the value passed.
  void passThrough(std::int32_t source, std::int32_t destination) {
    kind().hold(kind().read(source));
    kind().write(destination, kind().read(source));
  }

  void finishGlide() {
    kind().writeTarget(destinationPin);
    kind().writeTarget(sourcePin);
    setInt(pin::kTicker, 0);
    ramping = false;
  }

  // Reads the process clock for a tick step and keeps the rounded results.
  TickTime measureTick() {
    const std::int32_t elapsedMs = static_cast<std::int32_t>(
        static_cast<std::uint32_t>(processClockMs()) - static_cast<std::uint32_t>(glideStartClock));
    const double seconds = elapsedMs * kSecondsPerMs;
    const double tablePosition = seconds * rate * RampTable::kLastStep;
    elapsedSec = static_cast<float>(seconds);
    position = static_cast<float>(tablePosition);
    return TickTime{seconds, tablePosition};
  }

  // Initialise's copy of the driving side to the other side. The target is
  // stored before the write, so that the write reported back is not new.
  void copyInitialValue(std::int32_t from, std::int32_t to) {
    const auto value = kind().read(from);
    kind().hold(value);
    kind().write(to, value);
  }

  // Kinds whose tick step reads no table have nothing to fill.
  void fillTable() {}

  std::int32_t morphTimeMs = 0;
  std::int32_t sourcePin = 0;
  std::int32_t destinationPin = 0;
  std::int16_t mode = 0;
  bool busy = false;
  bool ramping = false;
  std::int32_t glideStartClock = 0;
  float morphTimeSec = 0.0f;
  float elapsedSec = 0.0f;
  float position = 0.0f;
  float rate = 0.0f;

private:
  void onSideChange(std::int32_t side, std::int32_t otherSide, SideAction action) {
    if (!kind().isNew(kind().read(side))) {
      return; // an ignored change leaves the target as it was
    }
    if (action == SideAction::Glide) {
      startGlide(side, otherSide);
    } else if (action == SideAction::Pass) {
      passThrough(side, otherSide);
    }
  }
};

// The engine for the kinds whose progress follows the RampTable, read with
// linear interpolation. The Kind supplies writeStep(pin, progress).
template <class Kind> class TableRampModule : public RampModule<Kind> {
public:
  using RampModule<Kind>::RampModule;

protected:
  void fillTable() { table.fill(); }

  void tickStep() {
    this->measureTick();
    const float tablePosition = this->position;
    // The position less 0.4999999 (single precision), rounded to nearest: the
    // whole part of the position, except just below an integer, where it is
    // that integer and the fraction turns slightly negative.
    tableIndex = indexBelow(tablePosition) & RampTable::kLastStep;
    fraction = static_cast<float>(static_cast<double>(tablePosition) - tableIndex);
    if (tablePosition > RampTable::kLastStep) {
      tableIndex = RampTable::kLastStep; // the last two entries are 1: progress is 1
    }
    progress = static_cast<float>((1.0 - fraction) * table[tableIndex] +
                                  static_cast<double>(fraction) * table[tableIndex + 1]);
    // A Morph Time of 0 leaves the position without a value (0 × infinity) in
    // the start's own millisecond; that tick finishes the glide at once, as any
    // later one would.
    if (this->elapsedSec <= this->morphTimeSec && !std::isnan(tablePosition)) {
      this->kind().writeStep(this->destinationPin, progress);
    } else {
      this->finishGlide();
    }
  }

  RampTable table;
  float fraction = 0.0f;
  float progress = 0.0f;
  std::int32_t tableIndex = 0;

private:
  static std::int32_t indexBelow(float tablePosition) {
    constexpr double almostHalf = 0.4999999f;
    const double index = nearestEven(tablePosition - almostHalf);
    // Beyond the int32 range (only for positions the finish makes irrelevant)
    // the result is the x86 conversion's INT32_MIN, without undefined behaviour.
    if (!(index >= -0x1p31 && index < 0x1p31)) {
      return INT32_MIN;
    }
    return static_cast<std::int32_t>(index);
  }
};

} // namespace zav
