#pragma once
// A new file that only its owner can read or write, for a private key.
#include <string>
#include <string_view>

namespace velmora {

// Creates the file at path with bytes as its content and on the disk when
// this returns. Throws SignToolError when a file stands there already (it
// is left as it was) or the file cannot be made or written.
void writeNewPrivateFile(const std::string& path, std::string_view bytes);

}  // namespace velmora
