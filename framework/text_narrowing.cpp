#include "framework/text_narrowing.h"

#include <algorithm>

#ifdef _WIN32
#include <windows.h>
#endif

namespace zav {
namespace {

bool isHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool isLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// The number of code units of the character that starts `wide`: 2 for a
// well-formed surrogate pair, else 1.
std::size_t characterUnits(std::u16string_view wide) {
  return wide.size() >= 2 && isHighSurrogate(wide[0]) && isLowSurrogate(wide[1]) ? 2 : 1;
}

} // namespace

#ifdef _WIN32
namespace {

const wchar_t* asWindowsText(std::u16string_view wide) {
  static_assert(sizeof(wchar_t) == sizeof(char16_t));
  return reinterpret_cast<const wchar_t*>(wide.data());
}

// The bytes `wide` takes in the ANSI code page; no flags and no default
// character, so the code page's own replacement stands for what it lacks.
std::size_t ansiSize(std::u16string_view wide) {
  const int size = WideCharToMultiByte(CP_ACP, 0, asWindowsText(wide),
                                       static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  return size > 0 ? static_cast<std::size_t>(size) : 0;
}

} // namespace

std::string narrowText(std::u16string_view wide, std::size_t maxBytes) {
  if (ansiSize(wide) > maxBytes) {
    // Sized character by character, so that the cut falls between characters
    // also in code pages with double-byte characters.
    std::size_t units = 0;
    std::size_t bytes = 0;
    while (units < wide.size()) {
      const std::size_t next = characterUnits(wide.substr(units));
      const std::size_t more = ansiSize(wide.substr(units, next));
      if (bytes + more > maxBytes) {
        break;
      }
      bytes += more;
      units += next;
    }
    wide = wide.substr(0, units);
  }
  std::string narrow(ansiSize(wide), '\0');
  const int written =
      WideCharToMultiByte(CP_ACP, 0, asWindowsText(wide), static_cast<int>(wide.size()),
                          narrow.data(), static_cast<int>(narrow.size()), nullptr, nullptr);
  narrow.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
  return narrow;
}

#else
namespace {

void appendUtf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out.push_back(static_cast<char>(code));
  } else if (code < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (code >> 6)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else if (code < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (code >> 12)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (code >> 18)));
    out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  }
}

} // namespace

std::string narrowText(std::u16string_view wide, std::size_t maxBytes) {
  constexpr char32_t replacement = 0xFFFD;
  std::string narrow;
  narrow.reserve(std::min(maxBytes, wide.size() * 3));
  for (std::size_t units = 0; units < wide.size();) {
    const std::size_t count = characterUnits(wide.substr(units));
    char32_t code = wide[units];
    if (count == 2) {
      code = 0x10000 + ((code - 0xD800) << 10) + (wide[units + 1] - 0xDC00);
    } else if (isHighSurrogate(wide[units]) || isLowSurrogate(wide[units])) {
      code = replacement;
    }
    const std::size_t before = narrow.size();
    appendUtf8(narrow, code);
    if (narrow.size() > maxBytes) {
      narrow.resize(before);
      break;
    }
    units += count;
  }
  return narrow;
}

#endif

std::u16string_view terminatedText(const char16_t* buffer, std::size_t capacity) noexcept {
  const char16_t* end = std::find(buffer, buffer + capacity, u'\0');
  return std::u16string_view(buffer, static_cast<std::size_t>(end - buffer));
}

} // namespace zav
