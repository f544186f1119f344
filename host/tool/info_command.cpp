// zav-host info: what a module library says about itself.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "framework/host_interface.h"
#include "host/tool/commands.h"
#include "host/tool/module_file.h"
#include "host/tool/pin_value.h"

namespace zav::tool {
namespace {

std::string hex(std::int32_t bits) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%X", static_cast<unsigned>(bits));
  return buffer;
}

std::string directionWord(std::int32_t direction) {
  switch (static_cast<PinDirection>(direction)) {
  case PinDirection::Input:
    return "input";
  case PinDirection::Output:
    return "output";
  case PinDirection::Parameter:
    return "parameter";
  }
  return "code " + std::to_string(direction);
}

std::string typeWord(std::int32_t dataType) {
  if (const auto kind = valueKindOf(static_cast<PinDataType>(dataType))) {
    return kindName(*kind);
  }
  if (static_cast<PinDataType>(dataType) == PinDataType::Audio) {
    return "audio";
  }
  return "code " + std::to_string(dataType);
}

// A pin text between double quotes, shown safely.
std::string quoted(const std::string& text) {
  std::string shown(1, '"');
  return shown.append(printable(text)).append(1, '"');
}

// The flags the host acts on as words; the bits only the host reads, and any
// unknown ones, as one hex number.
std::string flagWords(std::int32_t flags) {
  std::string words;
  auto add = [&](const std::string& word) { words.append(words.empty() ? "" : " ").append(word); };
  auto take = [&](std::int32_t bit, const char* word) {
    if ((flags & bit) != 0) {
      add(word);
      flags &= ~bit;
    }
  };
  take(pin_flag::kNoPlug, "noPlug");
  take(pin_flag::kForcePlug, "forcePlug");
  take(pin_flag::kRepeatLast, "repeatLast");
  if (flags != 0) {
    add(hex(flags));
  }
  return words.empty() ? "-" : words;
}

using Row = std::vector<std::string>;

void printTable(std::FILE* out, const std::vector<Row>& rows) {
  std::vector<std::size_t> widths(rows.front().size(), 0);
  for (const Row& row : rows) {
    for (std::size_t column = 0; column < row.size(); ++column) {
      widths[column] = std::max(widths[column], row[column].size());
    }
  }
  for (const Row& row : rows) {
    std::string line = " ";
    for (std::size_t column = 0; column < row.size(); ++column) {
      const bool last = column + 1 == row.size();
      line +=
          " " + row[column] + (last ? "" : std::string(widths[column] - row[column].size(), ' '));
    }
    std::fprintf(out, "%s\n", line.c_str());
  }
}

int runInfo(const CommandLine& line, const ToolContext& context) {
  const std::string path = onlyPositional("info", line, "FILE.sem", true);
  ModuleFile module = openModuleFile(path);
  const std::vector<PinDeclaration> pins = readPinDeclarations(module);
  std::FILE* out = context.out;
  std::fprintf(out, "file:        %s\n", path.c_str());
  std::fprintf(out, "name:        %s\n", printable(module.name).c_str());
  std::fprintf(out, "identifier:  %s\n", printable(module.identifier).c_str());
  std::fprintf(out, "SDK version: %d\n", module.sdkVersion);
  std::fprintf(out, "about:\n");
  std::size_t begin = 0;
  while (begin <= module.about.size()) {
    std::size_t end = module.about.find('\n', begin);
    if (end == std::string::npos) {
      end = module.about.size();
    }
    const std::string aboutLine = printable(module.about.substr(begin, end - begin));
    std::fprintf(out, "%s%s\n", aboutLine.empty() ? "" : "  ", aboutLine.c_str());
    begin = end + 1;
  }
  std::fprintf(out, "pins: %s\n", std::to_string(pins.size()).c_str());
  std::vector<Row> rows{{"#", "name", "direction", "type", "default", "list text", "flags"}};
  for (const PinDeclaration& pin : pins) {
    rows.push_back(Row{std::to_string(pin.index), quoted(pin.name), directionWord(pin.direction),
                       typeWord(pin.dataType), quoted(pin.defaultText),
                       pin.hasListText ? quoted(pin.listText) : "-", flagWords(pin.flags)});
  }
  printTable(out, rows);
  return 0;
}

} // namespace

const Command& infoCommand() {
  static const Command command{
      "info",
      "FILE.sem",
      "show a module's name, identifier, about text, SDK version and pins",
      "\nThe pin table lists each pin the audio side declares: index, name, direction,\n"
      "type, default text, list text and flags (noPlug, forcePlug, repeatLast as\n"
      "words; bits only the host reads, such as 0x20000, in hex).\n\n"
      "example:\n  zav-host info build/native/modules/zav_ramp_gf.sem",
      {},
      &runInfo};
  return command;
}

} // namespace zav::tool
