// Drives one built module library end to end as a hostile host would, and
// stops at the first thing a host can see go wrong. Built once per
// deliverable: ZAV_FUZZ_MODULE names the .sem file of this build.
//
// Each input is a script of host actions: create and destroy instances, send
// any operation with any arguments to either dispatcher (pointers stay valid:
// c is a buffer of the harness or null), call the process and event
// functions, write any bit pattern to the pins, narrow texts up to 64 KiB,
// wide list texts of up to 5,000 characters with lone surrogates, with or
// without a terminator, or with the rest of the buffer filled, move the
// module's clock forward, backward and across the 32-bit wrap, switch reports
// of writes back on and off, close a module from inside its own host call,
// and tick.
//
// What stops the run: a sanitizer finding, or anything the reference host or
// the glide checker reports: a pin the module does not have, a list text not
// terminated within its capacity, a glide that a late tick did not finish with
// the target on both sides and 0 on the Ticker.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include <sys/syscall.h>
#include <unistd.h>

#include "host/glide_checker.h"
#include "host/module_library.h"
#include "host/reference_host.h"

namespace {

using zav::host::Instance;

zav::host::VirtualClock& moduleClock() {
  static zav::host::VirtualClock clock;
  return clock;
}

} // namespace

// The loaded module reads its process clock with clock_gettime(CLOCK_MONOTONIC);
// this program's exported definition comes first, so the harness moves the
// module's time. Every other clock passes through to the kernel.
extern "C" __attribute__((visibility("default"))) int clock_gettime(clockid_t clock,
                                                                    struct timespec* time) {
  if (clock != CLOCK_MONOTONIC) {
    return static_cast<int>(syscall(SYS_clock_gettime, clock, time));
  }
  const std::int64_t ms = moduleClock().nowMs();
  const std::int64_t seconds = ms >= 0 ? ms / 1000 : -((-ms + 999) / 1000);
  time->tv_sec = static_cast<time_t>(seconds);
  time->tv_nsec = static_cast<long>((ms - seconds * 1000) * 1000000);
  return 0;
}

namespace {

// A real host has a handful of modules open in one patch, and a handful of plugs each.
constexpr std::size_t kMaxInstances = 4;
constexpr std::int32_t kMaxPlugCount = 8;
constexpr std::size_t kMaxTextBytes = 64 * 1024;
constexpr std::size_t kMaxListChars = 5000;
constexpr int kMaxActions = 256;

std::unique_ptr<zav::host::ModuleLibrary>& library() {
  static std::unique_ptr<zav::host::ModuleLibrary> loaded;
  return loaded;
}

[[noreturn]] void fail(const std::string& what) {
  std::fprintf(stderr, "\n*** %s: %s\n", ZAV_FUZZ_MODULE, what.c_str());
  std::abort();
}

// Big enough for any record of the interface, aligned for any of them.
struct alignas(16) ScratchBuffer {
  std::array<unsigned char, 256> bytes;
};

class Session {
public:
  explicit Session(FuzzedDataProvider& input) : in(input) {
    host.options.logCalls = false;
    host.options.plugCount = in.ConsumeIntegralInRange<std::int32_t>(-2, kMaxPlugCount);
    host.options.reportWritesBack = in.ConsumeBool();
    host.options.unterminatedListText = in.ConsumeBool();
    moduleClock().set(in.ConsumeIntegral<std::int32_t>());
  }

  ~Session() {
    while (!instances.empty()) {
      destroy(instances.size() - 1);
    }
  }

  void run() {
    for (int action = 0; action < kMaxActions && in.remaining_bytes() > 0; ++action) {
      step();
      forgetClosed();
      check();
    }
  }

private:
  enum Action : std::uint8_t {
    Create,
    Destroy,
    GuiOperation,
    AudioOperation,
    ProcessAndEvent,
    Initialise,
    SetPinBits,
    SetMorphTime,
    SetText,
    SetListText,
    Tick,
    TickAfterMorphTime,
    MoveClock,
    ToggleReports,
    ListOperation,
    CloseInsideACall,
    kActionCount,
  };

