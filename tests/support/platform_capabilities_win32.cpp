#include "support/platform_capabilities.h"

#include <windows.h>

namespace velmora::testing {

bool hasGb18030FourByteTable() { return ::IsValidCodePage(54936) != FALSE; }

}  // namespace velmora::testing
