#include "support/platform_capabilities.h"

namespace velmora::testing {

bool hasGb18030FourByteTable() { return true; }

bool endsStalledHttpReads() { return true; }

}  // namespace velmora::testing
