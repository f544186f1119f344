// What the ramp steps cost, measured through the GUI entry function as a host
// calls it, against a minimal host callback. The floor is what any tick step
// must pay: one read of the process clock and one call of that callback.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "bench/bench_values.h"
#include "bench/minimal_host.h"
#include "framework/process_clock.h"
#include "ramp/ramp_bool.h"
#include "ramp/ramp_float.h"
#include "ramp/ramp_int.h"
#include "ramp/ramp_list.h"
#include "ramp/ramp_text.h"

namespace zav::bench {

namespace {

void BM_Floor(benchmark::State& state) {
  MinimalHost host({PinDataType::Int, PinDataType::Int, PinDataType::Float, PinDataType::Float,
                    PinDataType::List});
  HostCallback callback = &MinimalHost::callback;
  benchmark::DoNotOptimize(callback);
  for (auto _ : state) {
    const std::int32_t now = processClockMs();
    benchmark::DoNotOptimize(now);
    callback(host.record(), gui_host_op::kSetPinValue, 3, 0, nullptr, static_cast<float>(now));
  }
}
BENCHMARK(BM_Floor);

// The floor's first part alone: one read of the process clock.
void BM_ProcessClock(benchmark::State& state) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(processClockMs());
  }
}
BENCHMARK(BM_ProcessClock);

// One tick step of a glide that never ends (the longest Morph Time).
template <class Kind> void BM_TickStep(benchmark::State& state) {
  GlidingObject<Kind> object(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    object.tick();
  }
}
BENCHMARK_TEMPLATE(BM_TickStep, RampFloat)->Arg(0);
BENCHMARK_TEMPLATE(BM_TickStep, RampInt)->Arg(0);
BENCHMARK_TEMPLATE(BM_TickStep, RampBool)->Arg(0);
BENCHMARK_TEMPLATE(BM_TickStep, RampText)->Arg(16)->Arg(256)->Arg(4096);
BENCHMARK_TEMPLATE(BM_TickStep, RampList)->Arg(3)->Arg(500); // 500 items fill a list text

// A glide start: each change of the left side is new and starts a glide.
template <class Kind> void BM_GlideStart(benchmark::State& state) {
  GlidingObject<Kind> object(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    object.retarget();
  }
}
BENCHMARK_TEMPLATE(BM_GlideStart, RampFloat)->Arg(0);
BENCHMARK_TEMPLATE(BM_GlideStart, RampInt)->Arg(0);
BENCHMARK_TEMPLATE(BM_GlideStart, RampBool)->Arg(0);
BENCHMARK_TEMPLATE(BM_GlideStart, RampText)->Arg(16)->Arg(1024)->Arg(65536);
BENCHMARK_TEMPLATE(BM_GlideStart, RampList)->Arg(3)->Arg(500);

// Initialise of a loaded module, the table fill included.
template <class Kind> void BM_Initialise(benchmark::State& state) {
  GlidingObject<Kind> object(0);
  for (auto _ : state) {
    object.send(gui_op::kInitialise, 1);
  }
}
BENCHMARK_TEMPLATE(BM_Initialise, RampFloat);
BENCHMARK_TEMPLATE(BM_Initialise, RampInt);
BENCHMARK_TEMPLATE(BM_Initialise, RampBool);
BENCHMARK_TEMPLATE(BM_Initialise, RampText);
BENCHMARK_TEMPLATE(BM_Initialise, RampList);

// A list text of 1,000 characters: items "item0=0" to "item124=124" and more,
// each with a value text to convert.
std::u16string thousandCharacterList() {
  std::string text;
  for (int item = 0; text.size() < 1000; ++item) {
    if (item > 0) {
      text += ',';
    }
    const std::string number = std::to_string(item);
    text.append("item").append(number).append("=").append(number);
  }
  text.resize(1000);
  return std::u16string(text.begin(), text.end());
}

// Reading, narrowing and parsing pin 3's list text, as Initialise and the list
// refresh do.
void BM_ParseList(benchmark::State& state) {
  MinimalHost host({PinDataType::Int, PinDataType::Int, PinDataType::List, PinDataType::List,
                    PinDataType::List});
  host.listText = thousandCharacterList();
  RampList list(&MinimalHost::callback, 0);
  for (auto _ : state) {
    list.parseList(3);
  }
}
BENCHMARK(BM_ParseList);

void BM_ReadListText(benchmark::State& state) {
  MinimalHost host({PinDataType::Int, PinDataType::Int, PinDataType::List, PinDataType::List,
                    PinDataType::List});
  host.listText = thousandCharacterList();
  RampList list(&MinimalHost::callback, 0);
  for (auto _ : state) {
    benchmark::DoNotOptimize(list.readListText(3));
  }
}
BENCHMARK(BM_ReadListText);

// Prints each tick step's cost as a ratio to the floor after the usual table.
class RatioReporter : public benchmark::ConsoleReporter {
public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Iteration) {
        nanoseconds[run.benchmark_name()] = run.GetAdjustedCPUTime();
      }
    }
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    const auto floor = nanoseconds.find("BM_Floor");
    if (floor == nanoseconds.end()) {
      return;
    }
    std::printf("\nTick steps against the floor (%.1f ns of CPU time):\n", floor->second);
    for (const auto& [name, ns] : nanoseconds) {
      if (name.rfind("BM_TickStep", 0) == 0) {
        std::printf("  %-40s %8.1f ns  %5.2f x floor\n", name.c_str(), ns, ns / floor->second);
      }
    }
  }

private:
  std::map<std::string, double> nanoseconds;
};

} // namespace
} // namespace zav::bench

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  zav::bench::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
