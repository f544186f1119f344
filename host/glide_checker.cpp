#include "host/glide_checker.h"

#include <cmath>
#include <sstream>

namespace zav::host {
namespace {

using ramp_pin::kLeft;
using ramp_pin::kRight;
using ramp_pin::kTicker;

// The modules turn milliseconds into seconds with 0.001 taken in single
// precision and compare the two times once each is rounded to single
// precision. A tick that passes this test passes every kind's end test.
bool tickComesAfterMorphTime(std::int32_t elapsedMs, std::int32_t morphTimeMs) {
  constexpr double secondsPerMs = 0.001f;
  return static_cast<float>(elapsedMs * secondsPerMs) >
         static_cast<float>(morphTimeMs * secondsPerMs);
}

// The module's clock is a signed 32-bit count: differences wrap.
std::int32_t wrapped(std::int64_t ms) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(ms)));
}

bool isSide(std::int32_t pin) { return pin == kLeft || pin == kRight; }

} // namespace

bool samePinValue(const PinCell& x, const PinCell& y) {
  switch (x.type) {
  case PinDataType::Float:
    return x.asFloat() == y.asFloat() || (std::isnan(x.asFloat()) && std::isnan(y.asFloat()));
  case PinDataType::Text:
    return x.text == y.text;
  case PinDataType::Bool:
    return (x.bits != 0) == (y.bits != 0);
  default:
    return x.bits == y.bits;
  }
}

std::string describePinValue(const PinCell& cell) {
  std::ostringstream out;
  switch (cell.type) {
  case PinDataType::Float:
    out << cell.asFloat();
    break;
  case PinDataType::Text:
    out << "a text of " << cell.text.size() << " bytes";
    if (cell.text.size() <= 40) {
      out << " \"" << cell.text << "\"";
    }
    break;
  default:
    out << cell.asInt();
    break;
  }
  return out.str();
}

GlideChecker::GlideChecker(ReferenceHost& observed, std::int64_t clockSlackMs)
    : host(observed), slackMs(clockSlackMs) {
  host.observer = [this](Instance& instance, const HostCall& call) { onCall(instance, call); };
  host.dispatchObserver = [this](Instance& instance, std::int32_t operation, std::int32_t a,
                                 bool done) { onDispatch(instance, operation, a, done); };
}

GlideChecker::~GlideChecker() {
  host.observer = nullptr;
  host.dispatchObserver = nullptr;
}

void GlideChecker::forget(const Instance& instance) { tracks.erase(instance.id); }

bool GlideChecker::gliding(const Instance& instance) const {
  const auto found = tracks.find(instance.id);
  return found != tracks.end() && found->second.glide.has_value();
}

void GlideChecker::onDispatch(Instance& instance, std::int32_t operation, std::int32_t a,
                              bool done) {
  Track& track = tracks[instance.id];
  if (!done) {
    if (track.depth++ == 0) {
      track.operation = operation;
      track.pin = a;
      beginOperation(instance, track);
    }
    return;
  }
  if (--track.depth == 0) {
    endOperation(instance, track);
  }
}

void GlideChecker::beginOperation(Instance& /*instance*/, Track& track) {
  track.sentEarliestMs = host.clock().nowMs();
  track.tickerWrite.reset();
  track.otherSideWrite.reset();
  track.expectFinish = false;
  if (track.operation == gui_op::kPinChanged && track.pin == kTicker && track.glide &&
      track.morphTimeMs) {
    const std::int64_t elapsed = track.sentEarliestMs - track.glide->startLatestMs - slackMs;
    track.expectFinish = tickComesAfterMorphTime(wrapped(elapsed), *track.morphTimeMs);
  }
}

