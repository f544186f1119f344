#include "host/validator.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <random>
#include <set>
#include <sstream>
#include <thread>

#include "framework/host_interface.h"
#include "host/glide_checker.h"
#include "host/module_library.h"
#include "host/reference_host.h"

#ifndef _WIN32
#include <csignal>

#include <sys/wait.h>
#include <unistd.h>
#endif

namespace zav::host {
namespace {

using ramp_pin::kLeft;
using ramp_pin::kMorphTime;
using ramp_pin::kPassingMode;
using ramp_pin::kRight;
using ramp_pin::kTicker;
constexpr std::int32_t kPinCount = ramp_pin::kCount;

// The list every check gives pin 3 before Initialise: the List module glides
// over it, the others ignore it.
const std::u16string kSampleList = u"a,b,c,d,e";

// ---------------------------------------------------------------------------
// One check: a host of its own on the real clock, and what went wrong.

class Session {
public:
  explicit Session(ModuleLibrary& opened) : library(opened) { host.options.logCalls = false; }
  ~Session() { destroyAll(); }
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  void fail(const std::string& what) { problems.push_back(what); }
  void expect(bool condition, const std::string& what) {
    if (!condition) {
      fail(what);
    }
  }

  // A new instance, both objects made, the audio side opened, the sample
  // list on pin 3; null (and a failure) when makeModule refuses.
  Instance* create() {
    Instance* instance = host.create(library);
    if (instance == nullptr) {
      fail("makeModule returned null for index 0");
      return nullptr;
    }
    host.sendAudio(*instance, audio_op::kOpen);
    if (instance->pins.size() == static_cast<std::size_t>(kPinCount)) {
      instance->pins[kRight].listText = kSampleList;
    }
    return instance;
  }

  void destroy(Instance& instance) {
    checker.forget(instance);
    host.destroy(instance);
  }

  void destroyAll() {
    while (!host.instances().empty()) {
      destroy(*host.instances().back());
    }
  }

  // Every fault the check, the host and the glide checker found.
  std::vector<std::string> faults() const {
    // The host's and the checker's words first: they name the breach itself,
    // the check's own often only its consequence.
    std::vector<std::string> all = host.protocolFaults();
    all.insert(all.end(), checker.faults().begin(), checker.faults().end());
    all.insert(all.end(), problems.begin(), problems.end());
    return all;
  }

