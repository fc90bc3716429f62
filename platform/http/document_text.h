#pragma once
// Turns the bytes of a fetched text document into UTF-8 text, the way the
// publisher's files come: UTF-8 (with or without a byte-order mark) or the
// GB18030 family (GB2312 and GBK are subsets) that Chinese Windows tools write.
#include <string>
#include <string_view>

namespace velmora {

bool isValidUtf8(std::string_view bytes);

// A leading UTF-8 byte-order mark is dropped; valid UTF-8 is kept as it is;
// anything else is read as GB18030. Never throws for any input: bytes that
// GB18030 cannot map either become U+FFFD.
std::string documentText(std::string_view bytes);

}  // namespace velmora
