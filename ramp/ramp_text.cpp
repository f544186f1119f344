#include "ramp/ramp_text.h"

#include <algorithm>
#include <utility>

#include "ramp/glide_rounding.h"

namespace zav {
namespace {

// A byte read as a signed 8-bit number, whatever the signedness of char:
// 0x00 to 0x7F give 0 to 127, 0x80 to 0xFF give −128 to −1.
std::int16_t codeAt(const std::string& text, std::size_t position) {
  if (position >= text.size()) {
    return RampText::kFillerCode;
  }
  return low8(static_cast<unsigned char>(text[position]));
}

} // namespace

void RampText::prepareCodes() {
  const std::size_t length = std::max(startText.size(), targetText.size());
  startLength = static_cast<std::int32_t>(startText.size());
  targetLength = static_cast<std::int32_t>(targetText.size());
  glideLength = static_cast<std::int32_t>(length);
  startCodes.clear();
  targetCodes.clear();
  startCodes.reserve(length);
  targetCodes.reserve(length);
  for (std::size_t i = 0; i < length; ++i) {
    startCodes.push_back(codeAt(startText, i));
    targetCodes.push_back(codeAt(targetText, i));
  }
}

void RampText::buildText(float glideProgress, std::string& text) const {
  // Written through a pointer into room for every position, then cut to what
  // was written: cheaper per character than appending one at a time.
  text.resize(startCodes.size());
  char* const first = text.data();
  char* next = first;
  for (std::size_t i = 0; i < startCodes.size(); ++i) {
    const std::int32_t difference = targetCodes[i] - startCodes[i];
    const float scaled = static_cast<float>(difference * static_cast<double>(glideProgress));
    // The low 8 bits: within a glide the sum stays between the two codes, and
    // a progress beyond 0..1 wraps instead of leaving the byte range.
    const std::int8_t code = low8(startCodes[i] + roundHalfUp(scaled));
    if (code >= kFirstShownCode) {
      *next++ = static_cast<char>(code); // no placeholder: the text closes up
    }
  }
  text.resize(static_cast<std::size_t>(next - first));
}

void RampText::hold(std::string text) {
  targetText = text;
  startText = std::move(text);
}

void RampText::beginGlide(std::string from, std::string to) {
  startText = std::move(from);
  targetText = std::move(to);
  prepareCodes();
  stepText.reserve(startCodes.size());
}

void RampText::writeStep(std::int32_t side, float glideProgress) {
  buildText(glideProgress, stepText);
  setText(side, stepText);
}

} // namespace zav
