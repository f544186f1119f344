// Argument parsing for zav-host's subcommands: positional arguments and
// `--name VALUE` (or `--name=VALUE`) options, each known to its command.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace zav::tool {

// A mistake in how the tool was called: reported on one line, exit code 2.
class UsageError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// Anything else that stops a command (a file that is not a module, a glide that
// never ends): reported on one line, exit code 1.
class ToolError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

struct OptionSpec {
  std::string name;      // without the leading dashes
  std::string valueName; // as shown in help, e.g. "MS"
  std::string help;
};

struct CommandLine {
  std::vector<std::string> positionals;
  std::map<std::string, std::string> options;
  bool help = false;

  std::optional<std::string> option(const std::string& name) const;
};

// Parses the arguments after the command's name. "--" ends the options; an
// option given twice, an unknown option or an option without its value is a
// UsageError naming the command.
CommandLine parseCommandLine(const std::string& command, const std::vector<std::string>& arguments,
                             const std::vector<OptionSpec>& options);

// Option values that are plain numbers, checked for range. `what` names the
// option in the error.
std::int32_t parseInteger(const std::string& what, const std::string& text, std::int64_t lowest,
                          std::int64_t highest);

} // namespace zav::tool
