// Every deliverable loaded as a host loads it: its exports, its identity, its
// pin declarations and its audio side, knowing only the binary interface.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/support/host_fixture.h"

namespace zav {
namespace {

struct Deliverable {
  const char* file;
  const char* moduleName;
  const char* valueWord; // the name of pins 2 and 3
  std::int32_t valueType;
};

std::ostream& operator<<(std::ostream& out, const Deliverable& deliverable) {
  return out << deliverable.file;
}

const Deliverable kDeliverables[] = {
    {"zav_ramp_gf.sem", "ZAV Ramp GuiFloat", "Float", 6},
    {"zav_ramp_gi.sem", "ZAV Ramp GuiInt", "Int", 8},
    {"zav_ramp_gb.sem", "ZAV Ramp GuiBool", "Bool", 4},
    {"zav_ramp_gt.sem", "ZAV Ramp GuiText", "Text", 1},
    {"zav_ramp_gl.sem", "ZAV Ramp GuiList", "List", 0},
};

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> split;
  std::size_t begin = 0;
  for (std::size_t end; (end = text.find('\n', begin)) != std::string::npos; begin = end + 1) {
    split.push_back(text.substr(begin, end - begin));
  }
  split.push_back(text.substr(begin));
  return split;
}

class DeliverableTest : public test::LoadedFixture,
                        public ::testing::WithParamInterface<Deliverable> {
protected:
  void SetUp() override { load(GetParam().file); }
  std::vector<host::HostCall> audioCalls() {
    std::vector<host::HostCall> audio;
    for (const host::HostCall& call : takeCalls()) {
      if (call.audioSide) {
        audio.push_back(call);
      }
    }
    return audio;
  }
};

TEST_P(DeliverableTest, PropertiesNameTheModuleAndLeaveTheHostsWordsAlone) {
  ModuleProperties props;
  std::memset(&props, 0xA5, sizeof props);
  const ModuleProperties before = props;
  ASSERT_EQ(library->getModuleProperties(0, &props), 1);
  EXPECT_STREQ(props.name, GetParam().moduleName);
  EXPECT_EQ(props.identifier, props.name);
  EXPECT_EQ(props.sdkVersion, 2230);
  EXPECT_EQ(props.unused12, before.unused12);
  EXPECT_EQ(props.unused16, before.unused16);

  const std::vector<std::string> about = lines(props.about);
  ASSERT_EQ(about.size(), 14u);
  EXPECT_EQ(about[0], std::string(GetParam().moduleName) + " - v1.0.0");
  EXPECT_EQ(about[1].rfind("By ", 0), 0u);
  EXPECT_EQ(about[3].rfind("Website: ", 0), 0u);
  EXPECT_EQ(about[5].rfind("Email: ", 0), 0u);
  for (const std::size_t empty : {2u, 4u, 6u, 8u, 10u, 12u}) {
    EXPECT_EQ(about[empty], "") << empty;
  }
  EXPECT_EQ(about[7], "This module ramps from a beginning value to an ending value over a "
                      "specified duration of time.");
  EXPECT_EQ(about[13].substr(0, 50), "This module is designed to work in tandem with the");
}

TEST_P(DeliverableTest, PropertiesOfAnotherIndexWriteOnlyTheSdkVersion) {
  for (const std::int32_t index : {1, -1}) {
    ModuleProperties props;
    std::memset(&props, 0x5A, sizeof props);
    const ModuleProperties before = props;
    EXPECT_EQ(library->getModuleProperties(index, &props), 0);
    EXPECT_EQ(props.name, before.name);
    EXPECT_EQ(props.identifier, before.identifier);
    EXPECT_EQ(props.about, before.about);
    EXPECT_EQ(props.sdkVersion, 2230);
  }
}

TEST_P(DeliverableTest, MakeModuleMakesOnlyKindsOneAndTwoOfModuleZero) {
  struct Case {
    std::int32_t index, kind;
  };
  for (const Case c : {Case{0, 3}, Case{0, 0}, Case{1, 2}, Case{1, 1}, Case{-1, 2}}) {
    EXPECT_EQ(library->makeModule(c.index, c.kind, &host::ReferenceHost::callback, 0), nullptr)
        << c.index << "/" << c.kind;
  }
  auto* gui =
      static_cast<GuiHostRecord*>(library->makeModule(0, 2, &host::ReferenceHost::callback, 77));
  auto* audio =
      static_cast<AudioHostRecord*>(library->makeModule(0, 1, &host::ReferenceHost::callback, 78));
  ASSERT_NE(gui, nullptr);
  ASSERT_NE(audio, nullptr);
  EXPECT_EQ(gui->magic, 0x5345504D);
  EXPECT_EQ(gui->reserved, 77);
  EXPECT_EQ(audio->magic, 0x5345504C);
  EXPECT_EQ(audio->version, 1);
  EXPECT_EQ(audio->reserved, 78);
  EXPECT_EQ(audio->sampleRate, 44100.0f);
  EXPECT_EQ(audio->blockSize, 1024);
  EXPECT_EQ(gui->dispatcher(gui, gui_op::kClose, 0, 0, nullptr, 0.0f), 1);
  EXPECT_EQ(audio->dispatcher(audio, audio_op::kClose, 0, 0, nullptr, 0.0f), 1);
}

TEST_P(DeliverableTest, DeclaresTheFivePins) {
  struct Row {
    const char* name;
    std::int32_t direction, type;
    const char* defaultText;
    const char* listText;
    std::int32_t flags;
  };
  const Row rows[] = {
      {"Ticker", 0, 8, "0", nullptr, 0x20400},
      {"Morph Time", 0, 8, "1000", nullptr, 0x30400},
      {GetParam().valueWord, 0, GetParam().valueType, "0", nullptr, 0x20400},
      {GetParam().valueWord, 1, GetParam().valueType, "0", nullptr, 0x20400},
      {"Passing Mode", 3, 0, "0", "L+>R,L+>R & L<-R,L<+R,L<+R & L->R,L<+>R", 0x20400},
  };
  for (std::int32_t index = 0; index < 5; ++index) {
    SCOPED_TRACE(index);
    const Row& row = rows[index];
    PinProperties pin{};
    ASSERT_EQ(host.sendAudio(*module, audio_op::kGetPinProperties, index, 0, &pin), 1);
    EXPECT_EQ(pin.variable, nullptr);
    EXPECT_STREQ(pin.name, row.name);
    EXPECT_EQ(pin.direction, row.direction);
    EXPECT_EQ(pin.dataType, row.type);
    EXPECT_STREQ(pin.defaultText, row.defaultText);
    if (row.listText == nullptr) {
      EXPECT_EQ(pin.listText, nullptr);
    } else {
      EXPECT_STREQ(pin.listText, row.listText);
    }
    EXPECT_EQ(pin.flags, row.flags);
    EXPECT_EQ(pin.zero, 0);
  }
  for (const std::int32_t index : {5, -1}) {
    PinProperties pin{};
    EXPECT_EQ(host.sendAudio(*module, audio_op::kGetPinProperties, index, 0, &pin), 0);
    const PinProperties zeroed{};
    EXPECT_EQ(std::memcmp(&pin, &zeroed, sizeof pin), 0);
  }
}

TEST_P(DeliverableTest, OpenInstallsTheIdleProcessOnceAndAsksForThePlugCount) {
  for (const std::int32_t plugs : {0, 5}) {
    SCOPED_TRACE(plugs);
    host.options.plugCount = plugs;
    host::Instance* fresh = host.create(*library);
    ASSERT_NE(fresh, nullptr);
    takeCalls();
    const ProcessFunction before = fresh->audio->process;
    EXPECT_EQ(host.sendAudio(*fresh, audio_op::kOpen), 0);
    std::vector<host::HostCall> calls = audioCalls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].operation, audio_host_op::kProcessFunctionChanged);
    EXPECT_EQ(calls[1].operation, audio_host_op::kGetPlugCount);
    EXPECT_NE(fresh->audio->process, before);

