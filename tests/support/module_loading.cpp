// Opening built module libraries in load-through-library tests, with the
// library's process clock on the test's clock.
//
// On Linux the module reads clock_gettime(CLOCK_MONOTONIC); this test program
// defines and exports that symbol, and a library loaded into it binds to the
// program's definition first. Every other clock passes through to the kernel.
#include <cerrno>
#include <ctime>
#include <string>

#include "tests/support/host_fixture.h"

#ifndef _WIN32
#include <sys/syscall.h>
#include <unistd.h>

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
  if (library == nullptr) {
    ADD_FAILURE() << error;
  }
  return library;
}

} // namespace zav::test
