// What the tool says about a glide that did not go as asked, and the glide it
// shows when no values are named.
#include <gtest/gtest.h>

#include "host/tool/glide_session.h"

namespace zav::tool {
namespace {

GlideTrace endedTrace(GlideEnd end) {
  GlideTrace trace;
  trace.kind = ValueKind::Int;
  trace.source = Side::Right;
  trace.morphTimeMs = 300;
  trace.mode = 7;
  trace.samples = {TraceSample{0, PinValue{ValueKind::Int, 0.0f, 4, {}}}};
  trace.end = end;
  return trace;
}

TEST(GlideFailure, NamesWhatHappenedInOneLineOnlyWhenTheGlideWentWrong) {
  EXPECT_EQ(glideFailure(endedTrace(GlideEnd::Finished)), "");
  EXPECT_EQ(glideFailure(endedTrace(GlideEnd::PassedAtOnce)), "");
  EXPECT_EQ(glideFailure(endedTrace(GlideEnd::NotStarted)),
            "no glide: after the right side changed, the module started none and the left side "
            "shows 4 (passing mode 7)");
  // The safety timeout: twice the Morph Time and five seconds more.
  EXPECT_EQ(glideFailure(endedTrace(GlideEnd::TimedOut)),
            "the glide did not end: within 5600 ms (Morph Time 300 ms) the module never wrote 0 "
            "to its Ticker pin; the left side shows 4");
  EXPECT_EQ(safetyTimeoutMs(-50), 5000);
}

TEST(GlideDefaults, EachKindGlidesSomewhereVisible) {
  const ListItems items = parseListText("Off,Low=5,High");
  struct Case {
    ValueKind kind;
    const char* from;
    const char* to;
  };
  const Case cases[] = {{ValueKind::Float, "0", "10"},
                        {ValueKind::Int, "0", "10"},
                        {ValueKind::Bool, "false", "true"},
                        {ValueKind::Text, "\"hello\"", "\"world\""},
                        {ValueKind::List, "0 (Off)", "6 (High)"}};
  for (const Case& c : cases) {
    EXPECT_EQ(showValue(defaultFrom(c.kind, items), items), c.from);
    EXPECT_EQ(showValue(defaultTo(c.kind, items), items), c.to);
  }
  EXPECT_EQ(defaultModeFor(Side::Left), 0);
  EXPECT_EQ(defaultModeFor(Side::Right), 2);
}

} // namespace
} // namespace zav::tool
