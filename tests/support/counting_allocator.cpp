#include "tests/support/counting_allocator.h"

#include <cstdlib>
#include <new>
#include <utility>

#include "host/reference_host.h"

namespace {

bool countingArmed = false;
std::size_t allocationCount = 0;

} // namespace

// Kept out of line: inlined, the compiler would pair a new expression with
// free() and warn of a mismatch that these definitions rule out.
[[gnu::noinline]] void* operator new(std::size_t size) {
  if (countingArmed) {
    ++allocationCount;
  }
  if (void* memory = std::malloc(size == 0 ? 1 : size)) {
    return memory;
  }
  throw std::bad_alloc();
}

[[gnu::noinline]] void operator delete(void* memory) noexcept { std::free(memory); }
[[gnu::noinline]] void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }

namespace zav::test {

std::size_t countedAllocations() { return allocationCount; }

void armAllocationCount() {
  allocationCount = 0;
  countingArmed = true;
}

void disarmAllocationCount() { countingArmed = false; }

std::intptr_t uncountedHost(void* record, std::int32_t operation, std::int32_t a, std::int32_t b,
                            void* c, float d) {
  const bool wasArmed = std::exchange(countingArmed, false);
  const std::intptr_t answer = host::ReferenceHost::callback(record, operation, a, b, c, d);
  countingArmed = wasArmed;
  return answer;
}

} // namespace zav::test
