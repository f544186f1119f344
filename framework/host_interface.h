// The binary interface between a host and a zav-ramp module library.
//
// Everything a host needs to load our modules is on this page: the two exports,
// the records that pass between host and module, the function types stored in
// those records, and every operation code and pin code. A host includes this
// header and nothing else of ours.
//
// The interface was laid down for 32-bit x86 code, where every field and
// argument is one 4-byte little-endian word, pointers included. On a 64-bit
// build only the fields that hold pointers (and `reserved`, an intptr_t) widen
// to 8 bytes; every other field stays 4 bytes and the compiler's natural
// alignment applies. The static_asserts under each record pin down both forms.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zav {

inline constexpr bool kIs32BitBuild = sizeof(void*) == 4;

// Picks the expected offset or size of a record on the build being compiled.
constexpr std::size_t onBuild(std::size_t bits32, std::size_t bits64) {
  return kIs32BitBuild ? bits32 : bits64;
}

static_assert(sizeof(float) == 4 && sizeof(std::int32_t) == 4);
static_assert(sizeof(void*) == 4 || sizeof(void*) == 8);

struct GuiHostRecord;
struct AudioHostRecord;
struct HostEvent;

// ---------------------------------------------------------------------------
// Function types. All use the platform's default C calling convention.

// The host's services. `record` is the calling object's own GuiHostRecord or
// AudioHostRecord: it is how the host tells objects and sides apart. `a` is the
// pin or plug index where there is one, `c` a pointer where the operation takes
// one, `d` a float value. Arguments an operation does not name are 0. The result
// is a 32-bit word, or a pointer for operations that return one.
using HostCallback = std::intptr_t (*)(void* record, std::int32_t operation, std::int32_t a,
                                       std::int32_t b, void* c, float d);

// Stored in GuiHostRecord::dispatcher; the host calls every GUI operation here.
using GuiEntry = std::int32_t (*)(GuiHostRecord* record, std::int32_t operation, std::int32_t a,
                                  std::int32_t b, void* c, float d);

// Stored in AudioHostRecord::dispatcher; the host calls every audio operation here.
using AudioEntry = std::intptr_t (*)(AudioHostRecord* record, std::int32_t operation,
                                     std::int32_t a, std::int32_t b, void* c, float d);

// Stored in AudioHostRecord::process. Only `object` is read by our modules.
using ProcessFunction = std::int32_t (*)(void* object, std::int32_t a, std::int32_t b);

// Stored in AudioHostRecord::event; the host delivers a HostEvent here.
using EventFunction = void (*)(void* object, HostEvent* event);

// ---------------------------------------------------------------------------
// Module identity: the record getModuleProperties fills.

inline constexpr std::int32_t kSdkVersion = 2230;

// Owned by the host. The module writes name, identifier, about and sdkVersion and
// leaves every other byte as the host set it. The three texts are constants of
// the library, valid while it is loaded; the host must not free or change them.
struct ModuleProperties {
  const char* name;        // module name, zero-terminated
  const char* identifier;  // the same pointer as name
  const char* about;       // about text, lines separated by a single line feed
  std::int32_t unused12;   // never written by the module
  std::int32_t unused16;   // never written by the module
  std::int32_t sdkVersion; // always kSdkVersion
};
static_assert(offsetof(ModuleProperties, name) == 0);
static_assert(offsetof(ModuleProperties, identifier) == onBuild(4, 8));
static_assert(offsetof(ModuleProperties, about) == onBuild(8, 16));
static_assert(offsetof(ModuleProperties, unused12) == onBuild(12, 24));
static_assert(offsetof(ModuleProperties, unused16) == onBuild(16, 28));
static_assert(offsetof(ModuleProperties, sdkVersion) == onBuild(20, 32));
static_assert(sizeof(ModuleProperties) == onBuild(24, 40));

// makeModule's `kind` argument.
enum class ObjectKind : std::int32_t {
  Audio = 1, // the audio-side object; makeModule returns its AudioHostRecord
  Gui = 2,   // the GUI-side object; makeModule returns its GuiHostRecord
};

// ---------------------------------------------------------------------------
// GUI side.

inline constexpr std::int32_t kGuiRecordMagic = 0x5345504D;

