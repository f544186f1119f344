// The least a host can do for one module object: five pin cells, their texts
// and one list text, served without logging or look-ups, so that a benchmark
// measures the module and not the host.
#pragma once

#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "framework/gui_module_base.h"
#include "framework/host_interface.h"

namespace zav::bench {

class MinimalHost {
public:
  explicit MinimalHost(std::vector<PinDataType> pinTypes)
      : types(std::move(pinTypes)), cells(types.size()), texts(types.size()) {
    active = this;
  }
  ~MinimalHost() { active = nullptr; }

  static std::intptr_t callback(void* /*record*/, std::int32_t operation, std::int32_t a,
                                std::int32_t b, void* c, float d) {
    MinimalHost& host = *active;
    if (a < 0 || static_cast<std::size_t>(a) >= host.cells.size()) {
      return 0;
    }
    const auto pin = static_cast<std::size_t>(a);
    switch (operation) {
    case gui_host_op::kGetPinValue:
      std::memcpy(c, &host.cells[pin], sizeof(std::uint32_t));
      return 0;
    case gui_host_op::kSetPinValue:
      if (host.types[pin] == PinDataType::Float) {
        std::memcpy(&host.cells[pin], &d, sizeof d);
      } else {
        host.cells[pin] = static_cast<std::uint32_t>(b);
      }
      return 0;
    case gui_host_op::kGetPinText:
      return reinterpret_cast<std::intptr_t>(host.texts[pin].c_str());
    case gui_host_op::kSetPinText:
      host.texts[pin].assign(static_cast<const char*>(c));
      return 0;
    case gui_host_op::kGetPinListText: {
      if (c == nullptr) {
        return static_cast<std::intptr_t>(host.listText.size() + 1);
      }
      const std::size_t length = std::min(host.listText.size(), static_cast<std::size_t>(b) - 1);
      std::memcpy(c, host.listText.data(), length * sizeof(char16_t));
      static_cast<char16_t*>(c)[length] = u'\0';
      return 0;
    }
    default:
      return 0;
    }
  }

  void* record() { return this; }
  void setFloat(std::int32_t pin, float value) {
    std::memcpy(&cells[static_cast<std::size_t>(pin)], &value, 4);
  }
  void setInt(std::int32_t pin, std::int32_t value) {
    cells[static_cast<std::size_t>(pin)] = static_cast<std::uint32_t>(value);
  }

  std::vector<PinDataType> types;
  std::vector<std::uint32_t> cells;
  std::vector<std::string> texts;
  std::u16string listText;

private:
  static inline MinimalHost* active = nullptr;
};

// How a benchmark gives the left side of a kind two different values in turn.
template <class Kind> struct BenchValues;

// One module object of a kind in the minimal host, gliding toward a target it
// never reaches: its Morph Time is the longest there is.
template <class Kind> class GlidingObject {
public:
  explicit GlidingObject(std::size_t textLength)
      : host({PinDataType::Int, PinDataType::Int, Kind::kValueType, Kind::kValueType,
              PinDataType::List}),
        length(textLength) {
    BenchValues<Kind>::prepare(host, length);
    record = (new Kind(&MinimalHost::callback, 0))->record();
    send(gui_op::kInitialise, 0);
    host.setInt(1, std::numeric_limits<std::int32_t>::max());
    send(gui_op::kPinChanged, 1);
    retarget();
  }
  ~GlidingObject() { send(gui_op::kClose); }
  GlidingObject(const GlidingObject&) = delete;
  GlidingObject& operator=(const GlidingObject&) = delete;

  void tick() { send(gui_op::kPinChanged, 0); }
  void retarget() {
    flip = !flip;
    BenchValues<Kind>::setLeft(host, flip, length);
    send(gui_op::kPinChanged, 2);
  }
  std::int32_t send(std::int32_t operation, std::int32_t a = 0) {
    return record->dispatcher(record, operation, a, 0, nullptr, 0.0f);
  }

  MinimalHost host;

private:
  std::size_t length;
  GuiHostRecord* record = nullptr;
  bool flip = false;
};

} // namespace zav::bench
