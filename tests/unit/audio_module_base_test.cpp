// The audio-side base: pin enumeration with plugs, process selection, the
// dispatcher's hooks and host events, seen from a host.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "framework/audio_module_base.h"

namespace zav {
namespace {

struct FakeHost {
  std::int32_t plugCount = 0;
  float buffer[4] = {0.5f, 1.5f, 2.5f, 3.5f};
  std::vector<std::int32_t> operations;
  std::vector<HostEvent> queued;
};

FakeHost* fakeHost = nullptr;

std::intptr_t fakeHostCallback(void* /*record*/, std::int32_t operation, std::int32_t /*a*/,
                               std::int32_t /*b*/, void* c, float /*d*/) {
  fakeHost->operations.push_back(operation);
  switch (operation) {
  case audio_host_op::kGetPlugCount:
    return fakeHost->plugCount;
  case audio_host_op::kGetPlugBuffer:
    return reinterpret_cast<std::intptr_t>(fakeHost->buffer);
  case audio_host_op::kBlockPosition:
    return 3;
  case audio_host_op::kPlugBufferOffset:
    return 1;
  case audio_host_op::kQueueEvent:
    fakeHost->queued.push_back(*static_cast<HostEvent*>(c));
    return 0;
  default:
    return 0;
  }
}

struct Declaration {
  std::int32_t type;
  std::int32_t flags;
  void* variable = nullptr;
};

// An audio object with a declaration list of the test's choosing, recording
// the pins it was asked for and the hooks it ran.
class Probe : public AudioModuleBase {
public:
  Probe(std::vector<Declaration> declarations, HostCallback callback = &fakeHostCallback)
      : AudioModuleBase(callback, 0), declarations(std::move(declarations)) {}

  bool getPinProperties(std::int32_t index, PinProperties& properties) override {
    queried.push_back(index);
    if (index < 0 || index >= static_cast<std::int32_t>(declarations.size())) {
      return false;
    }
    const Declaration& pin = declarations[static_cast<std::size_t>(index)];
    properties.dataType = pin.type;
    properties.flags = pin.flags;
    properties.variable = pin.variable;
    return true;
  }
  void onPlugStateChange(AudioPlug& plug) override {
    hooks.push_back("plug " + std::to_string(plug.index) + " state " + std::to_string(plug.state));
  }
  void onOperation8() override { hooks.push_back("8"); }
  void onOperation8Value(std::int32_t value) override {
    hooks.push_back("8 value " + std::to_string(value));
  }
  void onEvent2(std::int32_t stamp, std::int32_t value, std::int16_t extra) override {
    hooks.push_back("event2 " + std::to_string(stamp) + " " + std::to_string(value) + " " +
                    std::to_string(extra));
  }
  void onOperation12(std::int32_t b, std::int32_t a, void* c) override {
    hooks.push_back("12 " + std::to_string(b) + " " + std::to_string(a) + (c ? " c" : " null"));
  }

