// zav-host validate: checks module libraries against the host interface
// (host/validator.h does the work).
#include <cerrno>
#include <cstdlib>
#include <string>

#include "host/tool/commands.h"
#include "host/validator.h"

namespace zav::tool {
namespace {

std::uint64_t parseSeed(const std::string& text) {
  char* end = nullptr;
  errno = 0;
  const unsigned long long seed = std::strtoull(text.c_str(), &end, 10);
  if (text.empty() || text[0] == '-' || *end != '\0' || errno == ERANGE) {
    throw UsageError("--seed takes a whole number, not \"" + text + "\"");
  }
  return seed;
}

int runValidate(const CommandLine& line, const ToolContext& context) {
  if (line.positionals.empty()) {
    throw UsageError("validate needs FILE.sem (see zav-host validate --help)");
  }
  host::ValidationOptions options;
  if (const auto seed = line.option("seed")) {
    options.seed = parseSeed(*seed);
  }
  std::size_t failed = 0;
  for (const std::string& file : line.positionals) {
    const host::ValidationReport report = host::validateModule(file, options);
    host::printReport(report, context.out);
    failed += report.passed() ? 0 : 1;
  }
  if (failed > 0) {
    throw ToolError(std::to_string(failed) + " of " + std::to_string(line.positionals.size()) +
                    " module libraries failed validation");
  }
  return 0;
}

} // namespace

const Command& validateCommand() {
  static const Command command{
      "validate",
      "FILE.sem... [options]",
      "check module libraries against the host interface, as a hostile host",
      "\nLoads each library and checks its exports and properties, its pin table, a\n"
      "thousand instances, operation codes and pins out of range, hostile list texts,\n"
      "glides that must complete (with and without re-entrant reports) and random\n"
      "pin values and texts. Prints one line per check; a failing random check prints\n"
      "how to replay it. Exit code 1 when any check of any library fails.\n\n"
      "example:\n  zav-host validate build/native/modules/*.sem",
      {{"seed", "N", "seed of the random check, to replay a run (default: a fresh one)"}},
      &runValidate};
  return command;
}

} // namespace zav::tool
