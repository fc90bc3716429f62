#include <unistd.h>

#include <climits>
#include <string>

#include "platform/files/program_folder.h"
#include "platform/system/platform_error.h"

namespace velmora {

const char kPathSeparator = '/';

std::string programFolder()
{
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0)
        throw PlatformError("无法确定程序所在的文件夹", "readlink /proc/self/exe");
    std::string path(buffer, static_cast<std::size_t>(n));
    const auto slash = path.rfind('/');
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

}  // namespace velmora
