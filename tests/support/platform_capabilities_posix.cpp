#include "tests/support/platform_capabilities.h"

namespace velmora::test {

bool hasGb18030FourByteTable() { return true; }

bool endsStalledHttpReads() { return true; }

bool reportsEarlyResets() { return true; }

bool locksAReadOnlyLockFile() { return true; }

}  // namespace velmora::test