  std::vector<Declaration> declarations;
  std::vector<std::int32_t> queried;
  std::vector<std::string> hooks;
};

constexpr std::int32_t kRampFlags = pin_flag::kNoPlug | pin_flag::kHost20000;
constexpr std::int32_t kInt = static_cast<std::int32_t>(PinDataType::Int);
constexpr std::int32_t kFloat = static_cast<std::int32_t>(PinDataType::Float);
constexpr std::int32_t kAudio = static_cast<std::int32_t>(PinDataType::Audio);
constexpr std::int32_t kText = static_cast<std::int32_t>(PinDataType::Text);
constexpr std::int32_t kList = static_cast<std::int32_t>(PinDataType::List);

const std::vector<Declaration> kRampLikePins = {{kInt, kRampFlags},
                                                {kInt, kRampFlags},
                                                {kFloat, kRampFlags},
                                                {kFloat, kRampFlags},
                                                {kList, kRampFlags}};

class AudioBaseTest : public ::testing::Test {
protected:
  AudioBaseTest() { fakeHost = &host; }
  ~AudioBaseTest() override { fakeHost = nullptr; }
  FakeHost host;
};

TEST_F(AudioBaseTest, OpenWithNoPlugsAsksForPinZeroAndTheOneBefore) {
  Probe probe(kRampLikePins);
  probe.open();
  EXPECT_EQ(probe.plugCount(), 0);
  EXPECT_EQ(probe.queried, (std::vector<std::int32_t>{0, -1}));
}

TEST_F(AudioBaseTest, PinsWithoutPlugsTakeNoneWhateverTheCount) {
  host.plugCount = 5;
  Probe probe(kRampLikePins);
  probe.open();
  ASSERT_EQ(probe.plugCount(), 5);
  for (std::int32_t i = 0; i < 5; ++i) {
    EXPECT_EQ(probe.getPlug(i)->owner, nullptr) << "plug " << i << " stays empty";
  }
  // Pins 0 to 5 until pin 5 refuses, then the last pin that answered again.
  EXPECT_EQ(probe.queried, (std::vector<std::int32_t>{0, 1, 2, 3, 4, 5, 4}));
}

TEST_F(AudioBaseTest, PlugIndicesCountOnlyPinsThatTakeAPlugAndTheLastRepeats) {
  float variable = 0.0f;
  host.plugCount = 6;
  Probe probe({
      {kInt, pin_flag::kNoPlug},                          // no plug, no index
      {kFloat, 0, &variable},                             // plug 0, the module's variable
      {kAudio, pin_flag::kNoPlug | pin_flag::kForcePlug}, // plug 1, forced
      {kText, pin_flag::kRepeatLast},                     // plug 2, and stands for the rest
  });
  probe.open();
  ASSERT_EQ(probe.plugCount(), 6);

  const AudioPlug& first = *probe.getPlug(0);
  EXPECT_EQ(first.owner, &probe);
  EXPECT_EQ(first.dataType, kFloat);
  EXPECT_EQ(first.valueRef, &variable);

  const AudioPlug& forced = *probe.getPlug(1);
  EXPECT_EQ(forced.dataType, kAudio);
  EXPECT_EQ(*static_cast<float* const*>(forced.valueRef), host.buffer);
  EXPECT_EQ(probe.getPlug(1)->readSample(), host.buffer[2]) << "position 3 - 1";

  for (std::int32_t i = 2; i < 6; ++i) {
    SCOPED_TRACE(i);
    const AudioPlug& plug = *probe.getPlug(i);
    EXPECT_EQ(plug.index, i);
    EXPECT_EQ(plug.dataType, kText);
    EXPECT_EQ(plug.valueRef, nullptr) << "a text plug has no value store";
  }
  EXPECT_EQ(probe.getPlug(6), nullptr);
  EXPECT_EQ(probe.getPlug(-1), nullptr);
}

TEST_F(AudioBaseTest, EachDataTypeGetsItsValueStore) {
  struct Case {
    std::int32_t type;
    bool ownCell;
  };
  for (const Case c : {Case{kList, true}, Case{kText, false}, Case{4, true}, Case{kFloat, true},
                       Case{kInt, true}, Case{2, false}, Case{99, false}}) {
    SCOPED_TRACE(c.type);
    host.plugCount = 1;
    Probe probe({{c.type, 0}});
    probe.open();
    const AudioPlug& plug = *probe.getPlug(0);
    EXPECT_EQ(plug.valueRef, c.ownCell ? static_cast<const void*>(&plug.cell) : nullptr);
    EXPECT_EQ(plug.cell, 0u);
  }
}

TEST_F(AudioBaseTest, WithoutACallbackNothingIsAskedAndNoPlugIsMade) {
  Probe probe({{kInt, 0}}, nullptr);
  probe.selectProcess(ProcessSelection{&idleProcess, {1, 2, 3}});
  probe.open();
  EXPECT_EQ(probe.plugCount(), 0);
  EXPECT_EQ(probe.callHost(audio_host_op::kGetPlugCount), 0);
  EXPECT_TRUE(host.operations.empty());
}

TEST_F(AudioBaseTest, ProcessSelectionTellsTheHostOnlyOfAChange) {
  Probe probe(kRampLikePins);
  AudioHostRecord* record = probe.record();
  EXPECT_EQ(record->process, &idleProcess);
  probe.selectProcess(ProcessSelection{&idleProcess, {0, 0, 0}}); // the same
  EXPECT_TRUE(host.operations.empty());
  probe.selectProcess(ProcessSelection{&idleProcess, {0, 7, 0}}); // other words
  probe.selectProcess(ProcessSelection{nullptr, {1, 1, 1}});
  probe.selectProcess(ProcessSelection{nullptr, {2, 2, 2}}); // null functions are equal
  EXPECT_EQ(host.operations, (std::vector<std::int32_t>{22, 22}));
  EXPECT_EQ(record->process, nullptr);
}

TEST_F(AudioBaseTest, DispatcherHandsOnItsHooksArguments) {
  auto* probe = new Probe(kRampLikePins);
  AudioHostRecord* record = probe->record();
  auto send = [&](std::int32_t operation, std::int32_t a, std::int32_t b, void* c) {
    return record->dispatcher(record, operation, a, b, c, 0.0f);
  };
  EXPECT_EQ(send(audio_op::kHook8, 0, 0, nullptr), 0);
  EXPECT_EQ(send(audio_op::kHook8, 5, 0, nullptr), 0);
  EXPECT_EQ(send(audio_op::kHook8, -3, 0, nullptr), 0);
  int cell = 0;
  EXPECT_EQ(send(audio_op::kHook12, 4, 9, &cell), 0);
  EXPECT_EQ(probe->hooks, (std::vector<std::string>{"8", "8", "8 value 5", "8", "12 9 4 c"}));
  EXPECT_EQ(send(audio_op::kGetPinProperties, 0, 0, nullptr), 0) << "no record to fill";
  for (const std::int32_t unknown : {4, 5, 7, 9, 14, -1}) {
    EXPECT_EQ(send(unknown, 1, 1, &cell), 0);
  }
  EXPECT_EQ(send(audio_op::kClose, 0, 0, nullptr), 1);
}

TEST_F(AudioBaseTest, EventsReachPlugsAndHooks) {
  host.plugCount = 2;
  auto* probe = new Probe({{kInt, 0}, {kInt, 0}});
  AudioHostRecord* record = probe->record();
  record->dispatcher(record, audio_op::kOpen, 0, 0, nullptr, 0.0f);
  auto deliver = [&](HostEvent event) { record->event(record->object, &event); };

  deliver(HostEvent{0, event_type::kPlugState, 3, 0, 1, 0});
  EXPECT_EQ(probe->getPlug(1)->state, 3);
  deliver(HostEvent{0, event_type::kPlugState, 1, 0, 0, 0}); // state 1 is handed on, then cleared
  EXPECT_EQ(probe->getPlug(0)->state, 0);
  deliver(HostEvent{0, event_type::kPlugState, 2, 0, 2, 0}); // no such plug
  deliver(HostEvent{0, event_type::kPlugState, 2, 0, -1, 0});
  deliver(HostEvent{11, event_type::kHookCall, 22, 0x12348001, 0, 0});
  deliver(HostEvent{0, 99, 0, 0, 0, 0});
  record->event(record->object, nullptr);
  EXPECT_EQ(probe->hooks,
            (std::vector<std::string>{"plug 1 state 3", "plug 0 state 1", "event2 11 22 -32767"}));
  record->dispatcher(record, audio_op::kClose, 0, 0, nullptr, 0.0f);
}

int operationRuns = 0;
void countRun(AudioModuleBase& /*object*/) { ++operationRuns; }

TEST_F(AudioBaseTest, RunOperationEventsRunOnlyWhatTheObjectQueued) {
  Probe probe(kRampLikePins);
  operationRuns = 0;
  probe.sendCallEvent(42, &countRun);
  ASSERT_EQ(host.queued.size(), 1u);
  const HostEvent sent = host.queued[0];
  EXPECT_EQ(sent.stamp, 42);
  EXPECT_EQ(sent.type, event_type::kRunOperation);
  EXPECT_EQ(sent.value, 0);
  EXPECT_EQ(sent.extra, 0);

  HostEvent madeUp = sent;
  madeUp.target += 16; // an address the object never sent
  audioEvent(&probe, &madeUp);
  EXPECT_EQ(operationRuns, 0);
  HostEvent back = sent;
  audioEvent(&probe, &back);
  audioEvent(&probe, &back); // delivered twice, run once
  EXPECT_EQ(operationRuns, 1);
}

} // namespace
} // namespace zav