// Lives inside the GUI-side object, exactly as long as the object. Written once
// by the object's constructor; the host keeps its address and nothing else.
struct GuiHostRecord {
  std::int32_t magic;     // kGuiRecordMagic
  std::int32_t version;   // 1
  GuiEntry dispatcher;    // the entry function for every GUI operation
  std::intptr_t reserved; // makeModule's fourth argument, stored, never read
  void* object;           // the module object holding this record
  std::int32_t zero[5];   // all 0
};
static_assert(offsetof(GuiHostRecord, magic) == 0);
static_assert(offsetof(GuiHostRecord, version) == 4);
static_assert(offsetof(GuiHostRecord, dispatcher) == 8);
static_assert(offsetof(GuiHostRecord, reserved) == onBuild(12, 16));
static_assert(offsetof(GuiHostRecord, object) == onBuild(16, 24));
static_assert(offsetof(GuiHostRecord, zero) == onBuild(20, 32));
static_assert(sizeof(GuiHostRecord) == onBuild(40, 56));

// Operations the host sends to GuiHostRecord::dispatcher. Every code not listed
// is ignored and answered with 0.
namespace gui_op {
inline constexpr std::int32_t kInitialise = 0;   // a == 1: the module was loaded with a patch
inline constexpr std::int32_t kClose = 1;        // close and destroy the object; answers 1
inline constexpr std::int32_t kHook2 = 2;        // (a, c), host-defined
inline constexpr std::int32_t kHook3 = 3;        // (c, d, (a, b)), host-defined
inline constexpr std::int32_t kHook4 = 4;        // (c, d, (a, b)), host-defined
inline constexpr std::int32_t kHook5 = 5;        // (c, d, (a, b)), host-defined
inline constexpr std::int32_t kHook6 = 6;        // (b, a, c), host-defined
inline constexpr std::int32_t kPinChanged = 7;   // a: the pin whose value changed
inline constexpr std::int32_t kHook8 = 8;        // (c), host-defined
inline constexpr std::int32_t kHook9 = 9;        // (c), host-defined
inline constexpr std::int32_t kQuery10 = 10;     // () -> 1 or 0, host-defined
inline constexpr std::int32_t kRefreshList = 11; // a: a pin index; List module only
inline constexpr std::int32_t kClearList = 12;   // a: a pin index; List module only
} // namespace gui_op

// Host services for the GUI side (HostCallback operation codes).
namespace gui_host_op {
inline constexpr std::int32_t kSetPinText = 6;      // a pin, c text; copied during the call
inline constexpr std::int32_t kGetPinText = 7;      // a pin -> host-owned text; copy at once
inline constexpr std::int32_t kRequest8 = 8;        // a, b, c from the caller
inline constexpr std::int32_t kGetPinValue = 14;    // a pin, c 4-byte cell the host fills
inline constexpr std::int32_t kSetPinValue = 15;    // a pin; ints in b, floats in d
inline constexpr std::int32_t kSetPinListText = 16; // a pin, b 1000, c text; copied
inline constexpr std::int32_t kGetPinListText = 17; // a pin, b capacity, c char16_t buffer
                                                    // (b 0, c null: returns the size needed)
inline constexpr std::int32_t kRequest18 = 18;      // c from the caller
inline constexpr std::int32_t kRequest19 = 19;      // c from the caller
inline constexpr std::int32_t kRequest20 = 20;      // c from the caller; result tested != 0
} // namespace gui_host_op

// The capacity, in characters and bytes, of list texts passed with operations
// 16 and 17.
inline constexpr std::int32_t kListTextCapacity = 1000;

// ---------------------------------------------------------------------------
// Audio side.

inline constexpr std::int32_t kAudioRecordMagic = 0x5345504C;

