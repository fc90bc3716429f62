#pragma once
// The platform's own GB18030 decoder (iconv on Linux, the code page 54936
// conversion on Windows), behind documentText().
#include <string>
#include <string_view>

namespace velmora {

// Undecodable bytes become U+FFFD.
std::string gb18030ToUtf8(std::string_view bytes);

}  // namespace velmora
