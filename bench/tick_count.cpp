// Runs a given number of tick steps of one kind in the minimal host, for
// instruction counts under callgrind. Two runs with different counts give the
// instructions of one tick step, free of the set-up:
//   (Ir(N2) − Ir(N1)) / (N2 − N1)        (bench/callgrind-ticks does this)
//
//   zav_tick_count KIND LENGTH TICKS      KIND: floor float int bool text list
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/bench_values.h"
#include "framework/process_clock.h"

namespace {

template <class Kind> int run(std::size_t length, long ticks) {
  zav::bench::GlidingObject<Kind> object(length);
  for (long i = 0; i < ticks; ++i) {
    object.tick();
  }
  return 0;
}

// What any tick step must pay: one clock read and one host call.
int runFloor(long ticks) {
  zav::bench::MinimalHost host({zav::PinDataType::Int, zav::PinDataType::Int,
                                zav::PinDataType::Float, zav::PinDataType::Float,
                                zav::PinDataType::List});
  zav::HostCallback volatile callback = &zav::bench::MinimalHost::callback;
  for (long i = 0; i < ticks; ++i) {
    const std::int32_t now = zav::processClockMs();
    callback(host.record(), zav::gui_host_op::kSetPinValue, 3, 0, nullptr, static_cast<float>(now));
  }
  return 0;
}

} // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: zav_tick_count floor|float|int|bool|text|list LENGTH TICKS\n");
    return 2;
  }
  const std::string kind = argv[1];
  const auto length = static_cast<std::size_t>(std::atol(argv[2]));
  const long ticks = std::atol(argv[3]);
  if (kind == "floor") {
    return runFloor(ticks);
  }
  if (kind == "float") {
    return run<zav::RampFloat>(length, ticks);
  }
  if (kind == "int") {
    return run<zav::RampInt>(length, ticks);
  }
  if (kind == "bool") {
    return run<zav::RampBool>(length, ticks);
  }
  if (kind == "text") {
    return run<zav::RampText>(length, ticks);
  }
  if (kind == "list") {
    return run<zav::RampList>(length, ticks);
  }
  std::fprintf(stderr, "zav_tick_count: unknown kind %s\n", kind.c_str());
  return 2;
}
