#include "host/tool/commands.h"

#include <algorithm>
#include <exception>

namespace zav::tool {
namespace {

const std::vector<const Command*>& commandTable() {
  static const std::vector<const Command*> table{&infoCommand(), &glideCommand(), &demoCommand(),
                                                 &validateCommand()};
  return table;
}

const Command* findCommand(const std::string& name) {
  const auto& table = commandTable();
  const auto found = std::find_if(table.begin(), table.end(),
                                  [&](const Command* command) { return command->name == name; });
  return found == table.end() ? nullptr : *found;
}

void printOverview(std::FILE* out) {
  std::fprintf(out, "usage: zav-host COMMAND [ARGUMENTS] [--help]\n\n"
                    "The reference host for zav-ramp modules: look at a module, watch it glide.\n\n"
                    "commands:\n");
  for (const Command* command : commandTable()) {
    std::fprintf(out, "  %-10s %s\n", command->name.c_str(), command->summary.c_str());
  }
  std::fprintf(out, "  %-10s %s\n", "help", "show this overview, or a command's help");
  std::fprintf(out, "\n`zav-host COMMAND --help` shows a command's arguments and options.\n"
                    "Exit codes: 0 done, 1 the command failed, 2 the call was wrong.\n");
}

// Breaks the text into lines that fit 80 columns after an indent of `indent`.
std::string wrapped(const std::string& text, std::size_t indent) {
  constexpr std::size_t kColumns = 80;
  std::string lines;
  std::size_t lineLength = indent;
  std::size_t begin = 0;
  while (begin < text.size()) {
    std::size_t end = text.find(' ', begin);
    if (end == std::string::npos) {
      end = text.size();
    }
    const std::string word = text.substr(begin, end - begin);
    if (lineLength > indent && lineLength + 1 + word.size() > kColumns) {
      lines += "\n" + std::string(indent, ' ');
      lineLength = indent;
    } else if (lineLength > indent) {
      lines += ' ';
      ++lineLength;
    }
    lines += word;
    lineLength += word.size();
    begin = end + 1;
  }
  return lines;
}

void printHelp(const Command& command, std::FILE* out) {
  std::fprintf(out, "usage: zav-host %s %s\n\n%s\n%s\n", command.name.c_str(),
               command.synopsis.c_str(), command.summary.c_str(), command.details.c_str());
  if (command.options.empty()) {
    return;
  }
  std::fprintf(out, "\noptions:\n");
  for (const OptionSpec& option : command.options) {
    const std::string form = "--" + option.name + " " + option.valueName;
    std::fprintf(out, "  %-18s %s\n", form.c_str(), wrapped(option.help, 21).c_str());
  }
  std::fprintf(out, "  %-18s %s\n", "--help", "show this help");
}

int runHelp(const std::vector<std::string>& arguments, const ToolContext& context) {
  if (arguments.size() > 1) {
    throw UsageError("help takes at most one command name");
  }
  if (arguments.empty()) {
    printOverview(context.out);
    return 0;
  }
  const Command* command = findCommand(arguments[0]);
  if (command == nullptr) {
    throw UsageError("no command named \"" + arguments[0] + "\" (see zav-host --help)");
  }
  printHelp(*command, context.out);
  return 0;
}

int dispatch(const std::vector<std::string>& arguments, const ToolContext& context) {
  if (arguments.empty()) {
    throw UsageError("no command given (see zav-host --help)");
  }
  const std::string& name = arguments[0];
  const std::vector<std::string> rest(arguments.begin() + 1, arguments.end());
  if (name == "--help" || name == "-h" || name == "help") {
    return runHelp(rest, context);
  }
  const Command* command = findCommand(name);
  if (command == nullptr) {
    throw UsageError("unknown command \"" + name + "\" (see zav-host --help)");
  }
  const CommandLine line = parseCommandLine(name, rest, command->options);
  if (line.help) {
    printHelp(*command, context.out);
    return 0;
  }
  return command->run(line, context);
}

// One line, whatever the message holds.
void report(std::FILE* err, std::string message) {
  std::replace(message.begin(), message.end(), '\n', ' ');
  std::fprintf(err, "zav-host: %s\n", message.c_str());
}

} // namespace

std::string onlyPositional(const std::string& command, const CommandLine& line,
                           const std::string& what, bool required) {
  if (line.positionals.size() > 1) {
    throw UsageError(command + " takes one " + what + ", not also \"" + line.positionals[1] +
                     "\" (see zav-host " + command + " --help)");
  }
  if (line.positionals.empty()) {
    if (required) {
      throw UsageError(command + " needs " + what + " (see zav-host " + command + " --help)");
    }
    return "";
  }
  return line.positionals[0];
}

int runTool(const std::vector<std::string>& arguments, const ToolContext& context) {
  try {
    return dispatch(arguments, context);
  } catch (const UsageError& error) {
    report(context.err, error.what());
    return 2;
  } catch (const std::exception& error) {
    report(context.err, error.what());
    return 1;
  }
}

} // namespace zav::tool
