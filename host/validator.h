// The module validator: loads a module library as a host does and checks it
// against the binary interface, as a hostile host would: exports and
// properties, the pin table, a thousand instances, every dispatcher with codes
// it does not know, random pin values and texts, list texts that are
// unterminated, overlong or not valid UTF-16, re-entrant reports, and glides
// that must complete.
//
// It runs on the module's own clock (real time, no hook), so its glide checks
// need no exact timing: a Morph Time of 0 or less lets the first late tick
// finish a glide, and real waits are short and bounded in count.
//
// Where the platform allows, each check runs in a child process, so that a
// module that crashes (or a sanitizer that stops it) fails that check alone.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace zav::host {

struct ValidationOptions {
  // The seed of the random checks; none: a fresh one, printed for replay.
  std::optional<std::uint64_t> seed;
  int instanceCount = 1000;
  int randomActions = 20000;
  // Run each check in a child process (POSIX only).
  bool isolate = true;
};

struct CheckResult {
  std::string name;
  bool passed = false;
  std::string detail;                // the first faults found, or what was checked
  std::optional<std::uint64_t> seed; // for random checks: replay with --seed
};

struct ValidationReport {
  std::string path;
  std::string moduleName; // empty when the library did not load
  std::vector<CheckResult> checks;

  bool passed() const;
};

ValidationReport validateModule(const std::string& path, const ValidationOptions& options);

// One line per check ("PASS"/"FAIL", its name, its detail), a replay hint for
// every random check, and a summary line.
void printReport(const ValidationReport& report, std::FILE* out);

} // namespace zav::host