// Lives inside the audio-side object, exactly as long as the object.
struct AudioHostRecord {
  std::int32_t magic;      // kAudioRecordMagic
  std::int32_t version;    // 1
  std::intptr_t reserved;  // makeModule's fourth argument, stored, never read
  void* object;            // first argument of process and event
  std::int32_t zero16;     // 0
  AudioEntry dispatcher;   // the entry function for every audio operation
  ProcessFunction process; // the current process function
  EventFunction event;     // receives HostEvents
  std::int32_t zero[4];    // all 0
  float sampleRate;        // 44100.0 until audio operation 2
  std::int32_t blockSize;  // 1024 until audio operation 3
};
static_assert(offsetof(AudioHostRecord, magic) == 0);
static_assert(offsetof(AudioHostRecord, version) == 4);
static_assert(offsetof(AudioHostRecord, reserved) == 8);
static_assert(offsetof(AudioHostRecord, object) == onBuild(12, 16));
static_assert(offsetof(AudioHostRecord, zero16) == onBuild(16, 24));
static_assert(offsetof(AudioHostRecord, dispatcher) == onBuild(20, 32));
static_assert(offsetof(AudioHostRecord, process) == onBuild(24, 40));
static_assert(offsetof(AudioHostRecord, event) == onBuild(28, 48));
static_assert(offsetof(AudioHostRecord, zero) == onBuild(32, 56));
static_assert(offsetof(AudioHostRecord, sampleRate) == onBuild(48, 72));
static_assert(offsetof(AudioHostRecord, blockSize) == onBuild(52, 76));
static_assert(sizeof(AudioHostRecord) == onBuild(56, 80));

// Operations the host sends to AudioHostRecord::dispatcher. Every code not
// listed is ignored and answered with 0.
namespace audio_op {
inline constexpr std::int32_t kOpen = 0;             // install the process function, enumerate pins
inline constexpr std::int32_t kClose = 1;            // close and destroy the object; answers 1
inline constexpr std::int32_t kSetSampleRate = 2;    // d: the sample rate
inline constexpr std::int32_t kSetBlockSize = 3;     // b: the block size
inline constexpr std::int32_t kGetPinProperties = 6; // a pin, c zeroed PinProperties -> 1 or 0
inline constexpr std::int32_t kHook8 = 8;            // a: value handed on when > 0
inline constexpr std::int32_t kHook12 = 12;          // (b, a, c), host-defined
inline constexpr std::int32_t kGetProcessInfo = 13;  // -> ProcessSelectionInfo*
} // namespace audio_op

// Host services for the audio side (HostCallback operation codes).
namespace audio_host_op {
inline constexpr std::int32_t kPlugRequest0 = 0;            // a plug, c and b from the caller
inline constexpr std::int32_t kPlugRequest1 = 1;            // a plug; result tested != 0
inline constexpr std::int32_t kBlockPosition = 3;           // -> int32
inline constexpr std::int32_t kPlugRequest4 = 4;            // a plug, c and b from the caller
inline constexpr std::int32_t kGetPlugBuffer = 7;           // a plug -> float sample buffer
inline constexpr std::int32_t kPlugBufferOffset = 8;        // a plug -> int32
inline constexpr std::int32_t kProcessIdle = 10;            // sent by the idle process function
inline constexpr std::int32_t kGetPlugCount = 14;           // -> number of plugs; <= 0 means none
inline constexpr std::int32_t kQueueEvent = 19;             // c a HostEvent, copied during the call
inline constexpr std::int32_t kProcessFunctionChanged = 22; // take the record's new process
} // namespace audio_host_op

// PinProperties::dataType.
enum class PinDataType : std::int32_t {
  List = 0, // enumerated list; the value is the selected item's number
  Text = 1,
  Bool = 4,
  Audio = 5, // 32-bit float samples
  Float = 6,
  Int = 8,
};

// PinProperties::direction.
enum class PinDirection : std::int32_t {
  Input = 0,
  Output = 1,
  Parameter = 3, // the code the Passing Mode pin carries
};

// PinProperties::flags.
namespace pin_flag {
inline constexpr std::int32_t kRepeatLast = 0x8;    // surplus plugs take this pin's type
inline constexpr std::int32_t kNoPlug = 0x400;      // no audio-side plug for this pin
inline constexpr std::int32_t kForcePlug = 0x8000;  // a plug despite kNoPlug
inline constexpr std::int32_t kHost10000 = 0x10000; // for the host alone
inline constexpr std::int32_t kHost20000 = 0x20000; // for the host alone
} // namespace pin_flag

