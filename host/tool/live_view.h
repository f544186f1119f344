// Shows a glide as it runs: on a terminal one line with the destination's
// value and a bar of the Morph Time, redrawn at every tick; elsewhere one row
// per tick step (milliseconds since the source changed, destination value).
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

#include "host/tool/glide_session.h"

namespace zav::tool {

bool isTerminal(std::FILE* stream);

// What the tool says about a glide before it starts, e.g. `ZAV Ramp GuiFloat:
// left set to 10, right glides from 0 (Morph Time 500 ms, ...)`.
std::string glideHeadline(const GlideTrace& trace);

class LiveView final : public GlideObserver {
public:
  LiveView(std::FILE* out, bool terminal) : out(out), terminal(terminal) {}

  void started(const GlideTrace& trace) override;
  void stepped(const GlideTrace& trace) override;
  void ended(const GlideTrace& trace) override;

private:
  void show(const GlideTrace& trace);

  std::FILE* out;
  bool terminal;
  std::size_t shownLength = 0; // of the live line, to blank what a shorter one leaves
};

} // namespace zav::tool
