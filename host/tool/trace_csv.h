// A glide trace as CSV: one row per sample, time in milliseconds and the
// destination's value (list modules add the item's name).
#pragma once

#include <string>

#include "host/tool/glide_trace.h"

namespace zav::tool {

std::string traceCsv(const GlideTrace& trace);

} // namespace zav::tool