// One pin declaration. The host zeroes it before every query (audio operation
// 6); the module writes only the fields that apply. Texts are constants of the
// library.
struct PinProperties {
  void* variable;          // the module's variable for the pin's value, or null
  std::int32_t direction;  // a PinDirection
  std::int32_t dataType;   // a PinDataType
  const char* name;        // zero-terminated
  const char* defaultText; // the default value as text
  const char* listText;    // items separated by commas, for list pins; else null
  std::int32_t flags;      // pin_flag bits
  std::int32_t zero;       // stays 0
};
static_assert(offsetof(PinProperties, variable) == 0);
static_assert(offsetof(PinProperties, direction) == onBuild(4, 8));
static_assert(offsetof(PinProperties, dataType) == onBuild(8, 12));
static_assert(offsetof(PinProperties, name) == onBuild(12, 16));
static_assert(offsetof(PinProperties, defaultText) == onBuild(16, 24));
static_assert(offsetof(PinProperties, listText) == onBuild(20, 32));
static_assert(offsetof(PinProperties, flags) == onBuild(24, 40));
static_assert(offsetof(PinProperties, zero) == onBuild(28, 44));
static_assert(sizeof(PinProperties) == onBuild(32, 48));

// HostEvent::type.
namespace event_type {
inline constexpr std::int32_t kPlugState = 0;     // target: plug index; value: new state
inline constexpr std::int32_t kHookCall = 2;      // stamp, value, low 16 bits of extra
inline constexpr std::int32_t kRunOperation = 21; // target: an AudioOperation to run
} // namespace event_type

// An event delivered to AudioHostRecord::event, or queued with audio host
// operation 19. The sender owns it; it lives only for the call.
struct HostEvent {
  std::int32_t stamp;   // set by the sender
  std::int32_t type;    // an event_type code; others are ignored
  std::int32_t value;   // type 0: the new plug state; type 2: second hook argument
  std::int32_t extra;   // type 2: third hook argument, low 16 bits
  std::intptr_t target; // type 0: plug index; type 21: the operation to run
  std::int32_t zero;    // 0
};
static_assert(offsetof(HostEvent, stamp) == 0);
static_assert(offsetof(HostEvent, type) == 4);
static_assert(offsetof(HostEvent, value) == 8);
static_assert(offsetof(HostEvent, extra) == 12);
static_assert(offsetof(HostEvent, target) == 16);
static_assert(offsetof(HostEvent, zero) == onBuild(20, 24));
static_assert(sizeof(HostEvent) == onBuild(24, 32));

// A process function with three words the host may compare.
struct ProcessSelection {
  ProcessFunction function;
  std::int32_t words[3]; // 0 in our modules
};
static_assert(offsetof(ProcessSelection, function) == 0);
static_assert(offsetof(ProcessSelection, words) == onBuild(4, 8));
static_assert(sizeof(ProcessSelection) == onBuild(16, 24));

// The answer to audio operation 13: one record per library, rewritten by every
// such call, whose `current` points at the latest caller's ProcessSelection.
struct ProcessSelectionInfo {
  std::int32_t one;           // 1
  std::int32_t selectionSize; // 16
  ProcessSelection* current;  // the calling object's current selection
  std::int32_t zero;          // 0
};
static_assert(offsetof(ProcessSelectionInfo, one) == 0);
static_assert(offsetof(ProcessSelectionInfo, selectionSize) == 4);
static_assert(offsetof(ProcessSelectionInfo, current) == 8);
static_assert(offsetof(ProcessSelectionInfo, zero) == onBuild(12, 16));
static_assert(sizeof(ProcessSelectionInfo) == onBuild(16, 24));

// ---------------------------------------------------------------------------
// The two exports every module library has, with undecorated C names.

extern "C" {
// Fills `props` for module `index` (only 0 exists) and returns 1; any other
// index returns 0 and writes only sdkVersion.
using GetModulePropertiesFunction = std::int32_t (*)(std::int32_t index, ModuleProperties* props);
// Makes a new object of `kind` (an ObjectKind) for module `index` and returns
// its host record, or null. The object belongs to the host until it sends the
// close operation (1) to that record's dispatcher.
using MakeModuleFunction = void* (*)(std::int32_t index, std::int32_t kind,
                                     HostCallback hostCallback, std::intptr_t reserved);
}

inline constexpr const char* kGetModulePropertiesName = "getModuleProperties";
inline constexpr const char* kMakeModuleName = "makeModule";

} // namespace zav
