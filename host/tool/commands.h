// zav-host's subcommands: one table entry each, with the help it prints.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "host/tool/command_line.h"

namespace zav::tool {

struct ToolContext {
  std::string programPath; // the running zav-host, to find the modules built beside it
  std::FILE* out = stdout;
  std::FILE* err = stderr;
};

struct Command {
  std::string name;
  std::string synopsis; // the arguments after the name, e.g. "FILE.sem [options]"
  std::string summary;  // one line for the command list
  std::string details;  // the rest of `zav-host NAME --help`
  std::vector<OptionSpec> options;
  int (*run)(const CommandLine& line, const ToolContext& context);
};

const Command& infoCommand();
const Command& glideCommand();
const Command& demoCommand();
const Command& validateCommand();

// Runs zav-host with the arguments after the program name. Every error ends up
// as one line on `context.err` and a non-zero result: 2 for a mistake in the
// call, 1 for anything else.
int runTool(const std::vector<std::string>& arguments, const ToolContext& context);

// The one positional argument a command takes, named `what` in the error.
std::string onlyPositional(const std::string& command, const CommandLine& line,
                           const std::string& what, bool required);

} // namespace zav::tool
