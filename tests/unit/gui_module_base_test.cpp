// The GUI dispatcher and the typed pin operations, as a host reaches them.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "framework/gui_module_base.h"

namespace zav {
namespace {

// What the probe's hooks saw, and what the fake host answers.
struct Seen {
  std::string hook;
  std::int32_t a = 0;
  std::int32_t b = 0;
  void* c = nullptr;
  float d = 0.0f;
  GuiModuleBase* module = nullptr;
};

struct HostCallRecord {
  void* record;
  std::int32_t operation, a, b;
  void* c;
  float d;
};

std::vector<HostCallRecord> hostCalls;
std::intptr_t hostAnswer = 0;
std::int32_t cellValue = 0;
std::u16string wideText;
bool leaveWideTextUnterminated = false;

std::intptr_t fakeHost(void* record, std::int32_t operation, std::int32_t a, std::int32_t b,
                       void* c, float d) {
  hostCalls.push_back({record, operation, a, b, c, d});
  if (operation == gui_host_op::kGetPinValue && c != nullptr) {
    std::memcpy(c, &cellValue, 4);
  }
  if (operation == gui_host_op::kGetPinListText) {
    if (c == nullptr) {
      return hostAnswer;
    }
    auto* buffer = static_cast<char16_t*>(c);
    const std::size_t capacity = static_cast<std::size_t>(b);
    std::size_t i = 0;
    for (; i < capacity && i < wideText.size(); ++i) {
      buffer[i] = wideText[i];
    }
    if (!leaveWideTextUnterminated && i < capacity) {
      buffer[i] = u'\0';
    }
    return 0;
  }
  return hostAnswer;
}

class Probe : public GuiModuleBase {
public:
  Probe(std::vector<Seen>& seen, bool& destroyed, bool answer10 = false)
      : GuiModuleBase(&fakeHost, 0x5eed), seen(seen), destroyed(destroyed), answer10(answer10) {}
  ~Probe() override { destroyed = true; }

protected:
  void initialise(bool loaded) override {
    seen.push_back({loaded ? "initialise loaded" : "initialise new"});
  }
  void close() override { seen.push_back({"close"}); }
  void onOperation2(std::int32_t a, void* c) override { seen.push_back({"2", a, 0, c}); }
  void onOperation3(void* c, float d, OperationPair ab) override {
    seen.push_back({"3", ab.a, ab.b, c, d});
  }
  void onOperation4(void* c, float d, OperationPair ab) override {
    seen.push_back({"4", ab.a, ab.b, c, d});
  }
  void onOperation5(void* c, float d, OperationPair ab) override {
    seen.push_back({"5", ab.a, ab.b, c, d});
  }
  void onOperation6(std::int32_t b, std::int32_t a, void* c) override {
    seen.push_back({"6", a, b, c});
  }
  void onOperation8(void* c) override { seen.push_back({"8", 0, 0, c}); }
  void onOperation9(void* c) override { seen.push_back({"9", 0, 0, c}); }
  bool onOperation10() override {
    seen.push_back({"10"});
    return answer10;
  }
  void onOperation11(std::int32_t a) override { seen.push_back({"11", a}); }
  void onOperation12(std::int32_t a) override { seen.push_back({"12", a}); }
  void onPinChange(GuiPin event) override {
    seen.push_back({"pin", event.index, 0, nullptr, 0.0f, event.module});
  }

private:
  std::vector<Seen>& seen;
  bool& destroyed;
  bool answer10;
};

class GuiDispatcherTest : public ::testing::Test {
protected:
  void SetUp() override {
    hostCalls.clear();
    hostAnswer = 0;
    cellValue = 0;
    wideText.clear();
    leaveWideTextUnterminated = false;
  }
  void TearDown() override {
    if (!destroyed) {
      send(gui_op::kClose);
    }
  }
  std::int32_t send(std::int32_t operation, std::int32_t a = 0, std::int32_t b = 0,
                    void* c = nullptr, float d = 0.0f) {
    return record->dispatcher(record, operation, a, b, c, d);
  }

