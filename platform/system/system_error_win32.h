#pragma once
// The system's own wording of a Windows error code, for the reason part of a
// PlatformError.
#include <string>

namespace velmora {

// The message of GetLastError()-style code in the user's language, with the
// number appended ("...（错误 12029）"). WinINet's codes (12000 to 12999) are
// looked up in wininet.dll, which holds their texts.
std::string systemErrorText(unsigned long code);

}  // namespace velmora
