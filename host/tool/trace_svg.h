// A glide trace as an SVG plot of the destination's value over time: numbers as
// a line, bools as a step between false and true, list items as steps between
// the named items, texts as labelled steps rising from the start text to the
// target text (the height is how much of the way to the target's character
// codes the text has come).
#pragma once

#include <string>

#include "host/tool/glide_trace.h"

namespace zav::tool {

std::string traceSvg(const GlideTrace& trace);

// The height a text sample takes in the plot: 0 for the start text, 1 for the
// target, in between the share of the summed character-code distance to the
// target that the text has covered. Positions beyond a text's end count as the
// code 31, as the Text module fills them.
double textCloseness(const std::string& start, const std::string& target, const std::string& text);

} // namespace zav::tool
