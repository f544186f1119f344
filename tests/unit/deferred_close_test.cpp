// A host that closes a module from inside one of the module's own host calls:
// the object finishes the operation that made the call and is destroyed when
// that returns, never while it still runs.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "framework/audio_module_base.h"
#include "framework/gui_module_base.h"

namespace zav {
namespace {

std::vector<std::string> events;
GuiHostRecord* guiToClose = nullptr;
AudioHostRecord* audioToClose = nullptr;

// Answers any host call by closing the object it was told to close.
std::intptr_t closingHost(void* /*record*/, std::int32_t operation, std::int32_t, std::int32_t,
                          void*, float) {
  events.push_back("host call " + std::to_string(operation));
  if (guiToClose != nullptr) {
    GuiHostRecord* record = std::exchange(guiToClose, nullptr);
    events.push_back("close answered " + std::to_string(record->dispatcher(record, gui_op::kClose,
                                                                           0, 0, nullptr, 0.0f)));
  }
  if (audioToClose != nullptr) {
    AudioHostRecord* record = std::exchange(audioToClose, nullptr);
    events.push_back("close answered " + std::to_string(record->dispatcher(record, audio_op::kClose,
                                                                           0, 0, nullptr, 0.0f)));
  }
  return 0;
}

class GuiObject : public GuiModuleBase {
public:
  GuiObject() : GuiModuleBase(&closingHost, 0) {}
  ~GuiObject() override { events.push_back("destroyed"); }

protected:
  void close() override { events.push_back("close"); }
  // Writes two pins; the host closes the object during the first write.
  void onPinChange(GuiPin event) override {
    setInt(event.index, 1);
    writes.push_back(event.index);
    setInt(event.index, 2);
    events.push_back("change handled, " + std::to_string(writes.size()) + " write noted");
  }

private:
  std::vector<std::int32_t> writes;
};

class AudioObject : public AudioModuleBase {
public:
  AudioObject() : AudioModuleBase(&closingHost, 0) {}
  ~AudioObject() override { events.push_back("destroyed"); }

  void close() override { events.push_back("close"); }
  void open() override {
    AudioModuleBase::open(); // asks the host for the plug count
    events.push_back("open finished");
  }
};

class DeferredCloseTest : public ::testing::Test {
protected:
  void SetUp() override { events.clear(); }
};

TEST_F(DeferredCloseTest, GuiObjectClosedDuringItsOwnWriteFinishesTheChangeFirst) {
  GuiHostRecord* record = (new GuiObject)->record();
  guiToClose = record;
  EXPECT_EQ(record->dispatcher(record, gui_op::kPinChanged, 3, 0, nullptr, 0.0f), 0);
  EXPECT_EQ(events,
            (std::vector<std::string>{"host call 15", "close answered 1", "host call 15",
                                      "change handled, 1 write noted", "close", "destroyed"}));
}

TEST_F(DeferredCloseTest, AudioObjectClosedDuringOpenFinishesOpeningFirst) {
  AudioHostRecord* record = (new AudioObject)->record();
  audioToClose = record;
  EXPECT_EQ(record->dispatcher(record, audio_op::kOpen, 0, 0, nullptr, 0.0f), 0);
  EXPECT_EQ(events, (std::vector<std::string>{"host call 14", "close answered 1", "open finished",
                                              "close", "destroyed"}));
}

TEST_F(DeferredCloseTest, CloseFromOutsideStillDestroysAtOnce) {
  GuiHostRecord* gui = (new GuiObject)->record();
  EXPECT_EQ(gui->dispatcher(gui, gui_op::kClose, 0, 0, nullptr, 0.0f), 1);
  AudioHostRecord* audio = (new AudioObject)->record();
  EXPECT_EQ(audio->dispatcher(audio, audio_op::kClose, 0, 0, nullptr, 0.0f), 1);
  EXPECT_EQ(events, (std::vector<std::string>{"close", "destroyed", "close", "destroyed"}));
}

} // namespace
} // namespace zav
