// The reference host: plays the host application and its ticker module for
// module objects, whether linked in or loaded from a library. It knows the
// binary interface (framework/host_interface.h) and nothing else of ours.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "framework/host_interface.h"
#include "host/clocks.h"
#include "host/module_library.h"

namespace zav::host {

// One pin as the host stores it.
struct PinCell {
  PinDataType type = PinDataType::Int;
  std::uint32_t bits = 0;  // the value: int32 for int, bool and list pins, float for float pins
  std::string text;        // the value of a text pin
  std::u16string listText; // the item list of a list pin

  std::int32_t asInt() const { return static_cast<std::int32_t>(bits); }
  float asFloat() const;
  void setInt(std::int32_t value) { bits = static_cast<std::uint32_t>(value); }
  void setFloat(float value);
};

// One call a module made to the host, as the host saw it.
struct HostCall {
  int instance = -1; // the Instance's id, or -1 for a record the host does not know
  bool audioSide = false;
  std::int32_t operation = 0;
  std::int32_t a = 0;
  std::int32_t b = 0;
  float d = 0.0f;
  std::string text; // operations 6 and 16: the text handed over
  bool hadNullPointer = false;

  std::int32_t intValue() const { return b; }
};

struct Instance {
  int id = 0;
  GuiHostRecord* gui = nullptr;
  AudioHostRecord* audio = nullptr;
  std::vector<PinCell> pins;
  // The ticker module connected to pin 0.
  bool tickerRunning = false;
  bool tickerStopsAfterTick = false; // HostOptions::tickAfterZero: a 0 was written
  std::int64_t nextTickMs = 0;
  std::int32_t tickerCount = 0;
  // Closed by the host from inside one of its own host calls
  // (HostOptions::closeInsideNextCall): sent nothing more, gone at reapClosed.
  bool closed = false;
};

struct HostOptions {
  // Report each pin write back to the writing object (GUI operation 7) from
  // inside the write, before it returns, as a host may.
  bool reportWritesBack = false;
  // The ticker changes pin 0 this often while it runs.
  std::int64_t tickPeriodMs = 10;
  // The ticker changes pin 0 once more after a 0 is written to it, then stops.
  // A glide started with Morph Time 0 writes 0 as its start, and only a later
  // tick finishes it; after a finish the extra tick finds no glide.
  bool tickAfterZero = false;
  // The answer to audio host operation 14 (getPlugCount).
  std::int32_t plugCount = 0;
  // Keep a log of every host call (off for scale runs).
  bool logCalls = true;
  // Answer GUI host operation 17 without a terminator when the text fills the
  // buffer, as a careless host might.
  bool unterminatedListText = false;
  // How deep reports of writes back may nest before the host stops reporting:
  // a module that handles its own reports would otherwise recurse without end.
  int maxReportDepth = 8;
  // Close the module that makes the next GUI host call, both its objects
  // (operation 1), from inside that call, as a host may when the user deletes
  // the module at that moment. Cleared once done.
  bool closeInsideNextCall = false;
  // When not 0: answer GUI host operation 17 by filling the whole buffer, up
  // to the capacity asked with, with the text and then this code unit, and no
  // terminator, whatever the text's length, as a host that ignores the text's
  // end might.
  char16_t listTextFiller = 0;
};

class ReferenceHost {
public:
  explicit ReferenceHost(Clock& clock);
  ~ReferenceHost();
  ReferenceHost(const ReferenceHost&) = delete;
  ReferenceHost& operator=(const ReferenceHost&) = delete;

  // The HostCallback to hand to makeModule.
  static std::intptr_t callback(void* record, std::int32_t operation, std::int32_t a,
                                std::int32_t b, void* c, float d);

  // Takes a GUI-side object made in this process, with the pin types the host
  // would have learned from the audio side.
  Instance& adopt(GuiHostRecord* gui, const std::vector<PinDataType>& pinTypes);
  // Takes both objects of an instance; the pins, their types and defaults come
  // from the audio side's declarations (audio operation 6).
  Instance& adopt(GuiHostRecord* gui, AudioHostRecord* audio);
  // Makes both objects of a new instance with the library's makeModule and
  // adopts them; null when the library makes either object null.
  Instance* create(ModuleLibrary& library, std::intptr_t reserved = 0);
  // Closes both objects (operation 1) and forgets the instance.
  void destroy(Instance& instance);
  // Forgets the instances closed from inside a host call; their objects are
  // gone once the operation in progress returned.
  void reapClosed();

