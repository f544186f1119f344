// Wide texts from the host (UTF-16 code units) turned into the narrow texts the
// modules keep: the system's ANSI code page on Windows, UTF-8 elsewhere.
//
// The host fills buffers that the module hands it and is not trusted to end
// what it wrote: every length here is bounded by the buffer, never by a
// terminator alone.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zav {

// The text a host left in `buffer`: up to its first terminator, or all
// `capacity` code units when the host wrote none.
std::u16string_view terminatedText(const char16_t* buffer, std::size_t capacity) noexcept;

// `wide` in the narrow encoding, at most `maxBytes` bytes long. A text that
// does not fit is cut after its last whole character that does (never inside
// a surrogate pair or a multi-byte sequence). Off Windows a lone surrogate
// becomes U+FFFD.
std::string narrowText(std::u16string_view wide, std::size_t maxBytes);

} // namespace zav
