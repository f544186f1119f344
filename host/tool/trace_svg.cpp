#include "host/tool/trace_svg.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <vector>

namespace zav::tool {
namespace {

constexpr double kWidth = 820;
constexpr double kHeight = 420;
constexpr double kPlotLeft = 130;
constexpr double kPlotRight = kWidth - 30;
constexpr double kPlotTop = 66;
constexpr double kPlotBottom = kHeight - 56;
constexpr double kCharWidth = 6.7; // of the 11 px monospace labels
constexpr std::size_t kLabelChars = 16;
constexpr std::size_t kMostDots = 300;
constexpr std::size_t kMostItemLabels = 16;
constexpr int kFillerCode = 31;

// A labelled height on the value axis.
struct Level {
  double at;
  std::string label;
};

// How the destination's values map onto the value axis.
struct ValueAxis {
  std::vector<double> heights; // one per sample; NaN leaves a gap
  double low = 0.0;
  double high = 1.0;
  std::vector<Level> levels;
  bool steps = false;
  std::string title;
};

struct Box {
  double left, top, right, bottom;
  bool overlaps(const Box& other) const {
    return left < other.right && other.left < right && top < other.bottom && other.top < bottom;
  }
};

std::string number(double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.1f", value);
  return buffer;
}

std::string shortNumber(double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%g", value);
  return buffer;
}

std::string escaped(const std::string& text) {
  std::string xml;
  for (const char c : printable(text)) {
    switch (c) {
    case '&':
      xml += "&amp;";
      break;
    case '<':
      xml += "&lt;";
      break;
    case '>':
      xml += "&gt;";
      break;
    case '"':
      xml += "&quot;";
      break;
    default:
      xml += c;
    }
  }
  return xml;
}

std::size_t characters(const std::string& text) {
  return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

// At most `most` characters of the printable text, "..." marking a cut.
std::string clipped(const std::string& text, std::size_t most = kLabelChars) {
  std::string shown = printable(text);
  if (characters(shown) <= most) {
    return shown;
  }
  while (characters(shown) > most - 3) {
    shown.pop_back();
  }
  return shown + "...";
}

double niceStep(double span, int wanted) {
  const double raw = span / wanted;
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  for (const double multiple : {1.0, 2.0, 5.0}) {
    if (raw <= multiple * power) {
      return multiple * power;
    }
  }
  return 10.0 * power;
}

double numberOf(const PinValue& value) {
  return value.kind == ValueKind::Float ? static_cast<double>(value.number) : value.whole;
}

ValueAxis numberAxis(const GlideTrace& trace) {
  ValueAxis axis;
  axis.title = std::string(sideName(otherSide(trace.source))) + " value";
  double low = std::numeric_limits<double>::infinity();
  double high = -low;
  auto include = [&](double value) {
    if (std::isfinite(value)) {
      low = std::min(low, value);
      high = std::max(high, value);
    }
  };
  for (const TraceSample& sample : trace.samples) {
    const double value = numberOf(sample.value);
    axis.heights.push_back(std::isfinite(value) ? value : std::nan(""));
    include(value);
  }
  include(numberOf(trace.from));
  include(numberOf(trace.to));
  if (!(low <= high)) {
    low = 0.0;
    high = 1.0;
  }
  if (low == high) {
    low -= 1.0;
    high += 1.0;
  }
  const double step = niceStep(high - low, 6);
  axis.low = low - 0.06 * (high - low);
  axis.high = high + 0.06 * (high - low);
  for (double at = std::ceil(axis.low / step) * step; at <= axis.high; at += step) {
    axis.levels.push_back(Level{at, shortNumber(std::abs(at) < step * 1e-9 ? 0.0 : at)});
  }
  return axis;
}

ValueAxis boolAxis(const GlideTrace& trace) {
  ValueAxis axis;
  axis.steps = true;
  axis.low = -0.25;
  axis.high = 1.25;
  axis.levels = {Level{0.0, "false"}, Level{1.0, "true"}};
  for (const TraceSample& sample : trace.samples) {
    axis.heights.push_back(sample.value.truth() ? 1.0 : 0.0);
  }
  return axis;
}

ValueAxis listAxis(const GlideTrace& trace) {
  ValueAxis axis;
  axis.steps = true;
  axis.title = "item";
  std::vector<bool> visited(trace.items.size(), false);
  bool noItem = false;
  for (const TraceSample& sample : trace.samples) {
    const int position = positionOfValue(trace.items, sample.value.whole);
    axis.heights.push_back(position);
    if (position < 0) {
      noItem = true;
    } else {
      visited[static_cast<std::size_t>(position)] = true;
    }
  }
  const std::size_t count = trace.items.size();
  const std::size_t every =
      std::max<std::size_t>(1, (count + kMostItemLabels - 1) / kMostItemLabels);
  for (std::size_t i = 0; i < count; ++i) {
    if (i % every == 0 || visited[i]) {
      axis.levels.push_back(Level{static_cast<double>(i), clipped(trace.items[i].name)});
    }
  }
  if (noItem) {
    axis.levels.push_back(Level{-1.0, "(no item)"});
  }
  axis.low = noItem ? -1.5 : -0.5;
  axis.high = std::max<double>(static_cast<double>(count) - 0.5, axis.low + 1.0);
  return axis;
}

ValueAxis textAxis(const GlideTrace& trace) {
  ValueAxis axis;
  axis.steps = true;
  axis.title = "toward the target text";
  axis.low = -0.1;
  axis.high = 1.1;
  axis.levels = {Level{0.0, "\"" + clipped(trace.from.text, kLabelChars - 2) + "\""},
                 Level{1.0, "\"" + clipped(trace.to.text, kLabelChars - 2) + "\""}};
  for (const TraceSample& sample : trace.samples) {
    axis.heights.push_back(textCloseness(trace.from.text, trace.to.text, sample.value.text));
  }
  return axis;
}

ValueAxis valueAxis(const GlideTrace& trace) {
  switch (trace.kind) {
  case ValueKind::Bool:
    return boolAxis(trace);
  case ValueKind::List:
    return listAxis(trace);
  case ValueKind::Text:
    return textAxis(trace);
  default:
    return numberAxis(trace);
  }
}

std::string endNote(const GlideTrace& trace) {
  switch (trace.end) {
  case GlideEnd::Finished:
    return "finished after " + std::to_string(trace.samples.back().timeMs) + " ms";
  case GlideEnd::PassedAtOnce:
    return "passed at once, no glide";
  case GlideEnd::NotStarted:
    return "no glide started";
  case GlideEnd::TimedOut:
    return "did not finish";
  }
  return "";
}

class SvgPlot {
public:
  SvgPlot(const GlideTrace& trace) : trace(trace), axis(valueAxis(trace)) {
    const std::int64_t lastMs = trace.samples.empty() ? 0 : trace.samples.back().timeMs;
    timeEnd = static_cast<double>(std::max<std::int64_t>({trace.morphTimeMs, lastMs, 1}));
  }

  std::string render() {
    svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + number(kWidth) + "\" height=\"" +
           number(kHeight) + "\" viewBox=\"0 0 " + number(kWidth) + " " + number(kHeight) +
           "\" font-family=\"sans-serif\" font-size=\"12\">\n";
    svg += "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
    headings();
    grid();
    morphTimeMark();
    curve();
    if (trace.kind == ValueKind::Text) {
      textLabels();
    }
    svg += "</svg>\n";
    return svg;
  }

private:
  double x(double ms) const { return kPlotLeft + ms / timeEnd * (kPlotRight - kPlotLeft); }
  double y(double height) const {
    return kPlotBottom - (height - axis.low) / (axis.high - axis.low) * (kPlotBottom - kPlotTop);
  }

  void headings() {
    const std::string destination = sideName(otherSide(trace.source));
    const std::string title = trace.moduleName + ": " + destination + " glides from " +
                              showValue(trace.from, trace.items) + " to " +
                              showValue(trace.to, trace.items);
    const std::string note = "Morph Time " + std::to_string(trace.morphTimeMs) + " ms, " +
                             modeDescription(trace) + ", a tick every " +
                             std::to_string(trace.tickMs) + " ms, " + endNote(trace);
    svg += "<text x=\"" + number(kWidth / 2) +
           "\" y=\"26\" text-anchor=\"middle\" font-size=\"15\" font-weight=\"bold\">" +
           escaped(title) + "</text>\n";
    svg += "<text x=\"" + number(kWidth / 2) + "\" y=\"46\" text-anchor=\"middle\" fill=\"#555\">" +
           escaped(note) + "</text>\n";
    svg += "<text x=\"" + number((kPlotLeft + kPlotRight) / 2) + "\" y=\"" + number(kHeight - 14) +
           "\" text-anchor=\"middle\" fill=\"#333\">time since the " + sideName(trace.source) +
           " side changed (ms)</text>\n";
    if (!axis.title.empty()) {
      // Beside the widest level label.
      std::size_t widest = 0;
      for (const Level& level : axis.levels) {
        widest = std::max(widest, characters(level.label));
      }
      const std::string left =
          number(std::max(16.0, kPlotLeft - 20 - static_cast<double>(widest) * kCharWidth));
      const std::string middle = number((kPlotTop + kPlotBottom) / 2);
      svg += "<text x=\"" + left + "\" y=\"" + middle +
             "\" text-anchor=\"middle\" fill=\"#333\" transform=\"rotate(-90 " + left + " " +
             middle + ")\">" + escaped(axis.title) + "</text>\n";
    }
  }

  void grid() {
    svg += "<g stroke=\"#e2e2e2\" stroke-width=\"1\">\n";
    const double step = niceStep(timeEnd, 8);
    for (double ms = 0; ms <= timeEnd + step * 1e-9; ms += step) {
      svg += "<line x1=\"" + number(x(ms)) + "\" y1=\"" + number(kPlotTop) + "\" x2=\"" +
             number(x(ms)) + "\" y2=\"" + number(kPlotBottom) + "\"/>\n";
    }
    for (const Level& level : axis.levels) {
      svg += "<line x1=\"" + number(kPlotLeft) + "\" y1=\"" + number(y(level.at)) + "\" x2=\"" +
             number(kPlotRight) + "\" y2=\"" + number(y(level.at)) + "\"/>\n";
    }
    svg += "</g>\n";
    svg += "<rect x=\"" + number(kPlotLeft) + "\" y=\"" + number(kPlotTop) + "\" width=\"" +
           number(kPlotRight - kPlotLeft) + "\" height=\"" + number(kPlotBottom - kPlotTop) +
           "\" fill=\"none\" stroke=\"#888\"/>\n";
    svg += "<g fill=\"#333\" text-anchor=\"middle\">\n";
    for (double ms = 0; ms <= timeEnd + step * 1e-9; ms += step) {
      svg += "<text x=\"" + number(x(ms)) + "\" y=\"" + number(kPlotBottom + 17) + "\">" +
             shortNumber(ms) + "</text>\n";
    }
    svg +=
        "</g>\n<g fill=\"#333\" text-anchor=\"end\" font-family=\"monospace\" font-size=\"11\">\n";
    for (const Level& level : axis.levels) {
      svg += "<text x=\"" + number(kPlotLeft - 6) + "\" y=\"" + number(y(level.at) + 4) + "\">" +
             escaped(level.label) + "</text>\n";
    }
    svg += "</g>\n";
  }

  void morphTimeMark() {
    if (trace.morphTimeMs <= 0) {
      return;
    }
    const double at = x(trace.morphTimeMs);
    svg += "<line x1=\"" + number(at) + "\" y1=\"" + number(kPlotTop) + "\" x2=\"" + number(at) +
           "\" y2=\"" + number(kPlotBottom) + "\" stroke=\"#d62728\" stroke-dasharray=\"5 4\"/>\n";
    // Kept whole inside the picture when the mark is at the plot's right edge.
    const double labelMiddle = std::min(at, kWidth - 40);
    svg += "<text x=\"" + number(labelMiddle) + "\" y=\"" + number(kPlotTop - 5) +
           "\" text-anchor=\"middle\" font-size=\"11\" fill=\"#d62728\">Morph Time</text>\n";
  }

  void curve() {
    std::string path;
    std::string dots;
    bool drawing = false;
    for (std::size_t i = 0; i < trace.samples.size(); ++i) {
      const double height = axis.heights[i];
      if (std::isnan(height)) {
        drawing = false;
        continue;
      }
      const std::string px = number(x(static_cast<double>(trace.samples[i].timeMs)));
      const std::string py = number(y(height));
      if (!drawing) {
        path += (path.empty() ? "M" : " M") + px + " " + py;
      } else if (axis.steps) {
        path += " H" + px + " V" + py;
      } else {
        path += " L" + px + " " + py;
      }
      drawing = true;
      if (trace.samples.size() <= kMostDots) {
        dots += "<circle cx=\"" + px + "\" cy=\"" + py + "\" r=\"2.2\"/>\n";
      }
    }
    if (!path.empty()) {
      svg += "<path d=\"" + path +
             "\" fill=\"none\" stroke=\"#1f77b4\" stroke-width=\"2\" stroke-linejoin=\"round\"/>\n";
    }
    svg += "<g fill=\"#1f77b4\">\n" + dots + "</g>\n";
  }

  // Each new text along the steps, as many as fit without overlapping; the
  // final text always.
  void textLabels() {
    std::vector<std::size_t> changes;
    for (std::size_t i = 0; i < trace.samples.size(); ++i) {
      if (i == 0 || trace.samples[i].value.text != trace.samples[i - 1].value.text) {
        changes.push_back(i);
      }
    }
    if (changes.empty()) {
      return;
    }
    std::vector<Box> placed;
    std::string labels;
    auto place = [&](std::size_t sample) {
      const std::string text = "\"" + clipped(trace.samples[sample].value.text) + "\"";
      const double width = static_cast<double>(characters(text)) * kCharWidth;
      double left = x(static_cast<double>(trace.samples[sample].timeMs)) + 4;
      left = std::min(left, kPlotRight - width - 2);
      const double baseline = y(axis.heights[sample]) - 6;
      const Box box{left, baseline - 11, left + width, baseline + 2};
      if (std::any_of(placed.begin(), placed.end(),
                      [&](const Box& other) { return box.overlaps(other); })) {
        return;
      }
      placed.push_back(box);
      labels += "<text x=\"" + number(left) + "\" y=\"" + number(baseline) + "\">" + escaped(text) +
                "</text>\n";
    };
    place(changes.back());
    for (std::size_t i = 0; i + 1 < changes.size(); ++i) {
      place(changes[i]);
    }
    // A white outline keeps a label readable where it crosses the curve.
    svg += "<g fill=\"#124\" font-family=\"monospace\" font-size=\"11\" stroke=\"white\" "
           "stroke-width=\"3\" paint-order=\"stroke\">\n" +
           labels + "</g>\n";
  }

  const GlideTrace& trace;
  ValueAxis axis;
  double timeEnd = 1.0;
  std::string svg;
};

int codeAt(const std::string& text, std::size_t position) {
  return position < text.size() ? static_cast<signed char>(text[position]) : kFillerCode;
}

double codeDistance(const std::string& a, const std::string& b) {
  double distance = 0.0;
  for (std::size_t i = 0; i < std::max(a.size(), b.size()); ++i) {
    distance += std::abs(codeAt(a, i) - codeAt(b, i));
  }
  return distance;
}

} // namespace

double textCloseness(const std::string& start, const std::string& target, const std::string& text) {
  const double whole = codeDistance(start, target);
  if (whole == 0.0) {
    return 1.0;
  }
  return 1.0 - codeDistance(text, target) / whole;
}

std::string traceSvg(const GlideTrace& trace) { return SvgPlot(trace).render(); }

} // namespace zav::tool
