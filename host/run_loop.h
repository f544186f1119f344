// Runs the reference host's tickers until every glide they drive has ended.
#pragma once

#include <cstdint>
#include <functional>

#include "host/reference_host.h"

namespace zav::host {

enum class RunEnd {
  TickersStopped, // every module wrote 0 to its Ticker pin
  TimedOut,       // a ticker still ran when the host's clock reached the deadline
};

// Lets every running ticker change its pin when its period is due, and waits in
// between with `waitUntil` (a real sleep in a tool, a jump of a virtual clock in
// a test), until no ticker runs or the host's clock reaches `deadlineMs`.
RunEnd runTickers(ReferenceHost& host, std::int64_t deadlineMs,
                  const std::function<void(std::int64_t ms)>& waitUntil);

} // namespace zav::host