  void step() {
    const auto action = static_cast<Action>(in.ConsumeIntegralInRange<int>(0, kActionCount - 1));
    if (action == Create || instances.empty()) {
      create();
      return;
    }
    const std::size_t which = in.ConsumeIntegralInRange<std::size_t>(0, instances.size() - 1);
    Instance& instance = *instances[which];
    switch (action) {
    case Destroy:
      destroy(which);
      break;
    case GuiOperation:
      sendGui(which);
      break;
    case AudioOperation:
      sendAudio(which);
      break;
    case ProcessAndEvent:
      processAndEvent(instance);
      break;
    case Initialise:
      host.initialise(instance, in.ConsumeBool());
      break;
    case SetPinBits:
      host.setInt(instance, in.ConsumeIntegralInRange<std::int32_t>(0, 4),
                  in.ConsumeIntegral<std::int32_t>());
      break;
    case SetMorphTime:
      host.setInt(instance, 1, in.ConsumeIntegralInRange<std::int32_t>(-3, 50));
      break;
    case SetText:
      host.setText(instance, in.ConsumeIntegralInRange<std::int32_t>(2, 3), text());
      break;
    case SetListText:
      host.setListText(instance, in.ConsumeIntegralInRange<std::int32_t>(2, 4), listText());
      host.options.unterminatedListText = in.ConsumeBool();
      // Not 0: the host fills the rest of every list buffer with it, unterminated.
      host.options.listTextFiller =
          in.ConsumeBool() ? static_cast<char16_t>(in.ConsumeIntegral<std::uint16_t>()) : u'\0';
      break;
    case Tick:
      host.tick(instance);
      break;
    case TickAfterMorphTime:
      moduleClock().advance(std::max<std::int64_t>(instance.pins[1].asInt(), 0) + 1);
      host.tick(instance);
      break;
    case MoveClock:
      moveClock();
      break;
    case ToggleReports:
      host.options.reportWritesBack = !host.options.reportWritesBack;
      break;
    case CloseInsideACall: // the next host call of any module closes that module
      host.options.closeInsideNextCall = true;
      host.setInt(instance, in.ConsumeIntegralInRange<std::int32_t>(0, 4),
                  in.ConsumeIntegral<std::int32_t>());
      break;
    case ListOperation:
      host.sendGui(instance, in.ConsumeBool() ? zav::gui_op::kRefreshList : zav::gui_op::kClearList,
                   in.ConsumeIntegralInRange<std::int32_t>(-1, 5));
      break;
    default:
      break;
    }
  }

  void create() {
    if (instances.size() >= kMaxInstances) {
      return;
    }
    Instance* made = host.create(*library());
    if (made == nullptr) {
      fail("makeModule made no object");
    }
    instances.push_back(made);
  }

  // Instances the host closed from inside one of their host calls.
  void forgetClosed() {
    for (std::size_t i = instances.size(); i-- > 0;) {
      if (instances[i]->closed) {
        checker.forget(*instances[i]);
        instances.erase(instances.begin() + static_cast<std::ptrdiff_t>(i));
      }
    }
    host.reapClosed();
  }

  void destroy(std::size_t which) {
    Instance* instance = instances[which];
    checker.forget(*instance);
    instances.erase(instances.begin() + static_cast<std::ptrdiff_t>(which));
    host.destroy(*instance);
  }

  // Mostly the codes the dispatchers know and their neighbours, sometimes any.
  std::int32_t operationCode() {
    return in.ConsumeBool() ? in.ConsumeIntegralInRange<std::int32_t>(-2, 24)
                            : in.ConsumeIntegral<std::int32_t>();
  }

  void* pointerArgument() {
    if (in.ConsumeBool()) {
      return nullptr;
    }
    const std::vector<unsigned char> bytes = in.ConsumeBytes<unsigned char>(scratch.bytes.size());
    scratch.bytes.fill(0);
    std::copy(bytes.begin(), bytes.end(), scratch.bytes.begin());
    return scratch.bytes.data();
  }

  float floatArgument() {
    const auto bits = in.ConsumeIntegral<std::uint32_t>();
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
  }

