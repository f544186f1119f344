// One instance of a ramp module in the reference host, on the real clock, with
// its Ticker pin served by the host's ticker: the glide the tool shows.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "host/clocks.h"
#include "host/reference_host.h"
#include "host/tool/glide_trace.h"
#include "host/tool/module_file.h"

namespace zav::tool {

struct GlideSettings {
  Side source = Side::Left;
  std::optional<std::int32_t> mode; // by default the mode in which the source glides alone
  std::int32_t morphTimeMs = 1000;
  std::int32_t tickMs = 10;
  PinValue from;
  PinValue to;
};

// Sees a glide as it runs, e.g. to show it live.
class GlideObserver {
public:
  virtual ~GlideObserver() = default;
  virtual void started(const GlideTrace&) {}
  virtual void stepped(const GlideTrace&) {}
  virtual void ended(const GlideTrace&) {}
};

// The list a list module gets when the user names none.
inline constexpr const char* kDefaultListText = "Off,Low,Medium,High,Max";

// The glide shown when the user names no values: 0 to 10, false to true,
// "hello" to "world", the first list item to the last.
PinValue defaultFrom(ValueKind kind, const ListItems& items);
PinValue defaultTo(ValueKind kind, const ListItems& items);

// Why a glide that ran is no success ("" for a finished glide or a change
// passed at once), as one line.
std::string glideFailure(const GlideTrace& trace);

// The default passing mode for a source side: "L+>R" for left, "L<+R" for right.
std::int32_t defaultModeFor(Side source);

// The time the tool waits for a glide to end before it gives up.
std::int64_t safetyTimeoutMs(std::int32_t morphTimeMs);

class GlideSession {
public:
  // Loads the module and makes an instance through makeModule (both objects),
  // then opens its audio side. A ToolError when the file is no ramp module.
  explicit GlideSession(const std::string& path);
  GlideSession(const GlideSession&) = delete;
  GlideSession& operator=(const GlideSession&) = delete;

  const std::string& moduleName() const { return module.name; }
  ValueKind kind() const { return valueKind; }

  // Initialises the instance as new; a list module first gets `listText` on
  // pin 3, whose item list it reads in Initialise.
  void initialise(const std::optional<std::string>& listText);
  // After initialise: the items of the value pins (list modules) and of the
  // Passing Mode pin.
  ListItems valueItems() const;
  ListItems modeItems() const;

  // Sets Morph Time and passing mode, shows the start value on the destination
  // side, changes the source side to the target and runs the ticker until the
  // module writes 0 to it, or the safety timeout passes.
  GlideTrace run(const GlideSettings& settings, GlideObserver& observer);

private:
  ModuleFile module; // outlives the host, which closes the instance first
  host::RealClock clock;
  host::ReferenceHost host{clock};
  host::Instance* instance = nullptr;
  ValueKind valueKind = ValueKind::Float;
};

} // namespace zav::tool
