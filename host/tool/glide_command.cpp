// zav-host glide: one glide of a module on the real clock, shown as it runs and
// written as CSV or SVG on request.
#include <fstream>
#include <limits>
#include <memory>
#include <optional>
#include <string>

#include "host/tool/commands.h"
#include "host/tool/glide_session.h"
#include "host/tool/live_view.h"
#include "host/tool/trace_csv.h"
#include "host/tool/trace_svg.h"

namespace zav::tool {
namespace {

constexpr std::int32_t kLongestTickMs = 60000;

Side parseSide(const std::optional<std::string>& text) {
  if (!text || *text == "left") {
    return Side::Left;
  }
  if (*text == "right") {
    return Side::Right;
  }
  throw UsageError("--side: \"" + printable(*text) + "\" is neither left nor right");
}

// Opened before the glide runs, so that a path that cannot be written fails
// before the wait rather than after it.
std::unique_ptr<std::ofstream> openOutput(const std::optional<std::string>& path) {
  if (!path) {
    return nullptr;
  }
  auto file = std::make_unique<std::ofstream>(*path, std::ios::binary | std::ios::trunc);
  if (!*file) {
    throw ToolError("cannot write " + *path);
  }
  return file;
}

void writeOutput(std::ofstream* file, const std::optional<std::string>& path,
                 const std::string& content) {
  if (file == nullptr) {
    return;
  }
  *file << content;
  file->close();
  if (!*file) {
    throw ToolError("cannot write " + *path);
  }
}

int runGlide(const CommandLine& line, const ToolContext& context) {
  const std::string path = onlyPositional("glide", line, "FILE.sem", true);
  GlideSettings settings;
  settings.source = parseSide(line.option("side"));
  if (const auto morph = line.option("morph")) {
    settings.morphTimeMs = parseInteger("--morph", *morph, std::numeric_limits<std::int32_t>::min(),
                                        std::numeric_limits<std::int32_t>::max());
  }
  if (const auto tick = line.option("tick")) {
    settings.tickMs = parseInteger("--tick", *tick, 1, kLongestTickMs);
  }

  GlideSession session(path);
  const std::optional<std::string> listText = line.option("list");
  if (listText && session.kind() != ValueKind::List) {
    throw UsageError(std::string("--list is for list modules; ") + path + " glides " +
                     kindName(session.kind()) + " values");
  }
  session.initialise(session.kind() == ValueKind::List ? listText.value_or(kDefaultListText)
                                                       : listText);
  const ListItems items = session.valueItems();
  const auto from = line.option("from");
  const auto to = line.option("to");
  settings.from = from ? parseValue("--from", session.kind(), *from, items)
                       : defaultFrom(session.kind(), items);
  settings.to =
      to ? parseValue("--to", session.kind(), *to, items) : defaultTo(session.kind(), items);
  if (const auto mode = line.option("mode")) {
    settings.mode = parseValue("--mode", ValueKind::List, *mode, session.modeItems()).whole;
  }

  const auto csvFile = openOutput(line.option("csv"));
  const auto svgFile = openOutput(line.option("svg"));
  LiveView view(context.out, isTerminal(context.out));
  const GlideTrace trace = session.run(settings, view);
  writeOutput(csvFile.get(), line.option("csv"), traceCsv(trace));
  writeOutput(svgFile.get(), line.option("svg"), traceSvg(trace));
  if (const std::string failure = glideFailure(trace); !failure.empty()) {
    throw ToolError(failure);
  }
  return 0;
}

} // namespace

const Command& glideCommand() {
  static const Command command{
      "glide",
      "FILE.sem [options]",
      "glide a value through a module on the real clock and show it",
      "\nMakes one instance of the module (both objects through makeModule), opens its\n"
      "audio side and initialises it as new. Then it sets Morph Time and the passing\n"
      "mode, shows the start value on the destination side, sets the source side to\n"
      "the target and lets the ticker change the Ticker pin until the module writes 0\n"
      "to it. On a terminal the destination's value is shown live with a bar of the\n"
      "Morph Time; otherwise one row per tick: milliseconds since the source changed,\n"
      "and the destination's value.\n\n"
      "Values are read by the kind of the module's value pins: float (2.5, -1e3),\n"
      "int (42), bool (true, false, 1, 0), text (any), list item (its name or its\n"
      "value). Defaults: 0 to 10, false to true, \"hello\" to \"world\", the first list\n"
      "item to the last.\n\n"
      "examples:\n"
      "  zav-host glide build/native/modules/zav_ramp_gf.sem --morph 500 --to 3.5\n"
      "  zav-host glide zav_ramp_gf.sem --side right --from 10 --to -10 --svg glide.svg\n"
      "  zav-host glide zav_ramp_gl.sem --list \"Off,Low,High\" --to High --csv glide.csv",
      {
          {"from", "VALUE", "the destination's start value"},
          {"to", "VALUE", "the value the source side is set to"},
          {"side", "left|right", "the side set to the target (default left); the other glides"},
          {"mode", "N",
           "passing mode, a number or an item such as \"L<+>R\" (default: the"
           " source glides, 0 \"L+>R\" for left, 2 \"L<+R\" for right)"},
          {"morph", "MS", "Morph Time in milliseconds (default 1000)"},
          {"tick", "MS", "the ticker changes the Ticker pin this often (default 10)"},
          {"list", "ITEMS",
           "list modules: the item list for pin 3, e.g. \"Off,Low,High\" (default "
           "\"Off,Low,Medium,High,Max\")"},
          {"csv", "FILE", "write the trace as CSV: time_ms and the destination's value"},
          {"svg", "FILE", "write the trace as an SVG plot"},
      },
      &runGlide};
  return command;
}

} // namespace zav::tool
