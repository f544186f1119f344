// The scale run: 10,000 module instances, 2,000 of each kind found, gliding at
// once in the reference host while every Ticker changes at 1 kHz on the real
// clock. Reports the share of one core used, the modules' part of it and the
// worst lateness of a tick.
//
// The modules' part is measured by running the same host loop a second time
// with objects that answer every call at once: what the real run costs more
// is the modules' work (their tick steps and the host calls they make).
//
//   zav_scale_run [SECONDS] [INSTANCES_PER_KIND]
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "host/reference_host.h"

namespace {

using zav::host::Instance;
using zav::host::ReferenceHost;

double cpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

struct RunResult {
  double wallSeconds = 0;
  double cpuSeconds = 0;
  std::int64_t ticks = 0;
  std::int64_t worstLatenessMs = 0;
};

// Services the tickers every millisecond, sleeping in between, for `seconds`.
RunResult runTickers(ReferenceHost& host, zav::host::RealClock& clock, int seconds) {
  const double cpuBefore = cpuSeconds();
  const std::int64_t ticksBefore = host.ticksServed();
  const auto start = std::chrono::steady_clock::now();
  const std::int64_t end = clock.nowMs() + seconds * 1000LL;
  while (clock.nowMs() < end) {
    host.serviceTickers();
    std::this_thread::sleep_until(std::chrono::steady_clock::now() +
                                  std::chrono::microseconds(200));
  }
  RunResult result;
  result.wallSeconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  result.cpuSeconds = cpuSeconds() - cpuBefore;
  result.ticks = host.ticksServed() - ticksBefore;
  result.worstLatenessMs = host.worstTickLatenessMs();
  return result;
}

struct Kind {
  const char* file;
  void (*startGlide)(ReferenceHost& host, Instance& instance, int n);
};

const Kind kKinds[] = {
    {"zav_ramp_gf.sem", [](ReferenceHost& h, Instance& i, int) { h.setFloat(i, 2, 10.0f); }},
    {"zav_ramp_gi.sem", [](ReferenceHost& h, Instance& i, int) { h.setInt(i, 2, 1000); }},
    {"zav_ramp_gb.sem", [](ReferenceHost& h, Instance& i, int) { h.setInt(i, 2, 1); }},
    {"zav_ramp_gt.sem",
     [](ReferenceHost& h, Instance& i, int) { h.setText(i, 2, "zzzzzzzzzzzzzzzz"); }},
    {"zav_ramp_gl.sem", [](ReferenceHost& h, Instance& i, int) { h.setInt(i, 2, 7); }},
};

// Objects that answer every operation at once, for the host-only run.
std::int32_t answerAtOnce(zav::GuiHostRecord*, std::int32_t, std::int32_t, std::int32_t, void*,
                          float) {
  return 0;
}

void print(const char* what, const RunResult& run) {
  std::printf("%-28s %6.2f s wall  %6.2f s CPU  %5.1f %% of one core  %10lld ticks (%.2f M/s)  "
              "worst lateness %lld ms\n",
              what, run.wallSeconds, run.cpuSeconds, 100.0 * run.cpuSeconds / run.wallSeconds,
              static_cast<long long>(run.ticks), run.ticks / run.wallSeconds / 1e6,
              static_cast<long long>(run.worstLatenessMs));
}

} // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 10;
  const int perKind = argc > 2 ? std::atoi(argv[2]) : 2000;
  zav::host::RealClock clock;

  std::vector<std::unique_ptr<zav::host::ModuleLibrary>> libraries;
  RunResult modules;
  {
    ReferenceHost host(clock);
    host.options.logCalls = false;
    host.options.tickPeriodMs = 1;
    int instances = 0;
    for (const Kind& kind : kKinds) {
      std::string error;
      auto library =
          zav::host::ModuleLibrary::open(std::string(ZAV_MODULE_DIR) + "/" + kind.file, error);
      if (library == nullptr) {
        std::printf("skipped %s: %s\n", kind.file, error.c_str());
        continue;
      }
      for (int n = 0; n < perKind; ++n) {
        Instance* instance = host.create(*library);
        if (instance == nullptr) {
          std::fprintf(stderr, "%s made no instance\n", kind.file);
          return 1;
        }
        host.sendAudio(*instance, zav::audio_op::kOpen);
        // Texts of 16 characters; lists of 8 items.
        instance->pins[3].text = "aaaaaaaaaaaaaaaa";
        instance->pins[3].listText = u"a,b,c,d,e,f,g,h";
        host.initialise(*instance, false);
        instance->pins[3].text = "aaaaaaaaaaaaaaaa";
        host.setInt(*instance, 1, 60000); // every glide outlasts the run
        kind.startGlide(host, *instance, n);
        ++instances;
      }
      libraries.push_back(std::move(library));
    }
    // The run starts now, not when the first glide of the set-up started.
    for (auto& instance : host.instances()) {
      instance->nextTickMs = clock.nowMs() + 1;
    }
    std::printf("%d instances gliding, each Ticker at 1 kHz, for %d s\n", instances, seconds);
    modules = runTickers(host, clock, seconds);
    print("modules in the host:", modules);
  }

  RunResult hostOnly;
  {
    std::vector<zav::GuiHostRecord> records(libraries.size() * static_cast<std::size_t>(perKind));
    ReferenceHost host(clock);
    host.options.logCalls = false;
    host.options.tickPeriodMs = 1;
    for (zav::GuiHostRecord& record : records) {
      record.dispatcher = &answerAtOnce;
      Instance& instance = host.adopt(&record, {zav::PinDataType::Int});
      instance.tickerRunning = true;
      instance.nextTickMs = clock.nowMs() + 1;
    }
    hostOnly = runTickers(host, clock, seconds);
    print("host alone, same ticks:", hostOnly);
  }

  const double share = 100.0 * modules.cpuSeconds / modules.wallSeconds;
  const double moduleShare =
      100.0 * (modules.cpuSeconds - hostOnly.cpuSeconds) / modules.wallSeconds;
  std::printf("\nshare of one core: %.1f %% (goal under 70 %%); the modules' part: %.1f %%; "
              "worst lateness of a tick: %lld ms (goal at most 2 ms)\n",
              share, moduleShare, static_cast<long long>(modules.worstLatenessMs));
  return 0;
}