  ModuleLibrary& library;
  RealClock clock;
  ReferenceHost host{clock};
  // The module's clock and the host's are read separately: 1 ms apart at worst.
  GlideChecker checker{host, 1};

private:
  std::vector<std::string> problems;
};

// ---------------------------------------------------------------------------
// The kind of value on pins 2 and 3, and a value of it to glide to.

enum class Kind { Float, Int, Bool, Text, List };

struct KindRow {
  Kind kind;
  const char* word;
  PinDataType type;
};

constexpr KindRow kKinds[] = {
    {Kind::Float, "Float", PinDataType::Float}, {Kind::Int, "Int", PinDataType::Int},
    {Kind::Bool, "Bool", PinDataType::Bool},    {Kind::Text, "Text", PinDataType::Text},
    {Kind::List, "List", PinDataType::List},
};

std::optional<Kind> kindOf(const Instance& instance) {
  if (instance.pins.size() != static_cast<std::size_t>(kPinCount)) {
    return std::nullopt;
  }
  for (const KindRow& row : kKinds) {
    if (row.type == instance.pins[kLeft].type) {
      return row.kind;
    }
  }
  return std::nullopt;
}

// Sets a side to the sample target and reports it; returns the value a glide
// toward it must end on (the List module's sample list numbers "d" 3).
PinCell setSampleTarget(ReferenceHost& host, Instance& instance, std::int32_t side, Kind kind) {
  PinCell target;
  target.type = instance.pins[kLeft].type;
  switch (kind) {
  case Kind::Float:
    target.setFloat(10.5f);
    host.setFloat(instance, side, 10.5f);
    break;
  case Kind::Text:
    target.text = "validator";
    host.setText(instance, side, target.text);
    break;
  default: {
    const std::int32_t value = kind == Kind::Bool ? 1 : kind == Kind::Int ? 7 : 3;
    target.setInt(value);
    host.setInt(instance, side, value);
    break;
  }
  }
  return target;
}

std::string hex(std::int64_t value) {
  std::ostringstream out;
  out << std::hex << value;
  return out.str();
}

// ---------------------------------------------------------------------------
// The checks.

void checkProperties(Session& session) {
  ModuleLibrary& library = session.library;
  ModuleProperties props;
  std::memset(&props, 0xA5, sizeof props);
  const ModuleProperties before = props;
  session.expect(library.getModuleProperties(0, &props) == 1, "index 0 did not answer 1");
  session.expect(props.sdkVersion == kSdkVersion,
                 "sdkVersion " + std::to_string(props.sdkVersion) + ", not 2230");
  session.expect(props.unused12 == before.unused12 && props.unused16 == before.unused16,
                 "the words at offsets 12 and 16 were written");
  if (props.name == nullptr || props.about == nullptr) {
    session.fail("name or about text is null");
    return;
  }
  session.expect(props.identifier == props.name, "identifier is not the name's pointer");
  const std::string about = props.about;
  const std::string firstLine = std::string(props.name) + " - v1.0.0";
  session.expect(about.compare(0, firstLine.size(), firstLine) == 0 &&
                     (about.size() == firstLine.size() || about[firstLine.size()] == '\n'),
                 "the about text does not start with the line \"" + firstLine + "\"");
  const auto lines = std::count(about.begin(), about.end(), '\n') + 1;
  session.expect(lines == 14, "the about text has " + std::to_string(lines) + " lines, not 14");
  for (const std::int32_t index : {1, -1, INT_MAX}) {
    std::memset(&props, 0x5A, sizeof props);
    const ModuleProperties untouched = props;
    session.expect(library.getModuleProperties(index, &props) == 0,
                   "index " + std::to_string(index) + " did not answer 0");
    session.expect(props.name == untouched.name && props.about == untouched.about &&
                       props.identifier == untouched.identifier,
                   "index " + std::to_string(index) + " wrote the texts");
    session.expect(props.sdkVersion == kSdkVersion,
                   "index " + std::to_string(index) + " did not write sdkVersion 2230");
  }
}

void checkMakeModule(Session& session) {
  ModuleLibrary& library = session.library;
  struct Refused {
    std::int32_t index, kind;
  };
  for (const Refused r : {Refused{0, 0}, Refused{0, 3}, Refused{0, -1}, Refused{1, 1},
                          Refused{1, 2}, Refused{-1, 2}, Refused{0, INT_MAX}}) {
    void* made = library.makeModule(r.index, r.kind, &ReferenceHost::callback, 0);
    session.expect(made == nullptr, "makeModule(" + std::to_string(r.index) + ", " +
                                        std::to_string(r.kind) + ") made an object");
  }
  auto* gui =
      static_cast<GuiHostRecord*>(library.makeModule(0, 2, &ReferenceHost::callback, 0x1234));
  auto* audio =
      static_cast<AudioHostRecord*>(library.makeModule(0, 1, &ReferenceHost::callback, 0x5678));
  if (gui == nullptr || audio == nullptr) {
    session.fail("makeModule(0, 1) or makeModule(0, 2) returned null");
    return;
  }
  session.expect(gui->magic == kGuiRecordMagic && gui->version == 1 && gui->reserved == 0x1234 &&
                     gui->dispatcher != nullptr && gui->object != nullptr,
                 "the GUI record is malformed (magic " + hex(gui->magic) + ")");
  session.expect(audio->magic == kAudioRecordMagic && audio->version == 1 &&
                     audio->reserved == 0x5678 && audio->dispatcher != nullptr &&
                     audio->process != nullptr && audio->event != nullptr &&
                     audio->object != nullptr,
                 "the audio record is malformed (magic " + hex(audio->magic) + ")");
  session.expect(audio->sampleRate == 44100.0f && audio->blockSize == 1024,
                 "the audio record's sample rate and block size are not 44100 and 1024");
  session.expect(gui->dispatcher(gui, gui_op::kClose, 0, 0, nullptr, 0.0f) == 1,
                 "GUI operation 1 did not answer 1");
  session.expect(audio->dispatcher(audio, audio_op::kClose, 0, 0, nullptr, 0.0f) == 1,
                 "audio operation 1 did not answer 1");
}

void checkPinTable(Session& session) {
  Instance* instance = session.create();
  if (instance == nullptr) {
    return;
  }
  struct Row {
    const char* name;
    std::int32_t direction;
    const char* defaultText;
    const char* listText;
    std::int32_t flags;
  };
  const Row rows[] = {
      {"Ticker", 0, "0", nullptr, 0x20400},
      {"Morph Time", 0, "1000", nullptr, 0x30400},
      {nullptr, 0, "0", nullptr, 0x20400},
      {nullptr, 1, "0", nullptr, 0x20400},
      {"Passing Mode", 3, "0", "L+>R,L+>R & L<-R,L<+R,L<+R & L->R,L<+>R", 0x20400},
  };
  const auto text = [](const char* t) { return std::string(t != nullptr ? t : "(null)"); };
  PinProperties sides[2]{};
  for (std::int32_t index = 0; index < kPinCount; ++index) {
    const Row& row = rows[index];
    const std::string where = "pin " + std::to_string(index) + ": ";
    PinProperties pin{};
    if (session.host.sendAudio(*instance, audio_op::kGetPinProperties, index, 0, &pin) != 1) {
      session.fail(where + "not declared");
      continue;
    }
    if (row.name != nullptr) {
      session.expect(text(pin.name) == row.name, where + "named " + text(pin.name));
      session.expect(index == kPassingMode ? pin.dataType == 0 : pin.dataType == 8,
                     where + "type " + std::to_string(pin.dataType));
    } else {
      sides[index - kLeft] = pin;
    }
    session.expect(pin.direction == row.direction,
                   where + "direction " + std::to_string(pin.direction));
    session.expect(text(pin.defaultText) == row.defaultText,
                   where + "default " + text(pin.defaultText));
    session.expect((pin.listText == nullptr) == (row.listText == nullptr) &&
                       (row.listText == nullptr || text(pin.listText) == row.listText),
                   where + "list text " + text(pin.listText));
    session.expect(pin.flags == row.flags, where + "flags 0x" + hex(pin.flags));
    session.expect(pin.variable == nullptr && pin.zero == 0, where + "variable or last word set");
  }
  const auto row = std::find_if(std::begin(kKinds), std::end(kKinds), [&](const KindRow& k) {
    return text(sides[0].name) == k.word && sides[0].dataType == static_cast<int>(k.type);
  });
  session.expect(row != std::end(kKinds), "pin 2 is neither Float, Int, Bool, Text nor List (" +
                                              text(sides[0].name) + ", type " +
                                              std::to_string(sides[0].dataType) + ")");
  session.expect(text(sides[1].name) == text(sides[0].name) &&
                     sides[1].dataType == sides[0].dataType,
                 "pins 2 and 3 differ in name or type");
  for (const std::int32_t index : {5, -1, 1000, INT_MIN}) {
    PinProperties pin{};
    const PinProperties zeroed{};
    session.expect(session.host.sendAudio(*instance, audio_op::kGetPinProperties, index, 0, &pin) ==
                           0 &&
                       std::memcmp(&pin, &zeroed, sizeof pin) == 0,
                   "pin " + std::to_string(index) + " answered or wrote the record");
  }
  session.expect(session.host.sendAudio(*instance, audio_op::kGetPinProperties, 0, 0, nullptr) == 0,
                 "a pin query without a record answered");
}

void checkManyInstances(Session& session, int count) {
  std::set<const void*> records;
  for (int i = 0; i < count; ++i) {
    Instance* instance = session.create();
    if (instance == nullptr) {
      return;
    }
    records.insert(instance->gui);
    records.insert(instance->audio);
    session.host.initialise(*instance, i % 2 == 1);
    session.host.tick(*instance);
  }
  session.expect(records.size() == static_cast<std::size_t>(2 * count),
                 std::to_string(2 * count - static_cast<int>(records.size())) +
                     " records were handed out twice");
  for (const auto& instance : session.host.instances()) {
    session.expect(instance->pins.size() == static_cast<std::size_t>(kPinCount) &&
                       instance->pins[kMorphTime].asInt() == 1000,
                   "a new instance's Morph Time is not 1000 after Initialise");
  }
  session.destroyAll();
}

void checkUnknownOperations(Session& session) {
  Instance* instance = session.create();
  if (instance == nullptr) {
    return;
  }
  ReferenceHost& host = session.host;
  host.initialise(*instance, false);
  alignas(16) unsigned char scratch[256] = {};
  host.options.logCalls = true;
  for (const std::int32_t operation : {-1, 13, 14, 99, INT_MIN, INT_MAX}) {
    host.calls().clear();
    const std::int32_t answer = host.sendGui(*instance, operation, 3, 4, scratch, 1.0f);
    session.expect(answer == 0 && host.calls().empty(),
                   "GUI operation " + std::to_string(operation) + " answered " +
                       std::to_string(answer) + " or called the host");
  }
  host.options.logCalls = false;
  for (const std::int32_t pin : {5, -1, 1000, INT_MIN, INT_MAX}) {
    host.sendGui(*instance, gui_op::kPinChanged, pin);
  }
  for (const std::int32_t operation : {2, 3, 4, 5, 6, 8, 9, 10}) {
    host.sendGui(*instance, operation, -1, INT_MAX, scratch, -0.0f);
  }
  for (const std::int32_t operation : {-1, 4, 5, 7, 9, 10, 11, 14, 99, INT_MIN, INT_MAX}) {
    const std::intptr_t answer = host.sendAudio(*instance, operation, 3, 4, scratch, 1.0f);
    session.expect(answer == 0, "audio operation " + std::to_string(operation) + " answered " +
                                    std::to_string(answer));
  }
  AudioHostRecord& audio = *instance->audio;
  for (const std::int32_t type : {-1, 0, 1, 2, 3, 21, 22, INT_MAX}) {
    for (const std::intptr_t target : {std::intptr_t{-1}, std::intptr_t{0}, std::intptr_t{99},
                                       reinterpret_cast<std::intptr_t>(scratch)}) {
      HostEvent event{7, type, 1, 0x12345, target, 0};
      audio.event(audio.object, &event);
    }
  }
  audio.event(audio.object, nullptr);
}

// Pins written with any value a host can hold, texts and list texts of any
// shape, any operation, ticks at random: every glide the checker sees end
// must end right, and the host must see no breach.
void checkRandomValues(Session& session, std::uint64_t seed, int actions) {
  std::mt19937_64 random(seed);
  const auto pick = [&](std::int64_t low, std::int64_t high) {
    return std::uniform_int_distribution<std::int64_t>(low, high)(random);
  };
  const auto bits32 = [&] { return static_cast<std::int32_t>(random()); };
  ReferenceHost& host = session.host;
  std::vector<Instance*> live;
  alignas(16) unsigned char scratch[256] = {};
  const float specialFloats[] = {std::numeric_limits<float>::quiet_NaN(),
                                 std::numeric_limits<float>::infinity(),
                                 -std::numeric_limits<float>::infinity(),
                                 std::numeric_limits<float>::denorm_min(),
                                 -0.0f,
                                 std::numeric_limits<float>::max(),
                                 16777217.0f};
  const auto randomText = [&] {
    std::string text(static_cast<std::size_t>(pick(0, pick(0, 3) == 0 ? 65536 : 64)), ' ');
    for (char& c : text) {
      c = static_cast<char>(pick(1, 255));
    }
    return text;
  };
  const auto randomListText = [&] {
    std::u16string text(static_cast<std::size_t>(pick(0, pick(0, 3) == 0 ? 5000 : 40)), u'a');
    for (char16_t& c : text) {
      c = pick(0, 2) == 0 ? u',' : static_cast<char16_t>(pick(0, 0xFFFF));
    }
    return text;
  };
  for (int action = 0; action < actions; ++action) {
    if (live.empty() || (live.size() < 3 && pick(0, 20) == 0)) {
      if (Instance* made = session.create()) {
        host.initialise(*made, pick(0, 1) == 0);
        live.push_back(made);
      }
      continue;
    }
    const auto which =
        static_cast<std::size_t>(pick(0, static_cast<std::int64_t>(live.size()) - 1));
    Instance& instance = *live[which];
    const auto side = static_cast<std::int32_t>(pick(kLeft, kRight));
    switch (pick(0, 12)) {
    case 0:
      host.setInt(instance, static_cast<std::int32_t>(pick(0, 4)), bits32());
      break;
    case 1:
      host.setFloat(instance, side, specialFloats[pick(0, std::size(specialFloats) - 1)]);
      break;
    case 2:
      host.setText(instance, side, randomText());
      break;
    case 3:
      host.options.unterminatedListText = pick(0, 1) == 0;
      host.options.listTextFiller = pick(0, 3) == 0 ? static_cast<char16_t>(pick(1, 0xFFFF)) : 0;
      host.setListText(instance, static_cast<std::int32_t>(pick(2, 4)), randomListText());
      break;
    case 4: // a Morph Time short enough for ticks to finish glides
      host.setInt(instance, kMorphTime, static_cast<std::int32_t>(pick(-3, 3)));
      break;
    case 5:
      host.setInt(instance, kPassingMode, static_cast<std::int32_t>(pick(-1, 5)));
      break;
    case 6:
      host.options.reportWritesBack = !host.options.reportWritesBack;
      break;
    case 7:
      host.sendGui(instance, pick(0, 1) == 0 ? gui_op::kRefreshList : gui_op::kClearList,
                   static_cast<std::int32_t>(pick(-1, 5)));
      break;
    case 8:
      host.initialise(instance, pick(0, 1) == 0);
      break;
    case 9: {
      const auto operation = static_cast<std::int32_t>(pick(-2, 24));
      if (operation != gui_op::kClose) {
        host.sendGui(instance, operation, bits32(), bits32(), pick(0, 1) == 0 ? scratch : nullptr,
                     specialFloats[pick(0, std::size(specialFloats) - 1)]);
      }
      break;
    }
    case 10: {
      const auto operation = static_cast<std::int32_t>(pick(-2, 24));
      if (operation != audio_op::kClose) {
        std::fill(std::begin(scratch), std::end(scratch), 0);
        host.sendAudio(instance, operation, bits32(), bits32(), scratch, 1.0f);
      }
      break;
    }
    case 11:
      if (pick(0, 30) == 0) {
        session.destroy(instance);
        live.erase(live.begin() + static_cast<std::ptrdiff_t>(which));
        break;
      }
      [[fallthrough]];
    default:
      host.tick(instance);
      break;
    }
  }
}

// List texts a careless or hostile host hands over: filling the whole buffer
// without a terminator (or padding it out with a character), far longer than
// it, lone surrogates, nothing but commas. The module must hand back list texts terminated within
// their buffer.
void checkListTexts(Session& session) {
  std::u16string unterminated;
  while (unterminated.size() < 1200) {
    unterminated += u"item,";
  }
  std::u16string surrogates;
  for (int i = 0; i < 400; ++i) {
    surrogates += i % 2 == 0 ? u'\xD800' : u'\xDC00';
    surrogates += u"\xD83D\xDE00,";
  }
  const std::u16string texts[] = {unterminated, std::u16string(5000, u'x'),
                                  surrogates,   u",,,",
                                  u"",          u"=1,b=0x7fffffff,c=-99999999999"};
  ReferenceHost& host = session.host;
  struct HostHabit {
    bool unterminated;
    char16_t filler; // not 0: the rest of the buffer filled with it, unterminated
  };
  for (const HostHabit habit : {HostHabit{true, 0}, HostHabit{false, 0}, HostHabit{false, u'x'},
                                HostHabit{false, u'\xDC00'}}) {
    host.options.unterminatedListText = habit.unterminated;
    host.options.listTextFiller = habit.filler;
    for (const std::u16string& text : texts) {
      Instance* instance = session.create();
      if (instance == nullptr) {
        return;
      }
      for (std::int32_t pin = kLeft; pin <= kPassingMode; ++pin) {
        host.setListText(*instance, pin, text);
      }
      host.initialise(*instance, false);
      host.initialise(*instance, true);
      for (const std::int32_t pin : {3, 0, 2, -1}) {
        host.setListText(*instance, kRight, text);
        host.sendGui(*instance, gui_op::kRefreshList, pin);
        host.sendGui(*instance, gui_op::kClearList, pin);
      }
      host.setInt(*instance, kLeft, 1);
      host.tick(*instance);
      session.destroy(*instance);
    }
  }
}

// The host closes the module from inside one of its own host calls, at every
// kind of operation: the module must finish that operation without touching
// freed memory (a crash, or under a sanitizer its report, fails the check).
void checkClosedInsideACall(Session& session) {
  ReferenceHost& host = session.host;
  const std::function<void(Instance&)> operations[] = {
      [&](Instance& instance) { host.initialise(instance, false); },
      [&](Instance& instance) { host.setInt(instance, kLeft, 1); },
      [&](Instance& instance) { host.setText(instance, kLeft, "closing"); },
      [&](Instance& instance) { host.tick(instance); },
      [&](Instance& instance) { host.setInt(instance, kMorphTime, 5); },
      [&](Instance& instance) { host.sendGui(instance, gui_op::kRefreshList, kRight); },
      [&](Instance& instance) { host.sendGui(instance, gui_op::kClearList, kRight); },
  };
  for (const bool reportWritesBack : {false, true}) {
    host.options.reportWritesBack = reportWritesBack;
    for (const auto& operation : operations) {
      Instance* instance = session.create();
      if (instance == nullptr) {
        return;
      }
      host.initialise(*instance, false);
      if (const std::optional<Kind> kind = kindOf(*instance)) {
        setSampleTarget(host, *instance, kLeft, *kind); // a glide runs
      }
      host.options.closeInsideNextCall = true;
      operation(*instance);
      session.checker.forget(*instance);
      if (instance->closed) {
        host.reapClosed();
      } else {
        host.options.closeInsideNextCall = false; // the operation made no host call
        session.destroy(*instance);
      }
    }
  }
}

// Ticks an instance until the checker sees its glide end, waiting a
// millisecond between ticks; false when it never ended.
bool tickUntilFinished(Session& session, Instance& instance, int maxTicks) {
  for (int tick = 0; tick < maxTicks && session.checker.gliding(instance); ++tick) {
    session.host.tick(instance);
    if (session.checker.gliding(instance)) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }
  return !session.checker.gliding(instance);
}

// A glide in each direction with Morph Times -1, 0 and 30 ms must end on the
// target on both sides and 0 on the Ticker, and stop the host's ticker.
void checkGlidesComplete(Session& session, bool reportWritesBack) {
  ReferenceHost& host = session.host;
  host.options.reportWritesBack = reportWritesBack;
  for (const std::int32_t mode : {0, 2}) {
    for (const std::int32_t morphTimeMs : {-1, 0, 30}) {
      Instance* instance = session.create();
      if (instance == nullptr) {
        return;
      }
      const std::optional<Kind> kind = kindOf(*instance);
      if (!kind) {
        session.fail("the pin table names no known kind: no glide to check");
        return;
      }
      const std::string what =
          "mode " + std::to_string(mode) + ", Morph Time " + std::to_string(morphTimeMs) + " ms: ";
      host.initialise(*instance, false);
      host.setInt(*instance, kPassingMode, mode);
      host.setInt(*instance, kMorphTime, morphTimeMs);
      const std::int32_t source = mode == 0 ? kLeft : kRight;
      const std::int32_t destination = kLeft + kRight - source;
      host.options.logCalls = true;
      host.calls().clear();
      const PinCell target = setSampleTarget(host, *instance, source, *kind);
      const bool destinationWritten =
          std::any_of(host.calls().begin(), host.calls().end(), [&](const HostCall& call) {
            return call.a == destination && (call.operation == gui_host_op::kSetPinValue ||
                                             call.operation == gui_host_op::kSetPinText);
          });
      host.options.logCalls = false;
      session.expect(session.checker.gliding(*instance),
                     what + "no glide started (no Morph Time written to the Ticker)");
      session.expect(!destinationWritten,
                     what + "the glide start wrote the destination: a reported-back Ticker "
                            "change ran a tick step");
      if (!tickUntilFinished(session, *instance, 2000)) {
        session.fail(what + "2000 ticks did not finish the glide");
      }
      const PinCell& left = instance->pins[kLeft];
      const PinCell& right = instance->pins[kRight];
      session.expect(samePinValue(left, target) && samePinValue(right, target),
                     what + "ended with " + describePinValue(left) + " and " +
                         describePinValue(right) + ", not " + describePinValue(target));
      session.expect(instance->pins[kTicker].asInt() == 0 && !instance->tickerRunning,
                     what + "the Ticker pin holds " +
                         std::to_string(instance->pins[kTicker].asInt()) + ", not 0");
      session.destroy(*instance);
    }
  }
}

// ---------------------------------------------------------------------------
// Running checks, in a child process where there is one.

using CheckBody = std::function<void(Session&)>;

CheckResult runInSession(ModuleLibrary& library, CheckResult result, const CheckBody& body) {
  std::vector<std::string> faults;
  {
    Session session(library);
    body(session);
    session.destroyAll();
    faults = session.faults();
    if (session.checker.finishedGlides() > 0) {
      result.detail = std::to_string(session.checker.finishedGlides()) +
                      " glides finished (the target predicted for " +
                      std::to_string(session.checker.predictedFinishes()) + ")";
    }
  }
  result.passed = faults.empty();
  if (!faults.empty()) {
    result.detail = faults.front();
    if (faults.size() > 1) {
      result.detail += " [and " + std::to_string(faults.size() - 1) + " more]";
    }
  }
  return result;
}

#ifndef _WIN32
// A check that crashes, hangs or is stopped by a sanitizer fails alone.
CheckResult runIsolated(ModuleLibrary& library, CheckResult result, const CheckBody& body) {
  constexpr unsigned kCheckTimeLimitSeconds = 300;
  int channel[2];
  if (pipe(channel) != 0) {
    return runInSession(library, std::move(result), body);
  }
  std::fflush(nullptr);
  const pid_t child = fork();
  if (child < 0) {
    close(channel[0]);
    close(channel[1]);
    return runInSession(library, std::move(result), body);
  }
  if (child == 0) {
    close(channel[0]);
    alarm(kCheckTimeLimitSeconds);
    const CheckResult done = runInSession(library, result, body);
    const std::string message = (done.passed ? "P" : "F") + done.detail;
    std::size_t written = 0;
    while (written < message.size()) {
      const ssize_t n = write(channel[1], message.data() + written, message.size() - written);
      if (n <= 0) {
        break;
      }
      written += static_cast<std::size_t>(n);
    }
    _exit(0);
  }
  close(channel[1]);
  std::string message;
  char buffer[4096];
  for (ssize_t n; (n = read(channel[0], buffer, sizeof buffer)) > 0;) {
    message.append(buffer, static_cast<std::size_t>(n));
  }
  close(channel[0]);
  int status = 0;
  waitpid(child, &status, 0);
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0 && !message.empty()) {
    result.passed = message[0] == 'P';
    result.detail = message.substr(1);
  } else if (WIFSIGNALED(status)) {
    result.passed = false;
    result.detail = WTERMSIG(status) == SIGALRM
                        ? "did not finish within " + std::to_string(kCheckTimeLimitSeconds) + " s"
                        : "the module crashed (signal " + std::to_string(WTERMSIG(status)) + ")";
  } else {
    result.passed = false;
    result.detail = "stopped with exit code " + std::to_string(WEXITSTATUS(status)) +
                    " before it finished (a sanitizer's report precedes this)";
  }
  return result;
}
#endif

CheckResult runCheck(ModuleLibrary& library, const ValidationOptions& options, std::string name,
                     std::optional<std::uint64_t> seed, const CheckBody& body) {
  CheckResult result;
  result.name = std::move(name);
  result.seed = seed;
#ifndef _WIN32
  if (options.isolate) {
    return runIsolated(library, std::move(result), body);
  }
#endif
  (void)options;
  return runInSession(library, std::move(result), body);
}

std::uint64_t freshSeed() {
  std::random_device device;
  return (static_cast<std::uint64_t>(device()) << 32 | device()) % 1000000000000ULL;
}

} // namespace

