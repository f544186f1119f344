#include "host/run_loop.h"

#include <algorithm>

namespace zav::host {

RunEnd runTickers(ReferenceHost& host, std::int64_t deadlineMs,
                  const std::function<void(std::int64_t ms)>& waitUntil) {
  while (host.serviceTickers()) {
    if (host.clock().nowMs() >= deadlineMs) {
      return RunEnd::TimedOut;
    }
    std::int64_t nextTickMs = deadlineMs;
    for (const auto& instance : host.instances()) {
      if (instance->tickerRunning) {
        nextTickMs = std::min(nextTickMs, instance->nextTickMs);
      }
    }
    waitUntil(nextTickMs);
  }
  return RunEnd::TickersStopped;
}

} // namespace zav::host
