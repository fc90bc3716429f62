#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "platform/files/buffered_byte_file.h"
#include "platform/files/byte_file.h"
#include "platform/system/platform_error.h"

namespace velmora {

namespace {

// One system call per write; the buffer in front of it gathers the blocks.
class PosixByteFile final : public ByteFile {
public:
    PosixByteFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
    ~PosixByteFile() override
    {
        if (fd_ >= 0)
            ::close(fd_);
    }

    void write(const char* data, std::size_t size) override
    {
        while (size > 0) {
            const ssize_t n = ::write(fd_, data, size);
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                throw systemFailure("写入文件“" + path_ + "”失败", errno);
            }
            data += n;
            size -= static_cast<std::size_t>(n);
        }
    }

    void flush() override {}

    void close() override
    {
        if (fd_ < 0)
            return;
        const int fd = fd_;
        fd_ = -1;
        // On disk before the caller puts the file in another's place: a
        // rename after a power cut must not leave a short archive behind.
        if (::fsync(fd) != 0 && errno != EINVAL) {
            const int error = errno;
            ::close(fd);
            throw systemFailure("写入文件“" + path_ + "”失败", error);
        }
        if (::close(fd) != 0 && errno != EINTR)
            throw systemFailure("关闭文件“" + path_ + "”失败", errno);
    }

private:
    int fd_;
    std::string path_;
};

// A mapping, not a copy: an archive of hundreds of megabytes costs page cache
// that the system can drop, not memory of the program's own.
class MappedFile final : public FileContents {
public:
    MappedFile(void* data, std::size_t size) : data_(data), size_(size) {}
    ~MappedFile() override
    {
        if (size_ > 0)
            ::munmap(data_, size_);
    }
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    std::string_view bytes() const override { return {static_cast<const char*>(data_), size_}; }

private:
    void* data_;
    std::size_t size_;
};

// flock belongs to the open file, so a second lockFile in the same process
// is refused as another process's would be. The file is removed before the
// lock is let go: a taker that opened it just before then finds, once it has
// the lock, that the path names another file or none, and tries again.
class PosixFileLock final : public FileLock {
public:
    PosixFileLock(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
    ~PosixFileLock() override
    {
        ::unlink(path_.c_str());
        ::close(fd_);
    }
    PosixFileLock(const PosixFileLock&) = delete;
    PosixFileLock& operator=(const PosixFileLock&) = delete;

private:
    int fd_;
    std::string path_;
};

bool sameFile(int fd, const std::string& path)
{
    struct stat held {};
    struct stat named {};
    return ::fstat(fd, &held) == 0 && ::stat(path.c_str(), &named) == 0 && held.st_dev == named.st_dev
           && held.st_ino == named.st_ino;
}

class PosixFileSystem final : public FileSystem {
public:
    std::unique_ptr<ByteFile> openForWriting(const std::string& path) override { return openWith(path, O_TRUNC); }

    std::unique_ptr<ByteFile> openForAppending(const std::string& path) override { return openWith(path, O_APPEND); }

    std::optional<std::uint64_t> sizeOf(const std::string& path) override
    {
        struct stat status {};
        if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
            return std::nullopt;
        return static_cast<std::uint64_t>(status.st_size);
    }

    void remove(const std::string& path) override
    {
        if (::unlink(path.c_str()) == 0 || errno == ENOENT)
            return;
        const int error = errno;
        // A read-only file system refuses even to remove what is not there.
        struct stat status {};
        if (::lstat(path.c_str(), &status) != 0 && errno == ENOENT)
            return;
        throw systemFailure("无法删除文件“" + path + "”", error);
    }

    void replace(const std::string& from, const std::string& to) override
    {
        if (std::rename(from.c_str(), to.c_str()) != 0)
            throw systemFailure("无法用“" + from + "”替换“" + to + "”", errno);
        syncFolderOf(to);
    }

    std::unique_ptr<FileLock> lockFile(const std::string& path) override
    {
        for (;;) {
            // flock needs no write access: a lock file left behind read-only,
            // or by another user, locks as well as a new one.
            const int fd = ::open(path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0644);
            if (fd < 0)
                throw systemFailure("无法打开文件“" + path + "”", errno);
            if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
                const int error = errno;
                ::close(fd);
                if (error == EWOULDBLOCK)
                    return nullptr;
                if (error == EINTR)
                    continue;
                throw systemFailure("无法锁定文件“" + path + "”", error);
            }
            if (sameFile(fd, path))
                return std::make_unique<PosixFileLock>(fd, path);
            ::close(fd);  // released and removed by its holder meanwhile
        }
    }

private:
    static std::unique_ptr<ByteFile> openWith(const std::string& path, int mode)
    {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | mode | O_CLOEXEC, 0644);
        if (fd < 0)
            throw systemFailure("无法打开文件“" + path + "”", errno);
        return std::make_unique<BufferedByteFile>(std::make_unique<PosixByteFile>(fd, path));
    }

    // The rename lives in the folder's entries, which reach the disk on
    // their own schedule: until they do, a power cut can bring back the old
    // archive, or none. A folder that cannot be opened for reading (no read
    // permission) or a file system that cannot sync folders leaves this to
    // the system.
    static void syncFolderOf(const std::string& path)
    {
        const std::string folder = folderOf(path);
        const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0)
            return;
        const int result = ::fsync(fd);
        const int error = errno;
        ::close(fd);
        if (result != 0 && error != EINVAL)
            throw systemFailure("无法把“" + folder + "”中的更改写入磁盘", error);
    }

    static std::string folderOf(const std::string& path)
    {
        const auto slash = path.find_last_of('/');
        if (slash == std::string::npos)
            return ".";
        return slash == 0 ? "/" : path.substr(0, slash);
    }

    std::unique_ptr<FileContents> openForReading(const std::string& path) override
    {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            throw systemFailure("无法打开文件“" + path + "”", errno);
        struct stat status {};
        if (::fstat(fd, &status) != 0) {
            const int error = errno;
            ::close(fd);
            throw systemFailure("无法读取文件“" + path + "”", error);
        }
        const auto size = static_cast<std::size_t>(status.st_size);
        // mmap refuses a length of 0; an empty file has nothing to map.
        void* data = nullptr;
        if (size > 0)
            data = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
        const int error = errno;
        ::close(fd);  // the mapping keeps the file
        if (data == MAP_FAILED)
            throw systemFailure("无法读取文件“" + path + "”", error);
        return std::make_unique<MappedFile>(data, size);
    }
};

}  // namespace

FileSystem& localFileSystem()
{
    static PosixFileSystem fs;
    return fs;
}

}  // namespace velmora
