#include "framework/audio_module_base.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <stdexcept>

namespace zav {
namespace {

// The answer to audio operation 13: one record for the whole library,
// rewritten by every such call.
ProcessSelectionInfo processSelectionInfo{1, 16, nullptr, 0};

bool sameSelection(const ProcessSelection& x, const ProcessSelection& y) {
  return x.function == y.function &&
         (x.function == nullptr || std::equal(std::begin(x.words), std::end(x.words), y.words));
}

} // namespace

void AudioPlug::init(AudioModuleBase* plugOwner, std::int32_t plugIndex, std::int32_t type,
                     void* variable) {
  owner = plugOwner;
  index = plugIndex;
  dataType = type;
  valueRef = variable;
  state = 0;
  if (variable != nullptr) {
    cell = 0;
    return;
  }
  switch (static_cast<PinDataType>(type)) {
  case PinDataType::List:  // a 16-bit zero
  case PinDataType::Bool:  // a one-byte zero
  case PinDataType::Float: // 4 bytes
  case PinDataType::Int:   // an int32
    cell = 0;
    valueRef = &cell;
    break;
  case PinDataType::Audio:
    buffer = reinterpret_cast<float*>(owner->callHost(audio_host_op::kGetPlugBuffer, index));
    valueRef = &buffer;
    break;
  default:
    break; // no value store
  }
}

void AudioPlug::onStateEvent(std::int32_t newState) {
  state = newState;
  owner->onPlugStateChange(*this);
  if (newState == 1) {
    state = 0;
  }
}

std::intptr_t AudioPlug::request0(void* x, std::int32_t y) {
  return owner->callHost(audio_host_op::kPlugRequest0, index, y, x);
}

std::intptr_t AudioPlug::request4(void* x, std::int32_t y) {
  return owner->callHost(audio_host_op::kPlugRequest4, index, y, x);
}

bool AudioPlug::request1() { return owner->callHost(audio_host_op::kPlugRequest1, index) != 0; }

float AudioPlug::readSample() {
  const auto position =
      static_cast<std::int32_t>(owner->callHost(audio_host_op::kBlockPosition)) -
      static_cast<std::int32_t>(owner->callHost(audio_host_op::kPlugBufferOffset, index));
  float* const* samples = static_cast<float* const*>(valueRef);
  return (*samples)[position];
}

AudioModuleBase::AudioModuleBase(HostCallback callback, std::intptr_t reserved)
    : hostCallback(callback), currentProcess{&idleProcess, {0, 0, 0}} {
  std::memset(&hostRecord, 0, sizeof hostRecord);
  hostRecord.magic = kAudioRecordMagic;
  hostRecord.version = 1;
  hostRecord.reserved = reserved;
  hostRecord.object = this;
  hostRecord.dispatcher = &audioEntry;
  hostRecord.event = &audioEvent;
  hostRecord.process = &idleProcess;
  hostRecord.sampleRate = 44100.0f;
  hostRecord.blockSize = 1024;
}

std::intptr_t AudioModuleBase::dispatch(std::int32_t operation, std::int32_t a, std::int32_t b,
                                        void* c, float d) {
  return closing.dispatch(
      operation == audio_op::kClose, [&] { return runOperation(operation, a, b, c, d); },
      [this] { destroy(); });
}

void AudioModuleBase::destroy() {
  close();
  delete this;
}

std::intptr_t AudioModuleBase::runOperation(std::int32_t operation, std::int32_t a, std::int32_t b,
                                            void* c, float d) {
  switch (operation) {
  case audio_op::kOpen:
    open();
    return 0;
  case audio_op::kSetSampleRate:
    setSampleRate(d);
    return 0;
  case audio_op::kSetBlockSize:
    setBlockSize(b);
    return 0;
  case audio_op::kGetPinProperties:
    return c != nullptr && getPinProperties(a, *static_cast<PinProperties*>(c)) ? 1 : 0;
  case audio_op::kHook8:
    onOperation8();
    if (a > 0) {
      onOperation8Value(a);
    }
    return 0;
  case audio_op::kHook12:
    onOperation12(b, a, c);
    return 0;
  case audio_op::kGetProcessInfo:
    processSelectionInfo = ProcessSelectionInfo{1, 16, &currentProcess, 0};
    return reinterpret_cast<std::intptr_t>(&processSelectionInfo);
  default:
    return 0;
  }
}

std::intptr_t AudioModuleBase::callHost(std::int32_t operation, std::int32_t a, std::int32_t b,
                                        void* c, float d) {
  return hostCallback != nullptr ? hostCallback(&hostRecord, operation, a, b, c, d) : 0;
}

void AudioModuleBase::selectProcess(const ProcessSelection& selection) {
  if (sameSelection(selection, currentProcess)) {
    return;
  }
  currentProcess = selection;
  hostRecord.process = selection.function;
  callHost(audio_host_op::kProcessFunctionChanged);
}

AudioPlug* AudioModuleBase::getPlug(std::int32_t index) {
  if (index < 0 || index >= plugCount()) {
    return nullptr;
  }
  return &plugs[static_cast<std::size_t>(index)];
}

bool AudioModuleBase::takesPlug(const PinProperties& declaration) {
  return (declaration.flags & pin_flag::kNoPlug) == 0 ||
         (declaration.flags & pin_flag::kForcePlug) != 0;
}

void AudioModuleBase::open() {
  const auto count = static_cast<std::int32_t>(callHost(audio_host_op::kGetPlugCount));
  if (count > 0) {
    initialisePlugs(count);
  }
  // A count of 0 or less keeps any earlier array but initialises none of it.
  const std::int32_t plugsToFill = count > 0 ? plugCount() : 0;
  // Walk the declarations, giving a plug to each pin that takes one; the plug
  // index counts only those pins.
  std::int32_t pinIndex = 0;
  std::int32_t plugIndex = 0;
  PinProperties declaration{};
  if (getPinProperties(0, declaration)) {
    while (plugIndex < plugsToFill) {
      if (takesPlug(declaration)) {
        plugs[static_cast<std::size_t>(plugIndex)].init(this, plugIndex, declaration.dataType,
                                                        declaration.variable);
        ++plugIndex;
      }
      ++pinIndex;
      declaration = PinProperties{};
      if (!getPinProperties(pinIndex, declaration)) {
        break;
      }
    }
  }
  // The last pin that answered may stand for all the plugs left over.
  declaration = PinProperties{};
  getPinProperties(pinIndex - 1, declaration);
  if (takesPlug(declaration) && (declaration.flags & pin_flag::kRepeatLast) != 0) {
    for (; plugIndex < plugsToFill; ++plugIndex) {
      plugs[static_cast<std::size_t>(plugIndex)].init(this, plugIndex, declaration.dataType,
                                                      nullptr);
    }
  }
}

// A new array of `count` empty plugs; when it cannot be had, none at all.
void AudioModuleBase::initialisePlugs(std::int32_t count) {
  try {
    std::vector<AudioPlug> fresh(static_cast<std::size_t>(count));
    plugs.swap(fresh);
  } catch (const std::bad_alloc&) {
    plugs.clear();
  } catch (const std::length_error&) {
    plugs.clear();
  }
}

void AudioModuleBase::sendCallEvent(std::int32_t stamp, AudioOperation operation) {
  queuedOperations.push_back(operation);
  sendEvent(stamp, event_type::kRunOperation, 0, 0, reinterpret_cast<std::intptr_t>(operation));
}

void AudioModuleBase::sendEvent(std::int32_t stamp, std::int32_t type, std::int32_t value,
                                std::int32_t extra, std::intptr_t target) {
  HostEvent event{stamp, type, value, extra, target, 0};
  callHost(audio_host_op::kQueueEvent, 0, 0, &event);
}

void AudioModuleBase::handleEvent(const HostEvent& event) {
  switch (event.type) {
  case event_type::kPlugState:
    if (event.target >= 0 && event.target < plugCount()) {
      plugs[static_cast<std::size_t>(event.target)].onStateEvent(event.value);
    }
    break;
  case event_type::kHookCall:
    onEvent2(event.stamp, event.value, static_cast<std::int16_t>(event.extra & 0xFFFF));
    break;
  case event_type::kRunOperation: {
    const auto queued =
        std::find_if(queuedOperations.begin(), queuedOperations.end(), [&](AudioOperation op) {
          return reinterpret_cast<std::intptr_t>(op) == event.target;
        });
    if (queued != queuedOperations.end()) {
      const AudioOperation operation = *queued;
      queuedOperations.erase(queued);
      operation(*this);
    }
    break;
  }
  default:
    break;
  }
}

std::intptr_t audioEntry(AudioHostRecord* record, std::int32_t operation, std::int32_t a,
                         std::int32_t b, void* c, float d) noexcept {
  try {
    return static_cast<AudioModuleBase*>(record->object)->dispatch(operation, a, b, c, d);
  } catch (...) {
    return 0;
  }
}

void audioEvent(void* object, HostEvent* event) noexcept {
  if (event == nullptr) {
    return;
  }
  try {
    static_cast<AudioModuleBase*>(object)->handleEvent(*event);
  } catch (...) {
  }
}

std::int32_t idleProcess(void* /*object*/, std::int32_t /*a*/, std::int32_t /*b*/) noexcept {
  return 0;
}

} // namespace zav
