#include "host/tool/trace_csv.h"

namespace zav::tool {
namespace {

std::string quoted(const std::string& field) {
  std::string text = "\"";
  for (const char c : field) {
    text += c == '"' ? "\"\"" : std::string(1, c);
  }
  return text + "\"";
}

} // namespace

std::string traceCsv(const GlideTrace& trace) {
  const bool list = trace.kind == ValueKind::List;
  std::string csv =
      std::string("time_ms,") + sideName(otherSide(trace.source)) + (list ? ",item\n" : "\n");
  for (const TraceSample& sample : trace.samples) {
    // Texts and item names keep their bytes exactly; quoting keeps commas, quotes
    // and line breaks in them from ending the field.
    const std::string value =
        trace.kind == ValueKind::Text ? quoted(sample.value.text) : exactValue(sample.value);
    csv += std::to_string(sample.timeMs) + "," + value;
    if (list) {
      csv += "," + quoted(itemName(sample.value, trace.items));
    }
    csv += "\n";
  }
  return csv;
}

} // namespace zav::tool
