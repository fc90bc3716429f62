#include "tests/support/platform_capabilities.h"

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace velmora::test {

bool hasGb18030FourByteTable() { return true; }

bool endsStalledHttpReads() { return true; }

bool locksAReadOnlyLockFile() { return true; }

bool refusesWritingReadOnlyFiles() { return true; }

namespace {

// Capabilities are a thread's own; the system call changes this thread's.
bool setOverride(bool on)
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3]{};
    if (::syscall(SYS_capget, &header, data) != 0)
        return false;
    const bool had = (data[0].effective & (1u << CAP_DAC_OVERRIDE)) != 0;
    if (on)
        data[0].effective |= 1u << CAP_DAC_OVERRIDE;
    else
        data[0].effective &= ~(1u << CAP_DAC_OVERRIDE);
    return ::syscall(SYS_capset, &header, data) == 0 && had != on;
}

}  // namespace

PermissionBitsHold::PermissionBitsHold() : setAside_(setOverride(false)) {}

PermissionBitsHold::~PermissionBitsHold()
{
    if (setAside_)
        setOverride(true);
}

}  // namespace velmora::test