void GlideChecker::endOperation(Instance& instance, Track& track) {
  if (track.operation == gui_op::kInitialise) {
    track.glide.reset(); // Initialise ends a glide without a pin write
    return;
  }
  if (track.operation != gui_op::kPinChanged) {
    return;
  }
  if (track.pin == kTicker) {
    if (track.glide && track.tickerWrite == 0) {
      checkFinish(instance, *track.glide);
      track.glide.reset();
    } else if (track.glide && track.expectFinish) {
      std::ostringstream what;
      what << "a tick " << wrapped(track.sentEarliestMs - track.glide->startLatestMs)
           << " ms after a glide start, past its Morph Time of " << *track.morphTimeMs
           << " ms, did not finish it (no 0 written to the Ticker)";
      fault(instance, what.str());
      track.glide.reset(); // one report per glide
    }
    return;
  }
  if (!isSide(track.pin)) {
    return;
  }
  if (track.tickerWrite) {
    if (track.morphTimeMs && *track.tickerWrite != *track.morphTimeMs) {
      fault(instance, "a glide start wrote " + std::to_string(*track.tickerWrite) +
                          " to the Ticker, not the Morph Time " +
                          std::to_string(*track.morphTimeMs));
    }
    track.morphTimeMs = *track.tickerWrite;
    Glide glide;
    glide.startLatestMs = host.clock().nowMs();
    glide.source = track.pin;
    glide.destination = kLeft + kRight - track.pin;
    glide.target = finishValueOf(instance, instance.pins.at(static_cast<std::size_t>(track.pin)));
    track.glide = glide;
  } else if (track.otherSideWrite && track.glide) {
    // A value passed on at once during a glide becomes the value it ends on.
    track.glide->target = finishValueOf(instance, *track.otherSideWrite);
  }
}

void GlideChecker::onCall(Instance& instance, const HostCall& call) {
  Track& track = tracks[instance.id];
  const bool pinExists = call.a >= 0 && static_cast<std::size_t>(call.a) < instance.pins.size();
  if (!pinExists) {
    return; // the host reports stray pins itself
  }
  const PinCell& cell = instance.pins[static_cast<std::size_t>(call.a)];
  if (call.operation == gui_host_op::kGetPinValue && call.a == ramp_pin::kMorphTime) {
    track.morphTimeMs = cell.asInt();
  }
  const bool write =
      call.operation == gui_host_op::kSetPinValue || call.operation == gui_host_op::kSetPinText;
  if (!write) {
    return;
  }
  if (call.a == kTicker && call.operation == gui_host_op::kSetPinValue) {
    track.tickerWrite = call.b;
  } else if (track.operation == gui_op::kPinChanged && isSide(track.pin) &&
             call.a == kLeft + kRight - track.pin) {
    track.otherSideWrite = cell;
  }
}

void GlideChecker::checkFinish(const Instance& instance, const Glide& glide) {
  ++finished;
  const PinCell& destination = instance.pins.at(static_cast<std::size_t>(glide.destination));
  const PinCell& source = instance.pins.at(static_cast<std::size_t>(glide.source));
  std::ostringstream what;
  if (glide.target) {
    ++predicted;
    if (!samePinValue(destination, *glide.target) || !samePinValue(source, *glide.target)) {
      what << "a finished glide toward " << describePinValue(*glide.target) << " left pin "
           << glide.destination << " at " << describePinValue(destination) << " and pin "
           << glide.source << " at " << describePinValue(source);
    }
  } else if (!samePinValue(destination, source)) {
    what << "a finished glide left the two sides different: pin " << glide.destination << " at "
         << describePinValue(destination) << ", pin " << glide.source << " at "
         << describePinValue(source);
  }
  if (what.tellp() > 0) {
    fault(instance, what.str());
  }
  if (instance.pins.at(kTicker).asInt() != 0) {
    fault(instance, "a finished glide left " + std::to_string(instance.pins[0].asInt()) +
                        " on the Ticker pin, not 0");
  }
}

std::optional<PinCell> GlideChecker::finishValueOf(const Instance& instance,
                                                   const PinCell& value) const {
  PinCell target;
  target.type = instance.pins.at(kLeft).type;
  switch (target.type) {
  case PinDataType::Float:
    target.bits = value.bits;
    return target;
  case PinDataType::Int: {
    // Held in single precision; 2^31 has no int32 form.
    const float held = static_cast<float>(value.asInt());
    if (held >= 0x1p31f) {
      return std::nullopt;
    }
    target.setInt(static_cast<std::int32_t>(held));
    return target;
  }
  case PinDataType::Bool:
    target.setInt(value.bits != 0 ? 1 : 0);
    return target;
  case PinDataType::Text:
    target.text = value.text;
    return target;
  default:
    return std::nullopt;
  }
}

void GlideChecker::fault(const Instance& instance, const std::string& what) {
  constexpr std::size_t kMaxFaults = 100;
  if (found.size() < kMaxFaults) {
    found.push_back("instance " + std::to_string(instance.id) + ": " + what);
  }
}

} // namespace zav::host