  void sendGui(std::size_t which) {
    const std::int32_t operation = operationCode();
    if (operation == zav::gui_op::kClose) {
      destroy(which); // the host closes both objects of an instance together
      return;
    }
    const auto a = in.ConsumeIntegral<std::int32_t>();
    const auto b = in.ConsumeIntegral<std::int32_t>();
    void* c = pointerArgument();
    host.sendGui(*instances[which], operation, a, b, c, floatArgument());
  }

  void sendAudio(std::size_t which) {
    const std::int32_t operation = operationCode();
    if (operation == zav::audio_op::kClose) {
      destroy(which);
      return;
    }
    const auto a = in.ConsumeIntegral<std::int32_t>();
    const auto b = in.ConsumeIntegral<std::int32_t>();
    void* c = pointerArgument();
    host.sendAudio(*instances[which], operation, a, b, c, floatArgument());
  }

  void processAndEvent(Instance& instance) {
    zav::AudioHostRecord& record = *instance.audio;
    if (in.ConsumeBool()) {
      record.process(record.object, in.ConsumeIntegral<std::int32_t>(),
                     in.ConsumeIntegral<std::int32_t>());
      return;
    }
    zav::HostEvent event{};
    event.stamp = in.ConsumeIntegral<std::int32_t>();
    event.type = in.ConsumeBool() ? in.ConsumeIntegralInRange<std::int32_t>(-1, 22)
                                  : in.ConsumeIntegral<std::int32_t>();
    event.value = in.ConsumeIntegral<std::int32_t>();
    event.extra = in.ConsumeIntegral<std::int32_t>();
    event.target = in.ConsumeIntegral<std::intptr_t>();
    record.event(record.object, &event);
  }

  // Sometimes the text repeated up to a length of at most `limit`: long texts
  // from short inputs.
  template <class Text> Text maybeRepeated(const Text& pattern, std::size_t limit) {
    if (pattern.empty() || !in.ConsumeBool()) {
      return pattern;
    }
    const std::size_t size = in.ConsumeIntegralInRange<std::size_t>(0, limit);
    Text repeated;
    while (repeated.size() < size) {
      repeated += pattern;
    }
    repeated.resize(size);
    return repeated;
  }

  // Up to 64 KiB: taken from the input, or a short pattern repeated.
  std::string text() {
    const std::string made = maybeRepeated(in.ConsumeRandomLengthString(256), kMaxTextBytes);
    return made.substr(0, made.find('\0'));
  }

  // Any 16-bit units, lone surrogates and zeros included; up to 5,000 of them.
  std::u16string listText() {
    std::u16string made;
    const std::size_t units = in.ConsumeIntegralInRange<std::size_t>(0, 64);
    for (std::size_t i = 0; i < units && in.remaining_bytes() > 0; ++i) {
      made.push_back(static_cast<char16_t>(in.ConsumeIntegral<std::uint16_t>()));
    }
    return maybeRepeated(made, kMaxListChars);
  }

  void moveClock() {
    switch (in.ConsumeIntegralInRange<int>(0, 3)) {
    case 0: // forward, by what a glide takes
      moduleClock().advance(in.ConsumeIntegralInRange<std::int64_t>(0, 3000));
      break;
    case 1: // backward
      moduleClock().advance(-in.ConsumeIntegralInRange<std::int64_t>(1, 3000));
      break;
    case 2: // next to the 32-bit wrap of the module's clock, on either side of it
      moduleClock().set((std::int64_t{1} << 32) * in.ConsumeIntegralInRange<std::int64_t>(-1, 1) +
                        in.ConsumeIntegralInRange<std::int64_t>(-50, 50));
      break;
    default: // anywhere
      moduleClock().advance(in.ConsumeIntegral<std::int32_t>());
      break;
    }
  }

  void check() {
    if (!host.protocolFaults().empty()) {
      fail(host.protocolFaults().front());
    }
    if (!checker.faults().empty()) {
      fail(checker.faults().front());
    }
  }

  FuzzedDataProvider& in;
  zav::host::ReferenceHost host{moduleClock()};
  zav::host::GlideChecker checker{host, 0};
  std::vector<Instance*> instances;
  ScratchBuffer scratch{};
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
  std::string error;
  library() = zav::host::ModuleLibrary::open(ZAV_FUZZ_MODULE, error);
  if (library() == nullptr) {
    fail(error);
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  Session session(input);
  session.run();
  return 0;
}
