#include "host/tool/live_view.h"

#include <algorithm>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace zav::tool {
namespace {

constexpr int kBarWidth = 30;
constexpr std::size_t kValueWidth = 28;

// The number of characters a terminal shows for UTF-8 text (no wide glyphs).
std::size_t shownWidth(const std::string& text) {
  return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

std::string fitted(std::string text, std::size_t width) {
  if (shownWidth(text) > width) {
    // Popping byte by byte ends on a whole character: the width drops only when
    // a sequence's lead byte goes.
    while (shownWidth(text) > width - 3) {
      text.pop_back();
    }
    text += "...";
  }
  return text + std::string(width - shownWidth(text), ' ');
}

std::string progressBar(std::int64_t elapsedMs, std::int32_t morphTimeMs) {
  const double part =
      morphTimeMs <= 0 ? 1.0 : std::clamp(static_cast<double>(elapsedMs) / morphTimeMs, 0.0, 1.0);
  const int filled = static_cast<int>(part * kBarWidth + 0.5);
  std::string bar(1, '[');
  bar.append(static_cast<std::size_t>(filled), '#');
  bar.append(static_cast<std::size_t>(kBarWidth - filled), '.');
  return bar.append(1, ']');
}

} // namespace

bool isTerminal(std::FILE* stream) {
#ifdef _WIN32
  return _isatty(_fileno(stream)) != 0;
#else
  return isatty(fileno(stream)) != 0;
#endif
}

std::string glideHeadline(const GlideTrace& trace) {
  return trace.moduleName + ": " + sideName(trace.source) + " set to " +
         showValue(trace.to, trace.items) + ", " + sideName(otherSide(trace.source)) +
         " glides from " + showValue(trace.from, trace.items) + " (Morph Time " +
         std::to_string(trace.morphTimeMs) + " ms, " + modeDescription(trace) + ", a tick every " +
         std::to_string(trace.tickMs) + " ms)";
}

void LiveView::started(const GlideTrace& trace) {
  std::fprintf(out, "%s\n", glideHeadline(trace).c_str());
  show(trace);
}

void LiveView::stepped(const GlideTrace& trace) { show(trace); }

void LiveView::show(const GlideTrace& trace) {
  const TraceSample& last = trace.samples.back();
  const std::string value = showValue(last.value, trace.items);
  if (!terminal) {
    std::fprintf(out, "%8s ms  %s\n", std::to_string(last.timeMs).c_str(), value.c_str());
    return;
  }
  const std::string line =
      "  " + std::string(sideName(otherSide(trace.source))) + "  " + fitted(value, kValueWidth) +
      "  " + progressBar(last.timeMs, trace.morphTimeMs) + " " + std::to_string(last.timeMs) +
      " / " + std::to_string(trace.morphTimeMs) + " ms";
  const std::size_t width = shownWidth(line);
  std::fprintf(out, "\r%s%s", line.c_str(),
               std::string(shownLength > width ? shownLength - width : 0, ' ').c_str());
  shownLength = width;
  std::fflush(out);
}

void LiveView::ended(const GlideTrace& trace) {
  if (terminal) {
    std::fputc('\n', out);
    shownLength = 0;
  }
  const std::string sides = std::string(sideName(otherSide(trace.source))) + " " +
                            showValue(trace.samples.back().value, trace.items) + ", " +
                            sideName(trace.source) + " " +
                            showValue(trace.sourceAtEnd, trace.items);
  if (trace.end == GlideEnd::Finished) {
    std::fprintf(out, "finished after %s ms: %s\n",
                 std::to_string(trace.samples.back().timeMs).c_str(), sides.c_str());
  } else if (trace.end == GlideEnd::PassedAtOnce) {
    std::fprintf(out, "passed at once, no glide: %s\n", sides.c_str());
  }
  std::fflush(out);
}

} // namespace zav::tool
