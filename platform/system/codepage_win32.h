#pragma once
// Text conversions at the edge of the Windows API. The program's own text is
// UTF-8; the wide (UTF-16) entry points take it without loss, the ANSI ones
// only as far as the system's code page reaches.
#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// Invalid UTF-8 becomes U+FFFD.
std::wstring utf8ToWide(std::string_view text);
// Unpaired surrogates become U+FFFD.
std::string wideToUtf8(std::wstring_view text);

// The text in the system's ANSI code page, or nothing when a character of it
// has no exact counterpart there (no best-fit look-alikes).
std::optional<std::string> utf8ToAnsi(std::string_view text);

// A URL as a WinINet ANSI call takes it: in the ANSI code page when it fits,
// otherwise with every byte outside ASCII percent-encoded as UTF-8, which is
// how a browser sends such an address.
std::string urlForAnsiCall(std::string_view url);

}  // namespace velmora
