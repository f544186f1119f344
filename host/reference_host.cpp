#include "host/reference_host.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace zav::host {
namespace {

// The HostCallback carries no context of its own: the host finds the instance
// and itself by the record the module passes first.
struct Registration {
  ReferenceHost* host;
  Instance* instance;
  bool audioSide;
};

std::unordered_map<const void*, Registration>& registry() {
  static std::unordered_map<const void*, Registration> records;
  return records;
}

constexpr std::int32_t kMaxDeclaredPins = 256;

// The GUI object the host is calling right now: nearly every host call comes
// from it, and is served without a look-up.
struct CalledObject {
  const void* record = nullptr;
  ReferenceHost* host = nullptr;
  Instance* instance = nullptr;
};
CalledObject calledNow;

} // namespace

float PinCell::asFloat() const {
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

void PinCell::setFloat(float value) { std::memcpy(&bits, &value, sizeof value); }

std::u16string widen(const std::string& text) {
  std::u16string wide;
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    char32_t code = extra == 0 ? lead : (lead & (0x3F >> extra));
    std::size_t next = i + 1;
    for (int k = 0; k < extra && next < text.size(); ++k, ++next) {
      code = (code << 6) | (static_cast<unsigned char>(text[next]) & 0x3F);
    }
    if (code >= 0x10000) {
      code -= 0x10000;
      wide.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
      wide.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
    } else {
      wide.push_back(static_cast<char16_t>(code));
    }
    i = next;
  }
  return wide;
}

std::string narrow(const std::u16string& text) {
  std::string narrowed;
  const auto append = [&narrowed](char32_t code) {
    if (code < 0x80) {
      narrowed.push_back(static_cast<char>(code));
      return;
    }
    constexpr unsigned char leadBits[] = {0x00, 0xC0, 0xE0, 0xF0};
    const int extra = code < 0x800 ? 1 : code < 0x10000 ? 2 : 3;
    narrowed.push_back(static_cast<char>(leadBits[extra] | (code >> (6 * extra))));
    for (int shift = 6 * (extra - 1); shift >= 0; shift -= 6) {
      narrowed.push_back(static_cast<char>(0x80 | ((code >> shift) & 0x3F)));
    }
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i];
    const bool high = unit >= 0xD800 && unit < 0xDC00;
    const bool low = unit >= 0xDC00 && unit < 0xE000;
    if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
      append(0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
      ++i;
    } else {
      append(high || low ? U'\uFFFD' : static_cast<char32_t>(unit));
    }
  }
  return narrowed;
}

ReferenceHost::ReferenceHost(Clock& clock) : clockSource(clock) {}

ReferenceHost::~ReferenceHost() {
  while (!instanceList.empty()) {
    destroy(*instanceList.back());
  }
}

std::intptr_t ReferenceHost::callback(void* record, std::int32_t operation, std::int32_t a,
                                      std::int32_t b, void* c, float d) {
  if (record == calledNow.record) {
    return calledNow.host->serveGui(calledNow.instance, operation, a, b, c, d);
  }
  const auto found = registry().find(record);
  if (found == registry().end()) {
    return 0;
  }
  const Registration& where = found->second;
  return where.audioSide ? where.host->serveAudio(where.instance, operation, a, b, c, d)
                         : where.host->serveGui(where.instance, operation, a, b, c, d);
}

Instance& ReferenceHost::add(std::unique_ptr<Instance> instance) {
  instance->id = nextId++;
  Instance& added = *instance;
  instanceList.push_back(std::move(instance));
  registry()[added.gui] = Registration{this, &added, false};
  if (added.audio != nullptr) {
    registry()[added.audio] = Registration{this, &added, true};
  }
  return added;
}

Instance& ReferenceHost::adopt(GuiHostRecord* gui, const std::vector<PinDataType>& pinTypes) {
  auto instance = std::make_unique<Instance>();
  instance->gui = gui;
  for (const PinDataType type : pinTypes) {
    instance->pins.push_back(PinCell{type, 0, {}, {}});
  }
  return add(std::move(instance));
}