  std::vector<Seen> seen;
  bool destroyed = false;
  Probe* probe = new Probe(seen, destroyed);
  GuiHostRecord* record = probe->record();
};

TEST_F(GuiDispatcherTest, RecordIsWrittenOnceByTheConstructor) {
  EXPECT_EQ(record->magic, 0x5345504D);
  EXPECT_EQ(record->version, 1);
  EXPECT_EQ(record->dispatcher, &guiEntry);
  EXPECT_EQ(record->reserved, 0x5eed);
  EXPECT_EQ(record->object, static_cast<GuiModuleBase*>(probe));
  for (std::int32_t word : record->zero) {
    EXPECT_EQ(word, 0);
  }
}

TEST_F(GuiDispatcherTest, OnlyAnArgumentOfOneInitialisesAsLoaded) {
  for (std::int32_t a : {1, 2, 0, -1}) {
    EXPECT_EQ(send(gui_op::kInitialise, a), 0);
  }
  ASSERT_EQ(seen.size(), 4u);
  EXPECT_EQ(seen[0].hook, "initialise loaded");
  EXPECT_EQ(seen[1].hook, "initialise new");
  EXPECT_EQ(seen[2].hook, "initialise new");
  EXPECT_EQ(seen[3].hook, "initialise new");
}

TEST_F(GuiDispatcherTest, EachOperationReachesItsHookWithItsArguments) {
  int cell = 0;
  void* c = &cell;
  struct Case {
    std::int32_t operation;
    const char* hook;
    std::int32_t expectedA, expectedB;
    bool passesC, passesD;
  };
  const Case cases[] = {
      {2, "2", 11, 0, true, false},    {3, "3", 11, 22, true, true},
      {4, "4", 11, 22, true, true},    {5, "5", 11, 22, true, true},
      {6, "6", 11, 22, true, false},   {8, "8", 0, 0, true, false},
      {9, "9", 0, 0, true, false},     {11, "11", 11, 0, false, false},
      {12, "12", 11, 0, false, false},
  };
  for (const Case& expected : cases) {
    SCOPED_TRACE(expected.operation);
    seen.clear();
    EXPECT_EQ(send(expected.operation, 11, 22, c, 1.5f), 0);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].hook, expected.hook);
    EXPECT_EQ(seen[0].a, expected.expectedA);
    EXPECT_EQ(seen[0].b, expected.expectedB);
    EXPECT_EQ(seen[0].c, expected.passesC ? c : nullptr);
    EXPECT_EQ(seen[0].d, expected.passesD ? 1.5f : 0.0f);
  }
}

TEST_F(GuiDispatcherTest, PinChangeHandsTheEventItsIndexAndTheRecordsObject) {
  EXPECT_EQ(send(gui_op::kPinChanged, 3), 0);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].hook, "pin");
  EXPECT_EQ(seen[0].a, 3);
  EXPECT_EQ(seen[0].module, probe);
}

TEST_F(GuiDispatcherTest, UnknownOperationsCallNothingAndAnswerZero) {
  for (std::int32_t operation : {13, 100, -1, 0x7fffffff}) {
    EXPECT_EQ(send(operation, 1, 2), 0);
  }
  EXPECT_TRUE(seen.empty());
  EXPECT_TRUE(hostCalls.empty());
}

TEST_F(GuiDispatcherTest, CloseRunsCloseThenDestroysAndAnswersOne) {
  EXPECT_EQ(send(gui_op::kClose), 1);
  EXPECT_TRUE(destroyed);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].hook, "close");
}

