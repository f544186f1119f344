// Checks, from the host's side alone, the promise every ramp module makes about
// its glides: a glide that gets a tick after its Morph Time has passed ends with
// the target on both sides and 0 on the Ticker pin, and every glide start writes
// the Morph Time to the Ticker pin.
//
// The checker watches a ReferenceHost (its observers) and needs nothing of the
// module but what the host sees: the operation being sent, the host calls the
// module makes during it, and the pin store. "The target" depends on the kind
// of value on pins 2 and 3:
//   Float  the source's value at the glide start, or the value last passed on
//          (a NaN matches any NaN);
//   Int    that int32 held in single precision, truncated back to an int32
//          (2^24 + 1 ends as 2^24; a value that rounds to 2^31 has no int32
//          form, and only both sides' equality is checked);
//   Bool   the truth of that value, as 1 or 0;
//   Text   that text, byte for byte;
//   List   an item the module picks from its parsed list: only both sides'
//          equality is checked.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "host/reference_host.h"

namespace zav::host {

// The five pins of every ramp module, as a host numbers them.
namespace ramp_pin {
inline constexpr std::int32_t kTicker = 0;
inline constexpr std::int32_t kMorphTime = 1;
inline constexpr std::int32_t kLeft = 2;
inline constexpr std::int32_t kRight = 3;
inline constexpr std::int32_t kPassingMode = 4;
inline constexpr std::int32_t kCount = 5;
} // namespace ramp_pin

class GlideChecker {
public:
  // `clockSlackMs`: how far the host's clock readings may stray from the
  // module's (0 when the host drives the module's clock itself).
  GlideChecker(ReferenceHost& host, std::int64_t clockSlackMs);
  ~GlideChecker();
  GlideChecker(const GlideChecker&) = delete;
  GlideChecker& operator=(const GlideChecker&) = delete;

  // Forgets an instance the host destroyed.
  void forget(const Instance& instance);
  // Whether the checker saw a glide start on the instance that no finish or
  // Initialise has ended yet.
  bool gliding(const Instance& instance) const;

  const std::vector<std::string>& faults() const { return found; }
  // Glides seen to finish, and those of them whose target could be predicted.
  int finishedGlides() const { return finished; }
  int predictedFinishes() const { return predicted; }

private:
  struct Glide {
    std::int64_t startLatestMs = 0;
    std::int32_t source = 0;
    std::int32_t destination = 0;
    std::optional<PinCell> target; // none: only both sides' equality is checked
  };
  struct Track {
    int depth = 0;
    std::int32_t operation = -1; // the outermost operation being sent
    std::int32_t pin = 0;        // its a
    std::int64_t sentEarliestMs = 0;
    std::optional<std::int32_t> morphTimeMs; // what the module last read from pin 1
    std::optional<Glide> glide;
    bool expectFinish = false;
    std::optional<std::int32_t> tickerWrite;
    std::optional<PinCell> otherSideWrite;
  };

  void onDispatch(Instance& instance, std::int32_t operation, std::int32_t a, bool done);
  void onCall(Instance& instance, const HostCall& call);
  void beginOperation(Instance& instance, Track& track);
  void endOperation(Instance& instance, Track& track);
  void checkFinish(const Instance& instance, const Glide& glide);
  // The value a glide toward `value` must end on, when it can be predicted.
  std::optional<PinCell> finishValueOf(const Instance& instance, const PinCell& value) const;
  void fault(const Instance& instance, const std::string& what);

  ReferenceHost& host;
  std::int64_t slackMs;
  std::unordered_map<int, Track> tracks;
  std::vector<std::string> found;
  int finished = 0;
  int predicted = 0;
};

// Whether two pin values are the same for the pin's kind (floats compare as
// numbers, any NaN matching any NaN; texts byte for byte).
bool samePinValue(const PinCell& x, const PinCell& y);
// A pin value in words, for reports.
std::string describePinValue(const PinCell& cell);

} // namespace zav::host
