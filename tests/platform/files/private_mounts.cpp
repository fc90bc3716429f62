#include "tests/platform/files/private_mounts.h"

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <system_error>

namespace velmora {

namespace {

bool writeFile(const char* path, const std::string& text)
{
    const int fd = ::open(path, O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    ::close(fd);
    return ok;
}

// The caller's own ids become root inside; nothing else is mapped.
std::string enterUserNamespace()
{
    const uid_t uid = ::getuid();
    const gid_t gid = ::getgid();
    if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
        return std::string("unshare(CLONE_NEWUSER | CLONE_NEWNS): ") + std::strerror(errno);
    if (!writeFile("/proc/self/setgroups", "deny") || !writeFile("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1")
        || !writeFile("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1"))
        return std::string("mapping the user namespace's ids: ") + std::strerror(errno);
    return {};
}

void check(int result, const std::string& what)
{
    if (result != 0)
        throw std::system_error(errno, std::generic_category(), what);
}

}  // namespace

std::string enterPrivateMountNamespace()
{
    if (::unshare(CLONE_NEWNS) != 0) {
        if (errno != EPERM)
            return std::string("unshare(CLONE_NEWNS): ") + std::strerror(errno);
        if (std::string reason = enterUserNamespace(); !reason.empty())
            return reason;
    }
    // Without this, mounts made here would show in the namespace they came from.
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return std::string("making / private: ") + std::strerror(errno);
    return {};
}

void mountTmpfs(const std::filesystem::path& at, std::size_t bytes)
{
    const std::string options = "size=" + std::to_string(bytes) + ",mode=0755";
    check(::mount("tmpfs", at.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()), "mount tmpfs at " + at.string());
}

void remountReadOnly(const std::filesystem::path& at)
{
    check(::mount(nullptr, at.c_str(), nullptr, MS_REMOUNT | MS_RDONLY | MS_NOSUID | MS_NODEV, nullptr),
          "remount read-only " + at.string());
}

void unmount(const std::filesystem::path& at)
{
    ::umount2(at.c_str(), MNT_DETACH);
}

}  // namespace velmora
