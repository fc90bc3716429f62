#pragma once
// Base64 as RFC 4648 section 4 defines it (the standard alphabet, '=' padding),
// read strictly: the text is taken only when it is the one canonical
// encoding of exactly the number of bytes the caller expects.
#include <cstddef>
#include <string_view>

namespace velmora {

// Decodes text into out[0, size). Returns false, leaving out unspecified, for
// any other length, a character outside the alphabet, missing or misplaced
// padding, or padding bits that are not zero.
bool decodeBase64Exactly(std::string_view text, unsigned char* out, std::size_t size);

}  // namespace velmora
