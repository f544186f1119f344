#include "host/tool/command_line.h"

#include <algorithm>
#include <charconv>

namespace zav::tool {

std::optional<std::string> CommandLine::option(const std::string& name) const {
  const auto found = options.find(name);
  if (found == options.end()) {
    return std::nullopt;
  }
  return found->second;
}

CommandLine parseCommandLine(const std::string& command, const std::vector<std::string>& arguments,
                             const std::vector<OptionSpec>& options) {
  const std::string seeHelp = " (see zav-host " + command + " --help)";
  CommandLine parsed;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
      parsed.positionals.push_back(argument);
      continue;
    }
    if (argument == "--") {
      optionsEnded = true;
      continue;
    }
    if (argument == "--help" || argument == "-h") {
      parsed.help = true;
      continue;
    }
    if (argument.rfind("--", 0) != 0) {
      throw UsageError("unknown option " + argument + " for " + command + seeHelp);
    }
    const std::size_t equals = argument.find('=');
    const std::string name = argument.substr(2, equals == std::string::npos ? equals : equals - 2);
    const auto declared =
        std::find_if(options.begin(), options.end(),
                     [&](const OptionSpec& option) { return option.name == name; });
    if (declared == options.end()) {
      throw UsageError("unknown option --" + name + " for " + command + seeHelp);
    }
    std::string value;
    if (equals != std::string::npos) {
      value = argument.substr(equals + 1);
    } else if (i + 1 < arguments.size()) {
      value = arguments[++i];
    } else {
      throw UsageError("option --" + name + " needs a value: --" + name + " " +
                       declared->valueName);
    }
    if (!parsed.options.emplace(name, value).second) {
      throw UsageError("option --" + name + " is given twice");
    }
  }
  return parsed;
}

std::int32_t parseInteger(const std::string& what, const std::string& text, std::int64_t lowest,
                          std::int64_t highest) {
  std::int64_t value = 0;
  const bool plusSign = text.size() > 1 && text[0] == '+' && text[1] != '-';
  const char* begin = text.data() + (plusSign ? 1 : 0);
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(begin, end, value);
  if (text.empty() || error == std::errc::invalid_argument || stop != end) {
    throw UsageError(what + ": \"" + text + "\" is not a whole number");
  }
  if (error == std::errc::result_out_of_range || value < lowest || value > highest) {
    throw UsageError(what + ": " + text + " is out of range (" + std::to_string(lowest) + " to " +
                     std::to_string(highest) + ")");
  }
  return static_cast<std::int32_t>(value);
}

} // namespace zav::tool
