// The Text kind: every character position counts through the character codes
// from the start text's byte to the target text's, in step with the progress.
// Letters count toward their targets, positions only the target has grow in
// from just below the space character, positions only the start has fall away
// to it; the finish writes the target text exactly.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/host_interface.h"
#include "ramp/ramp_module.h"

namespace zav {

class RampText final : public TableRampModule<RampText> {
public:
  using Value = std::string;
  static constexpr const char* kValueWord = "Text";
  static constexpr PinDataType kValueType = PinDataType::Text;

  // Fills the shorter text up at its end, so the two align at their first byte.
  // It lies just below the space: such a position shows nothing until its code
  // reaches a printable one.
  static constexpr std::int16_t kFillerCode = 31;
  // Codes below this (control characters, and the bytes 0x80 to 0xFF, whose
  // codes are negative) never appear in an intermediate text.
  static constexpr std::int16_t kFirstShownCode = 32;

  using TableRampModule::TableRampModule;

  // Rebuilds both code arrays and the three lengths from startText and targetText.
  void prepareCodes();
  // The intermediate text for a progress (0 at the glide start, 1 at its end),
  // built into `text`; a buffer whose capacity suffices is not reallocated.
  void buildText(float glideProgress, std::string& text) const;

private:
  friend class RampModule<RampText>;
  friend class TableRampModule<RampText>;

  std::string read(std::int32_t side) { return getText(side); }
  void write(std::int32_t side, const std::string& text) { setText(side, text); }
  bool isNew(const std::string& text) const { return text != targetText; }
  void hold(std::string text);
  void beginGlide(std::string from, std::string to);
  void writeStep(std::int32_t side, float glideProgress);
  void writeTarget(std::int32_t side) { setText(side, targetText); }

  std::vector<std::int16_t> startCodes;
  std::vector<std::int16_t> targetCodes;
  std::int32_t glideLength = 0;
  std::int32_t startLength = 0;
  std::int32_t targetLength = 0;
  std::string startText;
  std::string targetText;
  // The text of the latest tick step. A host may tick at control rates, so the
  // glide start reserves room for the longest intermediate text once and the
  // steps reuse it.
  std::string stepText;
};

} // namespace zav
