#pragma once
// The body length as the downloader receives it: the text of the
// Content-Length header in a fixed buffer of 512 characters.
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace velmora {

inline constexpr std::size_t kSizeTextLength = 512;

// Reads sizeText up to its first NUL, leading and trailing blanks (spaces and
// tabs) ignored, as a decimal number. Text that is empty or not a plain
// decimal number gives 0, as a missing header does. Throws DownloadError when
// the number is beyond the 32-bit signed range.
std::int32_t sizeTextValue(std::string_view sizeText);

}  // namespace velmora