    // The process function sends processIdle and answers the host's answer.
    EXPECT_EQ(fresh->audio->process(fresh->audio->object, 0, 0), 0);
    calls = audioCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].operation, audio_host_op::kProcessIdle);

    host.sendAudio(*fresh, audio_op::kOpen); // no second processFunctionChanged
    calls = audioCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].operation, audio_host_op::kGetPlugCount);
    host.destroy(*fresh);
  }
}

TEST_P(DeliverableTest, ProcessInfoIsOneRecordPointingAtTheLatestCaller) {
  host::Instance* other = host.create(*library);
  ASSERT_NE(other, nullptr);
  host.sendAudio(*module, audio_op::kOpen);
  const auto* first =
      reinterpret_cast<ProcessSelectionInfo*>(host.sendAudio(*other, audio_op::kGetProcessInfo));
  const auto* second =
      reinterpret_cast<ProcessSelectionInfo*>(host.sendAudio(*module, audio_op::kGetProcessInfo));
  ASSERT_EQ(first, second);
  EXPECT_EQ(second->one, 1);
  EXPECT_EQ(second->selectionSize, 16);
  EXPECT_EQ(second->zero, 0);
  EXPECT_EQ(second->current->function, module->audio->process);
  host.sendAudio(*other, audio_op::kGetProcessInfo);
  EXPECT_NE(second->current->function, module->audio->process)
      << "the other, unopened object's idle process";
}

TEST_P(DeliverableTest, SampleRateAndBlockSizeLandInTheRecord) {
  host.sendAudio(*module, audio_op::kSetSampleRate, 0, 0, nullptr, 48000.0f);
  host.sendAudio(*module, audio_op::kSetBlockSize, 0, 256);
  EXPECT_EQ(module->audio->sampleRate, 48000.0f);
  EXPECT_EQ(module->audio->blockSize, 256);
  EXPECT_EQ(host.sendAudio(*module, 99), 0);
}

INSTANTIATE_TEST_SUITE_P(Deliverables, DeliverableTest, ::testing::ValuesIn(kDeliverables),
                         [](const auto& info) {
                           std::string name = info.param.file;
                           return name.substr(0, name.find('.'));
                         });

} // namespace
} // namespace zav