Instance& ReferenceHost::adopt(GuiHostRecord* gui, AudioHostRecord* audio) {
  auto instance = std::make_unique<Instance>();
  instance->gui = gui;
  instance->audio = audio;
  for (std::int32_t index = 0; index < kMaxDeclaredPins; ++index) {
    PinProperties declaration{};
    if (audio->dispatcher(audio, audio_op::kGetPinProperties, index, 0, &declaration, 0.0f) == 0) {
      break;
    }
    PinCell cell;
    cell.type = static_cast<PinDataType>(declaration.dataType);
    const char* defaultText = declaration.defaultText != nullptr ? declaration.defaultText : "";
    if (cell.type == PinDataType::Float) {
      cell.setFloat(std::strtof(defaultText, nullptr));
    } else if (cell.type == PinDataType::Text) {
      cell.text = defaultText;
    } else {
      cell.setInt(static_cast<std::int32_t>(std::strtol(defaultText, nullptr, 0)));
    }
    if (declaration.listText != nullptr) {
      cell.listText = widen(declaration.listText);
    }
    instance->pins.push_back(std::move(cell));
  }
  return add(std::move(instance));
}

Instance* ReferenceHost::create(ModuleLibrary& library, std::intptr_t reserved) {
  auto* audio = static_cast<AudioHostRecord*>(
      library.makeModule(0, static_cast<std::int32_t>(ObjectKind::Audio), &callback, reserved));
  auto* gui = static_cast<GuiHostRecord*>(
      library.makeModule(0, static_cast<std::int32_t>(ObjectKind::Gui), &callback, reserved));
  if (audio == nullptr || gui == nullptr) {
    if (audio != nullptr) {
      audio->dispatcher(audio, audio_op::kClose, 0, 0, nullptr, 0.0f);
    }
    if (gui != nullptr) {
      gui->dispatcher(gui, gui_op::kClose, 0, 0, nullptr, 0.0f);
    }
    return nullptr;
  }
  return &adopt(gui, audio);
}

void ReferenceHost::destroy(Instance& instance) {
  GuiHostRecord* gui = instance.gui;
  AudioHostRecord* audio = instance.audio;
  registry().erase(gui);
  if (audio != nullptr) {
    registry().erase(audio);
  }
  const bool closed = instance.closed;
  const auto found = std::find_if(instanceList.begin(), instanceList.end(),
                                  [&](const auto& held) { return held.get() == &instance; });
  instanceList.erase(found);
  if (closed) {
    return;
  }
  gui->dispatcher(gui, gui_op::kClose, 0, 0, nullptr, 0.0f);
  if (audio != nullptr) {
    audio->dispatcher(audio, audio_op::kClose, 0, 0, nullptr, 0.0f);
  }
}

void ReferenceHost::reapClosed() {
  std::erase_if(instanceList, [](const auto& held) { return held->closed; });
}

// The module goes on with the operation that made the call; the host keeps
// serving it until then, but reports nothing more to it.
void ReferenceHost::closeInside(Instance& instance) {
  instance.closed = true;
  instance.tickerRunning = false;
  registry().erase(instance.gui);
  instance.gui->dispatcher(instance.gui, gui_op::kClose, 0, 0, nullptr, 0.0f);
  if (instance.audio != nullptr) {
    registry().erase(instance.audio);
    instance.audio->dispatcher(instance.audio, audio_op::kClose, 0, 0, nullptr, 0.0f);
  }
}

std::int32_t ReferenceHost::sendGui(Instance& instance, std::int32_t operation, std::int32_t a,
                                    std::int32_t b, void* c, float d) {
  if (instance.closed) {
    return 0;
  }
  if (dispatchObserver) {
    dispatchObserver(instance, operation, a, false);
  }
  const CalledObject caller = calledNow;
  calledNow = CalledObject{instance.gui, this, &instance};
  // Restored after the call: a nested call (a report back) and its caller each
  // find their own object.
  const std::int32_t answer = instance.gui->dispatcher(instance.gui, operation, a, b, c, d);
  calledNow = caller;
  if (dispatchObserver) {
    dispatchObserver(instance, operation, a, true);
  }
  return answer;
}

std::intptr_t ReferenceHost::sendAudio(Instance& instance, std::int32_t operation, std::int32_t a,
                                       std::int32_t b, void* c, float d) {
  return instance.audio->dispatcher(instance.audio, operation, a, b, c, d);
}

void ReferenceHost::initialise(Instance& instance, bool loaded) {
  sendGui(instance, gui_op::kInitialise, loaded ? 1 : 0);
}

