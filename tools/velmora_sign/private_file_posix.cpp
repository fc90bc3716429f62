#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "tools/velmora_sign/private_file.h"
#include "tools/velmora_sign/sign_commands.h"

namespace velmora {

void writeNewPrivateFile(const std::string& path, std::string_view bytes)
{
    // O_EXCL: another file there, or a link, fails instead of being replaced
    // or followed. The mode is the file's from its first moment, so no one
    // can open it between its creation and a chmod.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        if (errno == EEXIST)
            throw SignToolError(path + " already exists: velmora-sign keygen never overwrites a file");
        throw SignToolError("cannot create " + path + ": " + std::strerror(errno));
    }
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int error = errno;
            ::close(fd);
            ::unlink(path.c_str());
            throw SignToolError("cannot write " + path + ": " + std::strerror(error));
        }
        written += static_cast<std::size_t>(n);
    }
    const int synced = ::fsync(fd);
    const int error = errno;
    if (::close(fd) != 0 || synced != 0) {
        ::unlink(path.c_str());
        throw SignToolError("cannot write " + path + ": " + std::strerror(error));
    }
}

}  // namespace velmora