  // Host to module.
  std::int32_t sendGui(Instance& instance, std::int32_t operation, std::int32_t a = 0,
                       std::int32_t b = 0, void* c = nullptr, float d = 0.0f);
  std::intptr_t sendAudio(Instance& instance, std::int32_t operation, std::int32_t a = 0,
                          std::int32_t b = 0, void* c = nullptr, float d = 0.0f);
  void initialise(Instance& instance, bool loaded);
  // Change a pin from outside (a connection or the user) and report it.
  void setInt(Instance& instance, std::int32_t pin, std::int32_t value);
  void setFloat(Instance& instance, std::int32_t pin, float value);
  void setText(Instance& instance, std::int32_t pin, const std::string& text);
  void setListText(Instance& instance, std::int32_t pin, const std::u16string& text);
  // The ticker changes pin 0 once and reports it, whether running or not.
  void tick(Instance& instance);
  // Lets every running ticker change its pin for each period due by now.
  // Returns true while any ticker still runs.
  bool serviceTickers();

  Clock& clock() { return clockSource; }
  std::vector<HostCall>& calls() { return callLog; }
  // Ticks the ticker served, and the most any of them came after it was due.
  std::int64_t ticksServed() const { return ticks; }
  std::int64_t worstTickLatenessMs() const { return worstLateness; }
  // Pin reads and writes a module made to pins it does not have.
  int strayPinAccesses() const { return strayAccesses; }
  // Every breach of the binary interface the host saw, in words: a pin the
  // module does not have, a list text not terminated within its capacity, a
  // null text, reports nested past maxReportDepth.
  const std::vector<std::string>& protocolFaults() const { return faults; }
  void clearProtocolFaults() { faults.clear(); }
  // Sees every GUI-side call a module makes, once the host has served it (and
  // before any report of it back to the module).
  std::function<void(Instance&, const HostCall&)> observer;
  // Sees every GUI operation the host sends (sendGui, and so every pin change
  // and tick it reports), before it is sent (`done` false) and after it
  // returned (`done` true).
  std::function<void(Instance&, std::int32_t operation, std::int32_t a, bool done)>
      dispatchObserver;
  std::vector<std::unique_ptr<Instance>>& instances() { return instanceList; }

  HostOptions options;
  // Called after every change the ticker reports on pin 0, once the module has
  // handled it: where a tool or a test watches a glide step by step.
  std::function<void(Instance&)> onTick;

private:
  std::intptr_t serveGui(Instance* instance, std::int32_t operation, std::int32_t a, std::int32_t b,
                         void* c, float d);
  std::intptr_t serveAudio(Instance* instance, std::int32_t operation, std::int32_t a,
                           std::int32_t b, void* c, float d);
  PinCell* pinOf(Instance* instance, std::int32_t pin, std::int32_t operation);
  void reportChange(Instance& instance, std::int32_t pin);
  void noteTickerWrite(Instance& instance, std::int32_t pin, std::int32_t value);
  void fault(const Instance& instance, std::string what);
  void closeInside(Instance& instance);
  std::string takeText(const Instance& instance, std::int32_t operation, std::int32_t capacity,
                       const void* text);
  Instance& add(std::unique_ptr<Instance> instance);

  Clock& clockSource;
  std::vector<std::unique_ptr<Instance>> instanceList;
  std::vector<HostCall> callLog;
  int nextId = 0;
  std::int64_t ticks = 0;
  std::int64_t worstLateness = 0;
  int strayAccesses = 0;
  int reportDepth = 0;
  std::vector<std::string> faults;
};

// Narrow text to UTF-16 and back, as the reference host stores list texts
// (UTF-8 on the narrow side). A lone surrogate narrows to U+FFFD.
std::u16string widen(const std::string& text);
std::string narrow(const std::u16string& text);

} // namespace zav::host
