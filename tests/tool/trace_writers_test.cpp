// The CSV and SVG forms of a glide trace, and the live rows.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <regex>
#include <string>

#include "host/tool/live_view.h"
#include "host/tool/trace_csv.h"
#include "host/tool/trace_svg.h"
#include "tests/tool/xml_check.h"

namespace zav::tool {
namespace {

PinValue floatValue(float number) { return PinValue{ValueKind::Float, number, 0, {}}; }
PinValue wholeValue(ValueKind kind, std::int32_t whole) { return PinValue{kind, 0.0f, whole, {}}; }
PinValue textValue(const std::string& text) { return PinValue{ValueKind::Text, 0.0f, 0, text}; }

GlideTrace traceOf(ValueKind kind, std::vector<PinValue> values) {
  GlideTrace trace;
  trace.moduleName = "ZAV Ramp Test";
  trace.kind = kind;
  trace.morphTimeMs = 40;
  trace.tickMs = 10;
  trace.modeName = "L+>R";
  trace.from = values.front();
  trace.to = values.back();
  for (std::size_t i = 0; i < values.size(); ++i) {
    trace.samples.push_back(TraceSample{static_cast<std::int64_t>(10 * i), values[i]});
  }
  trace.sourceAtEnd = values.back();
  trace.end = GlideEnd::Finished;
  return trace;
}

// The path's data: its commands (M, L, H, V) in order.
std::string pathCommands(const std::string& svg) {
  std::smatch match;
  if (!std::regex_search(svg, match, std::regex("<path d=\"([^\"]*)\""))) {
    return "";
  }
  return std::regex_replace(match[1].str(), std::regex("[^MLHV]"), "");
}

TEST(TraceCsv, OneRowPerSampleWithTheDestinationsSideNamed) {
  EXPECT_EQ(
      traceCsv(traceOf(ValueKind::Float, {floatValue(0.0f), floatValue(0.1f), floatValue(10.0f)})),
      "time_ms,right\n0,0\n10,0.100000001\n20,10\n");
  GlideTrace right =
      traceOf(ValueKind::Bool, {wholeValue(ValueKind::Bool, 0), wholeValue(ValueKind::Bool, 1)});
  right.source = Side::Right;
  EXPECT_EQ(traceCsv(right), "time_ms,left\n0,false\n10,true\n");
}

TEST(TraceCsv, TextsAndItemNamesKeepTheirBytesInQuotes) {
  EXPECT_EQ(traceCsv(traceOf(ValueKind::Text, {textValue("a,\"b\"\n"), textValue("")})),
            "time_ms,right\n0,\"a,\"\"b\"\"\n\"\n10,\"\"\n");
  GlideTrace list =
      traceOf(ValueKind::List, {wholeValue(ValueKind::List, 0), wholeValue(ValueKind::List, 7),
                                wholeValue(ValueKind::List, 2)});
  list.items = parseListText("Off,Low,\"High\"");
  EXPECT_EQ(traceCsv(list), "time_ms,right,item\n0,0,\"Off\"\n10,7,\"\"\n20,2,\"\"\"High\"\"\"\n");
}

TEST(TraceSvg, EveryKindGivesAWellFormedPlotWithOnePathPointPerSample) {
  struct Case {
    const char* name;
    GlideTrace trace;
    std::string commands;
  };
  GlideTrace list =
      traceOf(ValueKind::List, {wholeValue(ValueKind::List, 0), wholeValue(ValueKind::List, 1),
                                wholeValue(ValueKind::List, 2)});
  list.items = parseListText("Off,<Low>,High & Loud");
  const Case cases[] = {
      {"float", traceOf(ValueKind::Float, {floatValue(0.0f), floatValue(5.0f), floatValue(10.0f)}),
       "MLL"},
      {"int",
       traceOf(ValueKind::Int, {wholeValue(ValueKind::Int, -3), wholeValue(ValueKind::Int, 3)}),
       "ML"},
      {"bool",
       traceOf(ValueKind::Bool, {wholeValue(ValueKind::Bool, 0), wholeValue(ValueKind::Bool, 0),
                                 wholeValue(ValueKind::Bool, 1)}),
       "MHVHV"},
      {"text",
       traceOf(ValueKind::Text, {textValue("a<&>\"b"), textValue(std::string("\x01\xFF", 2)),
                                 textValue("caf\xC3\xA9")}),
       "MHVHV"},
      {"list", list, "MHVHV"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string svg = traceSvg(c.trace);
    EXPECT_EQ(zav::test::xmlProblem(svg), "");
    EXPECT_NE(svg.find("<svg xmlns=\"http://www.w3.org/2000/svg\""), std::string::npos);
    EXPECT_EQ(pathCommands(svg), c.commands);
  }
}

TEST(TraceSvg, LabelsStepsWithTheirTextsAndListItemsWithTheirNames) {
  const std::string text = traceSvg(
      traceOf(ValueKind::Text, {textValue("hello"), textValue("gdkkn"), textValue("world")}));
  EXPECT_NE(text.find("&quot;world&quot;</text>"), std::string::npos);
  GlideTrace list =
      traceOf(ValueKind::List, {wholeValue(ValueKind::List, 0), wholeValue(ValueKind::List, 2)});
  list.items = parseListText("Off,Low,High & Loud");
  const std::string svg = traceSvg(list);
  for (const char* name : {">Off</text>", ">Low</text>", ">High &amp; Loud</text>"}) {
    EXPECT_NE(svg.find(name), std::string::npos) << name;
  }
}

TEST(TraceSvg, ANonFiniteValueBreaksTheLine) {
  const std::string svg = traceSvg(
      traceOf(ValueKind::Float, {floatValue(0.0f), floatValue(1.0f), floatValue(std::nanf("")),
                                 floatValue(3.0f), floatValue(INFINITY), floatValue(5.0f)}));
  EXPECT_EQ(zav::test::xmlProblem(svg), "");
  EXPECT_EQ(pathCommands(svg), "MLMM");
}

TEST(TextCloseness, IsTheShareOfTheCodeDistanceCovered) {
  EXPECT_EQ(textCloseness("a", "e", "a"), 0.0);
  EXPECT_EQ(textCloseness("a", "e", "c"), 0.5);
  EXPECT_EQ(textCloseness("a", "e", "e"), 1.0);
  // Beyond its end a text counts as code 31: "ab" to "a" is 98 - 31 = 67 away.
  EXPECT_DOUBLE_EQ(textCloseness("ab", "a", "aA"), 1.0 - (65.0 - 31.0) / 67.0);
  EXPECT_EQ(textCloseness("same", "same", "same"), 1.0);
}

TEST(LiveView, OffATerminalWritesOneRowPerSampleThenTheEnd) {
  std::FILE* file = std::tmpfile();
  ASSERT_NE(file, nullptr);
  GlideTrace trace =
      traceOf(ValueKind::Float, {floatValue(0.0f), floatValue(2.5f), floatValue(10.0f)});
  trace.sourceAtEnd = floatValue(10.0f);
  {
    LiveView view(file, false);
    GlideTrace growing = trace;
    growing.samples.resize(1);
    view.started(growing);
    for (std::size_t i = 1; i < trace.samples.size(); ++i) {
      growing.samples.push_back(trace.samples[i]);
      view.stepped(growing);
    }
    view.ended(growing);
  }
  std::rewind(file);
  std::string written;
  for (int c; (c = std::fgetc(file)) != EOF;) {
    written.push_back(static_cast<char>(c));
  }
  std::fclose(file);
  EXPECT_EQ(written, "ZAV Ramp Test: left set to 10, right glides from 0 (Morph Time 40 ms, "
                     "passing mode 0 \"L+>R\", a tick every 10 ms)\n"
                     "       0 ms  0\n"
                     "      10 ms  2.5\n"
                     "      20 ms  10\n"
                     "finished after 20 ms: right 10, left 10\n");
}

} // namespace
} // namespace zav::tool
