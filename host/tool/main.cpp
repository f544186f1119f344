// zav-host: the reference host as a command-line tool (`zav-host --help`).
#include <string>
#include <vector>

#include "host/tool/commands.h"

int main(int argc, char** argv) {
  zav::tool::ToolContext context;
  context.programPath = argc > 0 ? argv[0] : "zav-host";
  return zav::tool::runTool(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc),
                            context);
}