TEST(GuiDispatcher, Operation10AnswersTheHooksResult) {
  std::vector<Seen> seen;
  bool destroyed = false;
  GuiHostRecord* yes = (new Probe(seen, destroyed, true))->record();
  EXPECT_EQ(yes->dispatcher(yes, gui_op::kQuery10, 0, 0, nullptr, 0.0f), 1);
  yes->dispatcher(yes, gui_op::kClose, 0, 0, nullptr, 0.0f);

  class Plain : public GuiModuleBase {
  public:
    Plain() : GuiModuleBase(&fakeHost, 0) {}
  };
  GuiHostRecord* plain = (new Plain)->record();
  EXPECT_EQ(plain->dispatcher(plain, gui_op::kQuery10, 0, 0, nullptr, 0.0f), 0);
  EXPECT_EQ(plain->dispatcher(plain, gui_op::kClose, 0, 0, nullptr, 0.0f), 1);
}

TEST_F(GuiDispatcherTest, ValueOperationsPassTheirArgumentsWhereTheHostLooks) {
  GuiPin pin = probe->getPin(4);
  EXPECT_EQ(pin.index, 4);
  EXPECT_EQ(pin.module, probe);

  pin.setInt(-7);
  pin.setFloat(2.25f);
  cellValue = 0x40490fdb; // pi as a float
  EXPECT_EQ(pin.getInt(), 0x40490fdb);
  EXPECT_FLOAT_EQ(pin.getFloat(), 3.14159265f);

  ASSERT_EQ(hostCalls.size(), 4u);
  for (const HostCallRecord& call : hostCalls) {
    EXPECT_EQ(call.record, record);
    EXPECT_EQ(call.a, 4);
  }
  EXPECT_EQ(hostCalls[0].operation, gui_host_op::kSetPinValue);
  EXPECT_EQ(hostCalls[0].b, -7);
  EXPECT_EQ(hostCalls[0].d, 0.0f);
  EXPECT_EQ(hostCalls[1].b, 0);
  EXPECT_EQ(hostCalls[1].d, 2.25f);
  EXPECT_EQ(hostCalls[2].operation, gui_host_op::kGetPinValue);
  EXPECT_NE(hostCalls[2].c, nullptr);
}

TEST_F(GuiDispatcherTest, TextOperationsCopyAndNeverPassNull) {
  const std::string empty; // outlives the call, so the pointer passed can be read after it
  probe->setText(2, empty);
  ASSERT_EQ(hostCalls.size(), 1u);
  EXPECT_EQ(hostCalls[0].operation, gui_host_op::kSetPinText);
  ASSERT_NE(hostCalls[0].c, nullptr);
  EXPECT_STREQ(static_cast<const char*>(hostCalls[0].c), "");

  hostAnswer = 0;
  EXPECT_EQ(probe->getText(2), "");
  char hostText[] = "abc";
  hostAnswer = reinterpret_cast<std::intptr_t>(hostText);
  const std::string copy = probe->getText(2);
  hostText[0] = 'X';
  EXPECT_EQ(copy, "abc");
}

TEST_F(GuiDispatcherTest, WideTextAsksForTheSizeThenReadsNoFurtherThanThat) {
  hostAnswer = 0;
  EXPECT_EQ(probe->getPin(3).getWideText(), u"");
  hostAnswer = -5;
  EXPECT_EQ(probe->getPin(3).getWideText(), u"");
  EXPECT_EQ(hostCalls.size(), 2u) << "no second call when the size is 0 or less";

  hostCalls.clear();
  wideText = u"Off,On";
  hostAnswer = 7;
  EXPECT_EQ(probe->getPin(3).getWideText(), u"Off,On");
  ASSERT_EQ(hostCalls.size(), 2u);
  EXPECT_EQ(hostCalls[0].b, 0);
  EXPECT_EQ(hostCalls[0].c, nullptr);
  EXPECT_EQ(hostCalls[1].b, 7);

  wideText = u"Off,On,Auto";
  leaveWideTextUnterminated = true;
  hostAnswer = 4; // the host asks for less than it then writes
  EXPECT_EQ(probe->getPin(3).getWideText(), u"Off,");
}

} // namespace
} // namespace zav