void ReferenceHost::setInt(Instance& instance, std::int32_t pin, std::int32_t value) {
  instance.pins.at(static_cast<std::size_t>(pin)).setInt(value);
  reportChange(instance, pin);
}

void ReferenceHost::setFloat(Instance& instance, std::int32_t pin, float value) {
  instance.pins.at(static_cast<std::size_t>(pin)).setFloat(value);
  reportChange(instance, pin);
}

void ReferenceHost::setText(Instance& instance, std::int32_t pin, const std::string& text) {
  instance.pins.at(static_cast<std::size_t>(pin)).text = text;
  reportChange(instance, pin);
}

void ReferenceHost::setListText(Instance& instance, std::int32_t pin, const std::u16string& text) {
  instance.pins.at(static_cast<std::size_t>(pin)).listText = text;
}

void ReferenceHost::tick(Instance& instance) {
  instance.pins.at(0).setInt(++instance.tickerCount);
  reportChange(instance, 0);
  if (onTick) {
    onTick(instance);
  }
}

bool ReferenceHost::serviceTickers() {
  const std::int64_t now = clockSource.nowMs();
  std::int64_t earliestDue = now;
  bool served = false;
  bool anyRunning = false;
  // A tick may destroy nothing, but it may start or stop tickers: index, not iterators.
  for (std::size_t i = 0; i < instanceList.size(); ++i) {
    Instance& instance = *instanceList[i];
    while (instance.tickerRunning && instance.nextTickMs <= now) {
      earliestDue = std::min(earliestDue, instance.nextTickMs);
      served = true;
      instance.nextTickMs += options.tickPeriodMs;
      ++ticks;
      // This tick is the last unless the module writes to the pin again.
      if (instance.tickerStopsAfterTick) {
        instance.tickerStopsAfterTick = false;
        instance.tickerRunning = false;
      }
      tick(instance);
    }
    anyRunning = anyRunning || instance.tickerRunning;
  }
  // The tick that was due first was served last at worst.
  if (served) {
    worstLateness = std::max(worstLateness, clockSource.nowMs() - earliestDue);
  }
  return anyRunning;
}

void ReferenceHost::reportChange(Instance& instance, std::int32_t pin) {
  if (reportDepth >= options.maxReportDepth) {
    fault(instance, "reports of writes back nested " + std::to_string(reportDepth) +
                        " deep: the module handles changes it caused itself");
    return;
  }
  ++reportDepth;
  sendGui(instance, gui_op::kPinChanged, pin);
  --reportDepth;
}

void ReferenceHost::fault(const Instance& instance, std::string what) {
  // A module in a loop could repeat one fault without end: the first hundred tell the story.
  constexpr std::size_t kMaxFaults = 100;
  if (faults.size() < kMaxFaults) {
    faults.push_back("instance " + std::to_string(instance.id) + ": " + std::move(what));
  }
}

PinCell* ReferenceHost::pinOf(Instance* instance, std::int32_t pin, std::int32_t operation) {
  if (pin < 0 || static_cast<std::size_t>(pin) >= instance->pins.size()) {
    ++strayAccesses;
    fault(*instance, "host operation " + std::to_string(operation) + " on pin " +
                         std::to_string(pin) + ", which the module does not have");
    return nullptr;
  }
  return &instance->pins[static_cast<std::size_t>(pin)];
}

// A text the module hands over. List texts come with their buffer's capacity
// (b): the host reads no further than that, whether or not a terminator comes.
std::string ReferenceHost::takeText(const Instance& instance, std::int32_t operation,
                                    std::int32_t capacity, const void* text) {
  if (text == nullptr) {
    fault(instance, "host operation " + std::to_string(operation) + " with a null text");
    return {};
  }
  const auto* chars = static_cast<const char*>(text);
  if (operation != gui_host_op::kSetPinListText) {
    return chars;
  }
  if (capacity <= 0) {
    fault(instance, "list text handed over with capacity " + std::to_string(capacity));
    return {};
  }
  const auto* end =
      static_cast<const char*>(std::memchr(chars, 0, static_cast<std::size_t>(capacity)));
  if (end == nullptr) {
    fault(instance, "list text not terminated within its " + std::to_string(capacity) +
                        "-byte buffer: the host would read past it");
    return std::string(chars, static_cast<std::size_t>(capacity));
  }
  return std::string(chars, end);
}