bool ValidationReport::passed() const {
  return !moduleName.empty() &&
         std::all_of(checks.begin(), checks.end(), [](const CheckResult& c) { return c.passed; });
}

ValidationReport validateModule(const std::string& path, const ValidationOptions& options) {
  ValidationReport report;
  report.path = path;
  std::string error;
  std::unique_ptr<ModuleLibrary> library = ModuleLibrary::open(path, error);
  report.checks.push_back({"library loads and exports both entry points", library != nullptr,
                           library != nullptr ? "" : error, std::nullopt});
  if (library == nullptr) {
    return report;
  }
  ModuleProperties props{};
  report.moduleName = library->getModuleProperties(0, &props) == 1 && props.name != nullptr
                          ? props.name
                          : "(no name)";
  const std::uint64_t seed = options.seed.value_or(freshSeed());
  ModuleLibrary& lib = *library;
  const auto add = [&](std::string name, const CheckBody& body,
                       std::optional<std::uint64_t> checkSeed = std::nullopt) {
    report.checks.push_back(runCheck(lib, options, std::move(name), checkSeed, body));
  };
  add("module properties", checkProperties);
  add("makeModule makes kinds 1 and 2 of module 0 only", checkMakeModule);
  add("pin table", checkPinTable);
  add(std::to_string(options.instanceCount) + " instances created, initialised, ticked, destroyed",
      [&](Session& session) { checkManyInstances(session, options.instanceCount); });
  add("operation codes and pins out of range", checkUnknownOperations);
  add("hostile list texts", checkListTexts);
  add("closed from inside its own host calls", checkClosedInsideACall);
  add("glides complete", [](Session& session) { checkGlidesComplete(session, false); });
  add("glides complete with re-entrant reports",
      [](Session& session) { checkGlidesComplete(session, true); });
  add(
      "random pin values and texts",
      [&](Session& session) { checkRandomValues(session, seed, options.randomActions); }, seed);
  return report;
}

void printReport(const ValidationReport& report, std::FILE* out) {
  std::fprintf(out, "validate %s (%s)\n", report.path.c_str(),
               report.moduleName.empty() ? "not loaded" : report.moduleName.c_str());
  int failed = 0;
  std::optional<std::uint64_t> seed;
  for (const CheckResult& check : report.checks) {
    std::string name = check.name;
    if (check.seed) {
      name += " (seed " + std::to_string(*check.seed) + ")";
      seed = check.seed;
    }
    std::fprintf(out, "  %s  %s%s%s\n", check.passed ? "PASS" : "FAIL", name.c_str(),
                 check.detail.empty() ? "" : ": ", check.detail.c_str());
    failed += check.passed ? 0 : 1;
  }
  const std::string summary = failed == 0 ? "all passed" : std::to_string(failed) + " FAILED";
  std::fprintf(out, "  %zu checks, %s\n", report.checks.size(), summary.c_str());
  if (seed) {
    std::fprintf(out, "  replay: zav-host validate --seed %llu %s\n",
                 static_cast<unsigned long long>(*seed), report.path.c_str());
  }
}

} // namespace zav::host
