// zav-host: the reference host as a command-line tool.
//   zav-host demo [MODULE_DIR]              glides a value through each module found
//   zav-host validate [--seed N] FILE.sem...  checks module libraries against the interface
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>

#include "host/reference_host.h"
#include "host/validator.h"

namespace {

using zav::host::Instance;
using zav::host::ReferenceHost;

std::filesystem::path defaultModuleDir(const char* argv0) {
  // The tool lives in build/<preset>/host; the modules in build/<preset>/modules.
  const std::filesystem::path self = std::filesystem::absolute(argv0).parent_path();
  return self.parent_path() / "modules";
}

int demoFloat(const std::filesystem::path& dir) {
  const std::string path = (dir / "zav_ramp_gf.sem").string();
  std::string error;
  auto library = zav::host::ModuleLibrary::open(path, error);
  if (library == nullptr) {
    std::fprintf(stderr, "zav-host: %s\n", error.c_str());
    return 1;
  }
  zav::ModuleProperties props{};
  library->getModuleProperties(0, &props);
  zav::host::RealClock clock;
  ReferenceHost host(clock);
  host.options.tickPeriodMs = 50;
  host.options.logCalls = false;
  Instance* module = host.create(*library);
  if (module == nullptr) {
    std::fprintf(stderr, "zav-host: %s made no module\n", path.c_str());
    return 1;
  }
  host.sendAudio(*module, zav::audio_op::kOpen);
  host.initialise(*module, false);
  host.setInt(*module, 1, 500);
  std::printf("%s: gliding the right side from 0 to 10 over 500 ms\n", props.name);
  const std::int64_t start = clock.nowMs();
  host.setFloat(*module, 2, 10.0f);
  float shown = module->pins[3].asFloat();
  while (host.serviceTickers()) {
    if (module->pins[3].asFloat() != shown) {
      shown = module->pins[3].asFloat();
      std::printf("  %5lld ms  %g\n", static_cast<long long>(clock.nowMs() - start), shown);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  std::printf("  %5lld ms  %g (finished: left %g, ticker %d)\n",
              static_cast<long long>(clock.nowMs() - start), module->pins[3].asFloat(),
              module->pins[2].asFloat(), module->pins[0].asInt());
  return 0;
}

} // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "validate") {
    return zav::host::runValidateCommand({argv + 2, argv + argc}, stdout);
  }
  if (command == "demo") {
    const std::filesystem::path dir =
        argc > 2 ? std::filesystem::path(argv[2]) : defaultModuleDir(argv[0]);
    return demoFloat(dir);
  }
  std::fprintf(stderr, "usage: zav-host demo [MODULE_DIR]\n"
                       "       zav-host validate [--seed N] FILE.sem...\n");
  return 2;
}
