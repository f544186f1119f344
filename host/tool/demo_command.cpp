// zav-host demo: one glide of each deliverable built beside the tool.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <system_error>

#include "host/tool/commands.h"
#include "host/tool/glide_session.h"
#include "host/tool/live_view.h"

namespace zav::tool {
namespace {

constexpr const char* kDeliverableFiles[] = {
    "zav_ramp_gf.sem", "zav_ramp_gi.sem", "zav_ramp_gb.sem", "zav_ramp_gt.sem", "zav_ramp_gl.sem"};

// The tool lives in build/<preset>/host, the modules in build/<preset>/modules.
std::filesystem::path defaultModuleDir(const std::string& programPath) {
  std::error_code error;
  std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) {
    self = std::filesystem::absolute(programPath, error);
  }
  return self.parent_path().parent_path() / "modules";
}

// The default glide of the module's kind; a ToolError when it fails.
void glideOnce(const std::filesystem::path& path, const GlideSettings& timing,
               const ToolContext& context) {
  GlideSession session(path.string());
  const bool list = session.kind() == ValueKind::List;
  session.initialise(list ? std::optional<std::string>(kDefaultListText) : std::nullopt);
  GlideSettings settings = timing;
  settings.from = defaultFrom(session.kind(), session.valueItems());
  settings.to = defaultTo(session.kind(), session.valueItems());
  LiveView view(context.out, isTerminal(context.out));
  const GlideTrace trace = session.run(settings, view);
  if (const std::string failure = glideFailure(trace); !failure.empty()) {
    throw ToolError(path.filename().string() + ": " + failure);
  }
}

int runDemo(const CommandLine& line, const ToolContext& context) {
  const std::string given = onlyPositional("demo", line, "DIR", false);
  const std::filesystem::path dir =
      given.empty() ? defaultModuleDir(context.programPath) : std::filesystem::path(given);
  std::error_code error;
  if (!std::filesystem::is_directory(dir, error)) {
    throw ToolError(
        "no module directory " + dir.string() +
        (given.empty() ? " beside zav-host: build the modules first (scripts/demo)" : ""));
  }
  GlideSettings timing;
  timing.morphTimeMs = 400;
  timing.tickMs = 20;
  if (const auto morph = line.option("morph")) {
    timing.morphTimeMs = parseInteger("--morph", *morph, 0, 60000);
  }
  if (const auto tick = line.option("tick")) {
    timing.tickMs = parseInteger("--tick", *tick, 1, 60000);
  }
  int found = 0;
  int failed = 0;
  bool printed = false;
  bool afterGlide = false;
  for (const char* file : kDeliverableFiles) {
    const std::filesystem::path path = dir / file;
    const bool built = std::filesystem::exists(path, error);
    // A blank line sets each glide apart from what comes before and after it.
    if (printed && (built || afterGlide)) {
      std::fputc('\n', context.out);
    }
    printed = true;
    afterGlide = built;
    if (!built) {
      std::fprintf(context.out, "%s: not built yet, skipped\n", file);
      continue;
    }
    ++found;
    try {
      glideOnce(path, timing, context);
    } catch (const std::exception& failure) {
      std::fflush(context.out);
      std::fprintf(context.err, "zav-host: %s\n", failure.what());
      ++failed;
    }
  }
  if (found == 0) {
    throw ToolError("no zav_ramp_*.sem module in " + dir.string());
  }
  return failed == 0 ? 0 : 1;
}

} // namespace

const Command& demoCommand() {
  static const Command command{
      "demo",
      "[DIR] [options]",
      "glide a value through each of the five deliverables",
      "\nLooks for zav_ramp_gf, _gi, _gb, _gt and _gl.sem in DIR (by default the\n"
      "modules built beside zav-host, build/<preset>/modules) and glides each one's\n"
      "default values: 0 to 10, false to true, \"hello\" to \"world\", Off to Max.\n"
      "A deliverable not built yet is reported as skipped.\n\n"
      "example:\n  zav-host demo build/native/modules --morph 1000",
      {
          {"morph", "MS", "Morph Time of each glide (default 400)"},
          {"tick", "MS", "the ticker changes the Ticker pin this often (default 20)"},
      },
      &runDemo};
  return command;
}

} // namespace zav::tool
