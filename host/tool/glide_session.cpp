#include "host/tool/glide_session.h"

#include <algorithm>

#include "host/run_loop.h"
#include "host/tool/command_line.h"

namespace zav::tool {
namespace {

constexpr std::int32_t kTickerPin = 0;
constexpr std::int32_t kMorphTimePin = 1;
constexpr std::int32_t kPassingModePin = 4;
constexpr std::int32_t kRampPinCount = 5;

// A ramp module's pins: Ticker and Morph Time ints, two value pins of one kind,
// the Passing Mode a list.
ValueKind checkRampPins(const std::string& path, const std::vector<host::PinCell>& pins) {
  const std::string notRamp = path + " is not a ramp module: ";
  if (pins.size() < kRampPinCount) {
    throw ToolError(notRamp + "it declares " + std::to_string(pins.size()) + " pins, not 5");
  }
  if (pins[kTickerPin].type != PinDataType::Int || pins[kMorphTimePin].type != PinDataType::Int ||
      pins[kPassingModePin].type != PinDataType::List) {
    throw ToolError(notRamp + "pins 0, 1 and 4 are not Ticker, Morph Time and Passing Mode");
  }
  const std::optional<ValueKind> kind = valueKindOf(pins[2].type);
  if (!kind || pins[3].type != pins[2].type) {
    throw ToolError(notRamp + "pins 2 and 3 carry no value of one kind zav-host can glide");
  }
  return *kind;
}

void storePin(host::PinCell& cell, const PinValue& value) {
  switch (value.kind) {
  case ValueKind::Float:
    cell.setFloat(value.number);
    break;
  case ValueKind::Text:
    cell.text = value.text;
    break;
  case ValueKind::Bool:
    cell.setInt(value.truth() ? 1 : 0);
    break;
  default:
    cell.setInt(value.whole);
    break;
  }
}

} // namespace

PinValue defaultFrom(ValueKind kind, const ListItems& items) {
  PinValue value{kind, 0.0f, 0, {}};
  if (kind == ValueKind::Text) {
    value.text = "hello";
  } else if (kind == ValueKind::List && !items.empty()) {
    value.whole = items.front().value;
  }
  return value;
}

PinValue defaultTo(ValueKind kind, const ListItems& items) {
  PinValue value{kind, 10.0f, 10, {}};
  if (kind == ValueKind::Bool) {
    value.whole = 1;
  } else if (kind == ValueKind::Text) {
    value.text = "world";
  } else if (kind == ValueKind::List) {
    value.whole = items.empty() ? 0 : items.back().value;
  }
  return value;
}

std::string glideFailure(const GlideTrace& trace) {
  const std::string destination = sideName(otherSide(trace.source));
  const std::string shown = showValue(trace.samples.back().value, trace.items);
  const std::string mode = modeDescription(trace);
  switch (trace.end) {
  case GlideEnd::NotStarted:
    return "no glide: after the " + std::string(sideName(trace.source)) +
           " side changed, the module started none and the " + destination + " side shows " +
           shown + " (" + mode + ")";
  case GlideEnd::TimedOut:
    return "the glide did not end: within " + std::to_string(safetyTimeoutMs(trace.morphTimeMs)) +
           " ms (Morph Time " + std::to_string(trace.morphTimeMs) +
           " ms) the module never wrote 0 to its Ticker pin; the " + destination + " side shows " +
           shown;
  default:
    return "";
  }
}

std::int32_t defaultModeFor(Side source) { return source == Side::Left ? 0 : 2; }

std::int64_t safetyTimeoutMs(std::int32_t morphTimeMs) {
  return 2 * static_cast<std::int64_t>(std::max(morphTimeMs, 0)) + 5000;
}

GlideSession::GlideSession(const std::string& path) : module(openModuleFile(path)) {
  host.options.logCalls = false;
  instance = host.create(*module.library);
  if (instance == nullptr) {
    throw ToolError(path + " made no module instance: makeModule returned null");
  }
  valueKind = checkRampPins(path, instance->pins);
  host.sendAudio(*instance, audio_op::kOpen);
}

void GlideSession::initialise(const std::optional<std::string>& listText) {
  if (listText) {
    host.setListText(*instance, pinOfSide(Side::Right), host::widen(*listText));
  }
  host.initialise(*instance, false);
}

ListItems GlideSession::valueItems() const {
  return parseListText(host::narrow(instance->pins[pinOfSide(Side::Right)].listText));
}

ListItems GlideSession::modeItems() const {
  return parseListText(host::narrow(instance->pins[kPassingModePin].listText));
}

GlideTrace GlideSession::run(const GlideSettings& settings, GlideObserver& observer) {
  GlideTrace trace;
  trace.moduleName = module.name;
  trace.kind = valueKind;
  trace.source = settings.source;
  trace.morphTimeMs = settings.morphTimeMs;
  trace.tickMs = settings.tickMs;
  trace.mode = settings.mode.value_or(defaultModeFor(settings.source));
  trace.modeName = itemName(PinValue{ValueKind::List, 0.0f, trace.mode, {}}, modeItems());
  trace.from = settings.from;
  trace.to = settings.to;
  if (valueKind == ValueKind::List) {
    trace.items = valueItems();
  }
  const std::int32_t sourcePin = pinOfSide(settings.source);
  const std::int32_t destinationPin = pinOfSide(otherSide(settings.source));
  auto destinationValue = [&] { return readPin(instance->pins[destinationPin], valueKind); };

  host.options.tickPeriodMs = settings.tickMs;
  host.setInt(*instance, kMorphTimePin, settings.morphTimeMs);
  host.setInt(*instance, kPassingModePin, trace.mode);
  // The module glides only to a value that differs from the one it holds, which
  // after Initialise is the source's. A source that shows the target already
  // goes to the start value first.
  if (sameValue(readPin(instance->pins[sourcePin], valueKind), settings.to)) {
    writePin(host, *instance, sourcePin, settings.from);
  }
  // The destination shows the start value without a report: in a mode that
  // glides the destination's changes too, a report would start a glide the other
  // way. A glide reads its start from the destination when it begins.
  storePin(instance->pins[destinationPin], settings.from);

  // From here on a 0 on the Ticker pin may be a glide start (Morph Time 0) as
  // well as a finish: the ticker answers it with one more tick.
  host.options.tickAfterZero = true;
  bool finished = false;
  const std::int64_t startMs = clock.nowMs();
  host.onTick = [&](host::Instance&) {
    if (finished) {
      return; // the tick that answers the finish's 0 finds no glide
    }
    trace.samples.push_back(TraceSample{clock.nowMs() - startMs, destinationValue()});
    // The ticker has just put a non-zero count on its pin; a 0 there now is the
    // module's finish.
    finished = instance->pins[kTickerPin].asInt() == 0;
    observer.stepped(trace);
  };
  writePin(host, *instance, sourcePin, settings.to);
  trace.samples.push_back(TraceSample{0, destinationValue()});
  observer.started(trace);

  if (!instance->tickerRunning) {
    const bool tookTarget =
        !sameValue(settings.from, settings.to) && sameValue(destinationValue(), settings.to);
    trace.end = tookTarget ? GlideEnd::PassedAtOnce : GlideEnd::NotStarted;
  } else {
    const host::RunEnd end = host::runTickers(host, startMs + safetyTimeoutMs(settings.morphTimeMs),
                                              [this](std::int64_t ms) { clock.sleepUntil(ms); });
    trace.end = end == host::RunEnd::TickersStopped ? GlideEnd::Finished : GlideEnd::TimedOut;
  }
  host.onTick = nullptr;
  host.options.tickAfterZero = false;
  trace.sourceAtEnd = readPin(instance->pins[sourcePin], valueKind);
  observer.ended(trace);
  return trace;
}

} // namespace zav::tool
