// How the benchmarks give each kind's left side two different values in turn.
#pragma once

#include <cstddef>
#include <cstdint>

#include "bench/minimal_host.h"
#include "ramp/ramp_bool.h"
#include "ramp/ramp_float.h"
#include "ramp/ramp_int.h"
#include "ramp/ramp_list.h"
#include "ramp/ramp_text.h"

namespace zav::bench {

template <> struct BenchValues<RampFloat> {
  static void prepare(MinimalHost&, std::size_t) {}
  static void setLeft(MinimalHost& host, bool flip, std::size_t) {
    host.setFloat(2, flip ? 10.0f : 0.0f);
  }
};

template <> struct BenchValues<RampInt> {
  static void prepare(MinimalHost&, std::size_t) {}
  static void setLeft(MinimalHost& host, bool flip, std::size_t) {
    host.setInt(2, flip ? 1000 : 0);
  }
};

template <> struct BenchValues<RampBool> {
  static void prepare(MinimalHost&, std::size_t) {}
  static void setLeft(MinimalHost& host, bool flip, std::size_t) { host.setInt(2, flip ? 1 : 0); }
};

// Texts of the benchmark's length, every position gliding from 'a' to 'z' or back.
template <> struct BenchValues<RampText> {
  static void prepare(MinimalHost&, std::size_t) {}
  static void setLeft(MinimalHost& host, bool flip, std::size_t length) {
    host.texts[2].assign(length, flip ? 'z' : 'a');
  }
};

// Default-numbered lists of the benchmark's number of items, every glide
// running from the first item to the last or back.
template <> struct BenchValues<RampList> {
  static void prepare(MinimalHost& host, std::size_t items) {
    host.listText.assign(items > 0 ? 2 * items - 1 : 0, u'i'); // "i,i,…,i"
    for (std::size_t comma = 1; comma < host.listText.size(); comma += 2) {
      host.listText[comma] = u',';
    }
  }
  static void setLeft(MinimalHost& host, bool flip, std::size_t items) {
    host.setInt(2, flip ? static_cast<std::int32_t>(items) - 1 : 0);
  }
};

} // namespace zav::bench
