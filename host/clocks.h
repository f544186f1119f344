// Time sources for the reference host's ticker: the real clock for the tool, a
// virtual one that tests move by hand.
#pragma once

#include <chrono>
#include <cstdint>
#include <thread>

namespace zav::host {

class Clock {
public:
  virtual ~Clock() = default;
  virtual std::int64_t nowMs() = 0;
};

class RealClock final : public Clock {
public:
  std::int64_t nowMs() override {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start)
        .count();
  }
  // Sleeps until the clock reads `ms`; returns at once when it already does.
  void sleepUntil(std::int64_t ms) {
    std::this_thread::sleep_until(start + std::chrono::milliseconds(ms));
  }

private:
  std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
};

class VirtualClock final : public Clock {
public:
  std::int64_t nowMs() override { return now; }
  void set(std::int64_t ms) { now = ms; }
  void advance(std::int64_t ms) { now += ms; }

private:
  std::int64_t now = 0;
};

} // namespace zav::host
