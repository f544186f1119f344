#include "framework/process_clock.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <time.h>
#endif

namespace zav {
namespace {

// Reads the platform's monotonic clock in milliseconds. It never jumps when the
// system time is set. The module calls the platform function itself (not
// through the C++ runtime) so that a test host can put a clock of its own in
// the library's import of it.
std::int64_t monotonicMs() noexcept {
#ifdef _WIN32
  LARGE_INTEGER frequency;
  LARGE_INTEGER counter;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&counter);
  const std::int64_t ticksPerSecond = frequency.QuadPart > 0 ? frequency.QuadPart : 1;
  return counter.QuadPart / ticksPerSecond * 1000 +
         counter.QuadPart % ticksPerSecond * 1000 / ticksPerSecond;
#else
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
#endif
}

const std::int64_t libraryStartMs = monotonicMs();

} // namespace

std::int32_t processClockMs() noexcept {
  // Modular arithmetic: the low 32 bits of the count, as a signed number.
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(monotonicMs() - libraryStartMs));
}

} // namespace zav
