// The audio-side module object: its host record, the audio dispatcher, the pin
// enumeration with its plugs, process selection and host events.
#pragma once

#include <cstdint>
#include <vector>

#include "framework/deferred_close.h"
#include "framework/host_interface.h"

namespace zav {

class AudioModuleBase;

// An operation of an audio object that a type-21 event can run.
using AudioOperation = void (*)(AudioModuleBase& object);

// The audio-side store of one pin's value. Built empty, usable after init.
class AudioPlug {
public:
  virtual ~AudioPlug() = default;

  // Points valueRef at `variable`, or, without one, at the plug's own cell
  // sized for the data type (an audio pin's cell holds the host's buffer).
  void init(AudioModuleBase* plugOwner, std::int32_t plugIndex, std::int32_t type, void* variable);
  // The host's new plug state; a state of 1 is handed on and then goes back to 0.
  void onStateEvent(std::int32_t newState);

  // Host requests carrying the plug's index as a; no ramp makes them.
  std::intptr_t request0(void* x, std::int32_t y);
  std::intptr_t request4(void* x, std::int32_t y);
  bool request1();
  // The sample at (host operation 3 − host operation 8) in the plug's buffer.
  float readSample();

  void* valueRef = nullptr;
  AudioModuleBase* owner = nullptr;
  std::int32_t index = 0;
  std::int32_t state = 0;
  std::int32_t dataType = 0;
  std::uint32_t cell = 0;
  // Audio pins keep the host's buffer pointer here (cell is 4 bytes wide only
  // on 32-bit builds).
  float* buffer = nullptr;
};

class AudioModuleBase {
public:
  AudioModuleBase(HostCallback hostCallback, std::intptr_t reserved);
  virtual ~AudioModuleBase() = default;
  AudioModuleBase(const AudioModuleBase&) = delete;
  AudioModuleBase& operator=(const AudioModuleBase&) = delete;

  AudioHostRecord* record() { return &hostRecord; }

  // Runs one audio operation. Operation 1 destroys the object (after the
  // operation in progress, when it comes from inside one of its host calls).
  std::intptr_t dispatch(std::int32_t operation, std::int32_t a, std::int32_t b, void* c, float d);

  // Calls the host with this object's record first; without a callback it
  // calls nothing and answers 0.
  std::intptr_t callHost(std::int32_t operation, std::int32_t a = 0, std::int32_t b = 0,
                         void* c = nullptr, float d = 0.0f);

  // Installs a process function, telling the host only when it differs.
  void selectProcess(const ProcessSelection& selection);
  AudioPlug* getPlug(std::int32_t index);
  std::int32_t plugCount() const { return static_cast<std::int32_t>(plugs.size()); }

  // Queue an event for this object through the host (operation 19). A type-21
  // event runs `operation` when the host delivers it back.
  void sendCallEvent(std::int32_t stamp, AudioOperation operation);
  void sendEvent(std::int32_t stamp, std::int32_t type, std::int32_t value, std::int32_t extra,
                 std::intptr_t target);

  virtual void handleEvent(const HostEvent& event);
  virtual void onPlugStateChange(AudioPlug& /*plug*/) {}
  virtual void open();
  virtual void close() {}
  virtual void setSampleRate(float rate) { hostRecord.sampleRate = rate; }
  virtual void setBlockSize(std::int32_t size) { hostRecord.blockSize = size; }
  virtual float getSampleRate() { return hostRecord.sampleRate; }
  virtual std::int32_t getBlockSize() { return hostRecord.blockSize; }
  // Fills one pin declaration; false for an index beyond the last pin.
  virtual bool getPinProperties(std::int32_t /*index*/, PinProperties& /*properties*/) {
    return false;
  }
  virtual void onOperation8() {}
  virtual void onOperation8Value(std::int32_t /*value*/) {}
  virtual void onEvent2(std::int32_t /*stamp*/, std::int32_t /*value*/, std::int16_t /*extra*/) {}
  virtual void onOperation12(std::int32_t /*b*/, std::int32_t /*a*/, void* /*c*/) {}

protected:
  const ProcessSelection& currentSelection() const { return currentProcess; }

private:
  std::intptr_t runOperation(std::int32_t operation, std::int32_t a, std::int32_t b, void* c,
                             float d);
  void destroy();
  // Whether a declared pin gets a plug.
  static bool takesPlug(const PinProperties& declaration);
  void initialisePlugs(std::int32_t count);

  HostCallback hostCallback;
  AudioHostRecord hostRecord;
  std::vector<AudioPlug> plugs;
  ProcessSelection currentProcess;
  // Operations this object queued with sendCallEvent and not yet seen back: a
  // type-21 event runs only these, never an address the host made up.
  std::vector<AudioOperation> queuedOperations;
  DeferredClose closing;
};

// The functions stored in AudioHostRecord. No exception leaves them.
std::intptr_t audioEntry(AudioHostRecord* record, std::int32_t operation, std::int32_t a,
                         std::int32_t b, void* c, float d) noexcept;
void audioEvent(void* object, HostEvent* event) noexcept;
// The process function until one is selected: returns at once.
std::int32_t idleProcess(void* object, std::int32_t a, std::int32_t b) noexcept;

} // namespace zav
