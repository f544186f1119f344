// Counts the allocations of module code. The global allocation functions of the
// unit-test program are replaced (counting_allocator.cpp); they count only
// while armed, and a host call made by the module through uncountedHost pauses
// the count, so that the reference host's own work is not counted.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zav::test {

// Allocations counted since the last arming.
std::size_t countedAllocations();
void armAllocationCount();
void disarmAllocationCount();

// The reference host's callback, with the count paused for its duration.
std::intptr_t uncountedHost(void* record, std::int32_t operation, std::int32_t a, std::int32_t b,
                            void* c, float d);

} // namespace zav::test
