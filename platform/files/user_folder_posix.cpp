#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "platform/files/program_folder.h"
#include "platform/files/user_folder.h"
#include "platform/system/platform_error.h"

namespace velmora {

namespace {

constexpr const char* kFolderName = "velmora";

std::string variable(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

// The base directory's own rule: unset, empty or relative means the default.
std::string dataHome(const std::string& home)
{
    const std::string xdg = variable("XDG_DATA_HOME");
    if (!xdg.empty() && xdg.front() == '/')
        return xdg;
    if (home.empty() || home.front() != '/')
        throw PlatformError("无法确定用户的数据文件夹", "XDG_DATA_HOME 与 HOME 都不是绝对路径");
    return joinPath(home, ".local/share");
}

// mkdir -p; what is made is the user's alone, as the base directory asks.
void createFolders(const std::string& path)
{
    for (std::size_t at = path.find('/', 1);; at = path.find('/', at + 1)) {
        const std::string part = path.substr(0, at);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            const int error = errno;  // before the message's allocations
            throw systemFailure("无法创建文件夹“" + part + "”", error);
        }
        if (at == std::string::npos)
            return;
    }
}

std::string withoutTrailingSlashes(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

}  // namespace

UserFolder userFolder()
{
    const std::string home = withoutTrailingSlashes(variable("HOME"));
    const std::string path = joinPath(withoutTrailingSlashes(dataHome(home)), kFolderName);
    createFolders(path);
    const bool underHome = home.size() > 1 && path.compare(0, home.size() + 1, home + "/") == 0;
    return {path, underHome ? "~" + path.substr(home.size()) : path};
}

bool canCreateFilesIn(const std::string& folder)
{
    std::string probe = joinPath(folder, ".velmora-write-test-XXXXXX");
    const int fd = ::mkstemp(probe.data());
    if (fd < 0)
        return false;
    ::close(fd);
    ::unlink(probe.c_str());
    return true;
}

}  // namespace velmora
