#include <windows.h>

#include <string>

#include "platform/files/buffered_byte_file.h"
#include "platform/files/byte_file.h"
#include "platform/system/codepage_win32.h"
#include "platform/system/platform_error.h"

namespace velmora {

namespace {

// One system call per write; the buffer in front of it gathers the blocks.
class Win32ByteFile final : public ByteFile {
public:
    Win32ByteFile(HANDLE file, std::string path) : file_(file), path_(std::move(path)) {}
    ~Win32ByteFile() override
    {
        if (file_ != INVALID_HANDLE_VALUE)
            ::CloseHandle(file_);
    }
    Win32ByteFile(const Win32ByteFile&) = delete;
    Win32ByteFile& operator=(const Win32ByteFile&) = delete;

    void write(const char* data, std::size_t size) override
    {
        while (size > 0) {
            const DWORD chunk = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
            DWORD written = 0;
            if (!::WriteFile(file_, data, chunk, &written, nullptr) || written == 0)
                throw systemFailure("写入文件“" + path_ + "”失败", ::GetLastError());
            data += written;
            size -= written;
        }
    }

    void flush() override {}

    void close() override
    {
        if (file_ == INVALID_HANDLE_VALUE)
            return;
        const HANDLE file = file_;
        file_ = INVALID_HANDLE_VALUE;
        // On disk before the caller puts the file in another's place: the
        // system's cache would otherwise hold the archive's last bytes after
        // the move has been written through, and a power cut would leave a
        // short archive in the place of the good one.
        if (!::FlushFileBuffers(file)) {
            const DWORD error = ::GetLastError();
            ::CloseHandle(file);
            throw systemFailure("写入文件“" + path_ + "”失败", error);
        }
        if (!::CloseHandle(file))
            throw systemFailure("关闭文件“" + path_ + "”失败", ::GetLastError());
    }

private:
    HANDLE file_;
    std::string path_;
};

// A mapped view, not a copy: an archive of hundreds of megabytes costs page
// cache that the system can drop, not memory of the program's own.
class MappedFile final : public FileContents {
public:
    MappedFile(const void* view, std::size_t size) : view_(view), size_(size) {}
    ~MappedFile() override
    {
        if (view_)
            ::UnmapViewOfFile(view_);
    }
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    std::string_view bytes() const override { return {static_cast<const char*>(view_), size_}; }

private:
    const void* view_;
    std::size_t size_;
};

// Closes a kernel handle on every way out.
class HandleGuard {
public:
    explicit HandleGuard(HANDLE handle) : handle_(handle) {}
    ~HandleGuard()
    {
        if (handle_ && handle_ != INVALID_HANDLE_VALUE)
            ::CloseHandle(handle_);
    }
    HandleGuard(const HandleGuard&) = delete;
    HandleGuard& operator=(const HandleGuard&) = delete;
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

// Opened sharing nothing: while it is held, every other open of the path is
// refused, in this process as in another, and the system removes the file
// when the handle closes, also when the process dies.
class Win32FileLock final : public FileLock {
public:
    explicit Win32FileLock(HANDLE file) : file_(file) {}
    ~Win32FileLock() override { ::CloseHandle(file_); }
    Win32FileLock(const Win32FileLock&) = delete;
    Win32FileLock& operator=(const Win32FileLock&) = delete;

private:
    HANDLE file_;
};

class Win32FileSystem final : public FileSystem {
public:
    std::unique_ptr<ByteFile> openForWriting(const std::string& path) override
    {
        return openWith(path, CREATE_ALWAYS);
    }

    std::unique_ptr<ByteFile> openForAppending(const std::string& path) override
    {
        return openWith(path, OPEN_ALWAYS);
    }

    std::optional<std::uint64_t> sizeOf(const std::string& path) override
    {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (!::GetFileAttributesExW(utf8ToWide(path).c_str(), GetFileExInfoStandard, &data)
            || (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
            return std::nullopt;
        return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    }

    void remove(const std::string& path) override
    {
        if (!::DeleteFileW(utf8ToWide(path).c_str())) {
            const DWORD error = ::GetLastError();
            if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)
                throw systemFailure("无法删除文件“" + path + "”", error);
        }
    }

    void replace(const std::string& from, const std::string& to) override
    {
        const DWORD flags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
        if (!::MoveFileExW(utf8ToWide(from).c_str(), utf8ToWide(to).c_str(), flags))
            throw systemFailure("无法用“" + from + "”替换“" + to + "”", ::GetLastError());
    }

    std::unique_ptr<FileContents> openForReading(const std::string& path) override
    {
        const HandleGuard file(::CreateFileW(utf8ToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.get() == INVALID_HANDLE_VALUE)
            throw systemFailure("无法打开文件“" + path + "”", ::GetLastError());
        LARGE_INTEGER size{};
        if (!::GetFileSizeEx(file.get(), &size))
            throw systemFailure("无法读取文件“" + path + "”", ::GetLastError());
        // A mapping of an empty file is refused; there is nothing to map.
        if (size.QuadPart == 0)
            return std::make_unique<MappedFile>(nullptr, 0);
        const HandleGuard mapping(::CreateFileMappingW(file.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
        if (!mapping.get())
            throw systemFailure("无法读取文件“" + path + "”", ::GetLastError());
        // The view keeps the mapping and the file open after both handles close.
        const void* view = ::MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, 0);
        if (!view)
            throw systemFailure("无法读取文件“" + path + "”", ::GetLastError());
        return std::make_unique<MappedFile>(view, static_cast<std::size_t>(size.QuadPart));
    }

    std::unique_ptr<FileLock> lockFile(const std::string& path) override
    {
        const HANDLE file = ::CreateFileW(utf8ToWide(path).c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr,
                                          OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (file != INVALID_HANDLE_VALUE)
            return std::make_unique<Win32FileLock>(file);
        const DWORD error = ::GetLastError();
        // Only a holder's open handle is a lock. Access denied is a file the
        // lock cannot be taken on (read-only, another user's, or one whose
        // holder is just closing it): named as the failure it is, or every
        // later download would wait for a holder that is not there.
        if (error == ERROR_SHARING_VIOLATION)
            return nullptr;
        throw systemFailure("无法锁定文件“" + path + "”", error);
    }

private:
    // CREATE_ALWAYS truncates; OPEN_ALWAYS keeps the bytes and writing goes
    // on after the last of them.
    static std::unique_ptr<ByteFile> openWith(const std::string& path, DWORD disposition)
    {
        // Shared with nobody while it is written: no reader unpacks half an
        // archive, and no second writer joins its bytes to these.
        const HANDLE file = ::CreateFileW(utf8ToWide(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                          disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            throw systemFailure("无法打开文件“" + path + "”", ::GetLastError());
        auto owned = std::make_unique<Win32ByteFile>(file, path);
        LARGE_INTEGER zero{};
        if (disposition == OPEN_ALWAYS && !::SetFilePointerEx(file, zero, nullptr, FILE_END))
            throw systemFailure("无法打开文件“" + path + "”", ::GetLastError());
        return std::make_unique<BufferedByteFile>(std::move(owned));
    }
};

}  // namespace

FileSystem& localFileSystem()
{
    static Win32FileSystem fs;
    return fs;
}

}  // namespace velmora
