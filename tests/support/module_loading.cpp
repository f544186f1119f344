// Opening built module libraries in load-through-library tests, with the
// library's process clock on the test's clock.
//
// On Linux the module reads clock_gettime(CLOCK_MONOTONIC); this test program
// defines and exports that symbol, and a library loaded into it binds to the
// program's definition first. Every other clock passes through to the kernel.
//
// On Windows the module reads QueryPerformanceCounter and
// QueryPerformanceFrequency through its import address table. A DLL's imports
// never bind to the program, so after loading the library the test rewrites
// those two slots of its table to functions reading the test's clock.
#include <cerrno>
#include <cstring>
#include <ctime>
#include <string>

#include "tests/support/host_fixture.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/syscall.h>
#include <unistd.h>
#endif

#ifdef _WIN32
namespace {

// The counter frequency current Windows versions report, so that the module's
// conversion to milliseconds runs on realistic numbers.
constexpr LONGLONG kCounterTicksPerSecond = 10'000'000;

BOOL WINAPI testQueryPerformanceFrequency(LARGE_INTEGER* frequency) {
  frequency->QuadPart = kCounterTicksPerSecond;
  return TRUE;
}

BOOL WINAPI testQueryPerformanceCounter(LARGE_INTEGER* counter) {
  counter->QuadPart = zav::test::moduleClock().nowMs() * (kCounterTicksPerSecond / 1000);
  return TRUE;
}

template <class T> T* atOffset(HMODULE library, DWORD offset) {
  return reinterpret_cast<T*>(reinterpret_cast<BYTE*>(library) + offset);
}

// Points every import of `function` by `library`, from whichever DLL, at
// `replacement`. Returns how many slots it rewrote.
int redirectImport(HMODULE library, const char* function, ULONG_PTR replacement) {
  const auto* dosHeader = atOffset<IMAGE_DOS_HEADER>(library, 0);
  const auto* ntHeaders = atOffset<IMAGE_NT_HEADERS>(library, dosHeader->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports =
      ntHeaders->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (imports.Size == 0) {
    return 0;
  }
  int rewritten = 0;
  for (auto* dll = atOffset<IMAGE_IMPORT_DESCRIPTOR>(library, imports.VirtualAddress);
       dll->Name != 0; ++dll) {
    // The name table stays as linked; the address table holds the bound
    // addresses once the library is loaded.
    if (dll->OriginalFirstThunk == 0) {
      continue;
    }
    const auto* names = atOffset<IMAGE_THUNK_DATA>(library, dll->OriginalFirstThunk);
    auto* slots = atOffset<IMAGE_THUNK_DATA>(library, dll->FirstThunk);
    for (; names->u1.AddressOfData != 0; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) {
        continue;
      }
      const auto* byName = atOffset<IMAGE_IMPORT_BY_NAME>(library, names->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) != 0) {
        continue;
      }
      // The address table usually lies in a read-only page after loading.
      DWORD protection = 0;
      if (!VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE,
                          &protection)) {
        continue;
      }
      slots->u1.Function = replacement;
      VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, protection, &protection);
      ++rewritten;
    }
  }
  return rewritten;
}

// The library was started on the real counter; from here on it reads the
// test's clock. Only clock differences matter to a module, so the jump between
// the two clocks at this moment does no harm.
bool putOnTestClock(HMODULE library, std::string& error) {
  const struct {
    const char* name;
    ULONG_PTR replacement;
  } clockFunctions[] = {
      {"QueryPerformanceFrequency", reinterpret_cast<ULONG_PTR>(&testQueryPerformanceFrequency)},
      {"QueryPerformanceCounter", reinterpret_cast<ULONG_PTR>(&testQueryPerformanceCounter)},
  };
  for (const auto& clockFunction : clockFunctions) {
    if (redirectImport(library, clockFunction.name, clockFunction.replacement) == 0) {
      error = std::string("the library does not import ") + clockFunction.name +
              ": cannot put it on the test's clock";
      return false;
    }
  }
  return true;
}

} // namespace
#else
extern "C" __attribute__((visibility("default"))) int clock_gettime(clockid_t clock,
                                                                    struct timespec* time) {
  if (clock != CLOCK_MONOTONIC) {
    return static_cast<int>(syscall(SYS_clock_gettime, clock, time));
  }
  const std::int64_t ms = zav::test::moduleClock().nowMs();
  const std::int64_t seconds = ms >= 0 ? ms / 1000 : -((-ms + 999) / 1000);
  time->tv_sec = static_cast<time_t>(seconds);
  time->tv_nsec = static_cast<long>((ms - seconds * 1000) * 1000000);
  return 0;
}
#endif

namespace zav::test {

std::string modulePath(const std::string& fileName) {
  return std::string(ZAV_MODULE_DIR) + "/" + fileName;
}

std::unique_ptr<host::ModuleLibrary> openModule(const std::string& fileName) {
  std::string error;
  auto library = host::ModuleLibrary::open(modulePath(fileName), error);
#ifdef _WIN32
  if (library != nullptr && !putOnTestClock(static_cast<HMODULE>(library->handle()), error)) {
    library.reset();
  }
#endif
  if (library == nullptr) {
    ADD_FAILURE() << fileName << ": " << error;
  }
  return library;
}

} // namespace zav::test