// The ticker module starts on a non-zero value written to its pin and stops on 0
// (with tickAfterZero, after one more tick).
void ReferenceHost::noteTickerWrite(Instance& instance, std::int32_t pin, std::int32_t value) {
  if (pin != 0) {
    return;
  }
  const bool runs = value != 0 || options.tickAfterZero;
  if (runs && !instance.tickerRunning) {
    instance.nextTickMs = clockSource.nowMs() + options.tickPeriodMs;
  }
  instance.tickerRunning = runs;
  instance.tickerStopsAfterTick = value == 0 && options.tickAfterZero;
}

std::intptr_t ReferenceHost::serveGui(Instance* instance, std::int32_t operation, std::int32_t a,
                                      std::int32_t b, void* c, float d) {
  HostCall call{instance->id, false, operation, a, b, d, {}, false};
  std::intptr_t answer = 0;
  bool written = false;
  switch (operation) {
  case gui_host_op::kSetPinText:
  case gui_host_op::kSetPinListText: {
    call.hadNullPointer = c == nullptr;
    call.text = takeText(*instance, operation, b, c);
    if (PinCell* cell = pinOf(instance, a, operation)) {
      if (operation == gui_host_op::kSetPinText) {
        cell->text = call.text;
      } else {
        cell->listText = widen(call.text);
      }
      written = true;
    }
    break;
  }
  case gui_host_op::kGetPinText:
    if (PinCell* cell = pinOf(instance, a, operation)) {
      answer = reinterpret_cast<std::intptr_t>(cell->text.c_str());
    }
    break;
  case gui_host_op::kGetPinValue:
    call.hadNullPointer = c == nullptr;
    if (c == nullptr) {
      fault(*instance, "host operation 14 without a cell to fill");
    }
    if (PinCell* cell = pinOf(instance, a, operation); cell != nullptr && c != nullptr) {
      std::memcpy(c, &cell->bits, sizeof cell->bits);
    }
    break;
  case gui_host_op::kSetPinValue:
    if (PinCell* cell = pinOf(instance, a, operation)) {
      if (cell->type == PinDataType::Float) {
        cell->setFloat(d);
      } else {
        cell->setInt(b);
      }
      noteTickerWrite(*instance, a, b);
      written = true;
    }
    break;
  case gui_host_op::kGetPinListText:
    call.hadNullPointer = c == nullptr;
    if (PinCell* cell = pinOf(instance, a, operation)) {
      const std::u16string& text = cell->listText;
      if (b == 0 && c == nullptr) {
        answer = static_cast<std::intptr_t>(text.size() + 1);
      } else if (b > 0 && c != nullptr) {
        auto* buffer = static_cast<char16_t*>(c);
        const auto capacity = static_cast<std::size_t>(b);
        if (options.listTextFiller != 0) {
          const std::size_t length = std::min(text.size(), capacity);
          std::copy_n(text.begin(), length, buffer);
          std::fill(buffer + length, buffer + capacity, options.listTextFiller);
        } else if (options.unterminatedListText && text.size() >= capacity) {
          std::copy_n(text.begin(), capacity, buffer);
        } else {
          const std::size_t length = std::min(text.size(), capacity - 1);
          std::copy_n(text.begin(), length, buffer);
          buffer[length] = u'\0';
        }
      }
    }
    break;
  default:
    break;
  }
  if (observer) {
    observer(*instance, call);
  }
  if (options.logCalls) {
    callLog.push_back(std::move(call));
  }
  if (options.closeInsideNextCall) {
    options.closeInsideNextCall = false;
    closeInside(*instance);
  }
  if (written && options.reportWritesBack) {
    reportChange(*instance, a);
  }
  return answer;
}

std::intptr_t ReferenceHost::serveAudio(Instance* instance, std::int32_t operation, std::int32_t a,
                                        std::int32_t b, void* c, float d) {
  if (options.logCalls) {
    callLog.push_back(HostCall{instance->id, true, operation, a, b, d, {}, c == nullptr});
  }
  if (operation == audio_host_op::kGetPlugCount) {
    return options.plugCount;
  }
  return 0;
}

} // namespace zav::host
