#include <windows.h>

#include <string>

#include "platform/buffered_byte_file.h"
#include "platform/byte_file.h"
#include "platform/codepage_win32.h"
#include "platform/platform_error.h"
#include "platform/system_error_win32.h"

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
                throw PlatformError("写入文件“" + path_ + "”失败", systemErrorText(::GetLastError()));
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
            throw PlatformError("写入文件“" + path_ + "”失败", systemErrorText(error));
        }
        if (!::CloseHandle(file))
            throw PlatformError("关闭文件“" + path_ + "”失败", systemErrorText(::GetLastError()));
    }

private:
    HANDLE file_;
    std::string path_;
};

class Win32FileSystem final : public FileSystem {
public:
    std::unique_ptr<ByteFile> openForWriting(const std::string& path) override
    {
        // FILE_SHARE_WRITE alone: while the file is written, other openers may
        // write it but not read it, so nobody unpacks half an archive.
        const HANDLE file = ::CreateFileW(utf8ToWide(path).c_str(), GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                                          CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            throw PlatformError("无法打开文件“" + path + "”", systemErrorText(::GetLastError()));
        return std::make_unique<BufferedByteFile>(std::make_unique<Win32ByteFile>(file, path));
    }

    void replace(const std::string& from, const std::string& to) override
    {
        const DWORD flags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
        if (!::MoveFileExW(utf8ToWide(from).c_str(), utf8ToWide(to).c_str(), flags))
            throw PlatformError("无法用“" + from + "”替换“" + to + "”", systemErrorText(::GetLastError()));
    }
};

}  // namespace

const char kPathSeparator = '\\';

FileSystem& localFileSystem()
{
    static Win32FileSystem fs;
    return fs;
}

}  // namespace velmora
