// The process clock: milliseconds of real time since the library started.
#pragma once

#include <cstdint>

namespace zav {

// A signed 32-bit count of milliseconds of a monotonic clock since the library
// was loaded. It wraps after about 24.8 days; callers use only differences,
// subtracted in 32-bit arithmetic, so the wrap does no harm.
//
// Defined in process_clock.cpp for the module libraries. Unit tests link a
// definition of their own in its place and move time themselves.
std::int32_t processClockMs() noexcept;

} // namespace zav
