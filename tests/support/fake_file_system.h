#pragma once
// Files in memory, with the faults a test asks for: an open that fails, a
// write or a flush that fails (disk full), a close that loses data, a read
// that fails, the process killed at any step. Opening truncates, as the real
// file system does, and locks are refused while held. Every step that
// changes a file is logged. The fake must outlive the files and locks it
// hands out.
#include <cstddef>
#include <map>
#include <set>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/files/byte_file.h"
#include "platform/system/platform_error.h"

namespace velmora {

class FakeFileSystem final : public FileSystem {
public:
    std::map<std::string, std::string> files;  // path -> contents
    std::vector<std::string> opened;           // paths, in order of opening

    bool failOpen = false;
    int failWriteNumber = 0;  // the n-th write (counted over all files) throws; 0: none
    bool failFlush = false;
    bool failClose = false;

    // Every step that changes what is on the disk, in order: "write <path>",
    // "append <path>" (opened without truncating), "put <path>" (bytes
    // written), "close <path>", "remove <path>", "replace <from> <to>".
    std::vector<std::string> steps;
    // Thrown by the killAtStep-th step (counted from 1), before it takes
    // effect: the program died there, and what is on the disk is what the
    // next run finds.
    struct Killed {};
    int killAtStep = 0;
    std::set<std::string> locks;  // held now

    int openCount() const { return open_; }  // opened and neither closed nor destroyed
    int closedCount() const { return closed_; }
    int writeCount() const { return writes_; }
    int flushCount() const { return flushes_; }

    std::unique_ptr<ByteFile> openForWriting(const std::string& path) override
    {
        opened.push_back(path);
        if (failOpen)
            throw PlatformError("无法打开文件“" + path + "”", "拒绝访问（模拟）");
        step("write " + path);
        files[path].clear();
        return std::make_unique<File>(*this, path);
    }

    std::unique_ptr<ByteFile> openForAppending(const std::string& path) override
    {
        opened.push_back(path);
        if (failOpen)
            throw PlatformError("无法打开文件“" + path + "”", "拒绝访问（模拟）");
        step("append " + path);
        files[path];
        return std::make_unique<File>(*this, path);
    }

    std::optional<std::uint64_t> sizeOf(const std::string& path) override
    {
        const auto it = files.find(path);
        return it == files.end() ? std::nullopt : std::optional<std::uint64_t>(it->second.size());
    }

    void remove(const std::string& path) override
    {
        if (files.count(path))
            step("remove " + path);
        files.erase(path);
    }

    void replace(const std::string& from, const std::string& to) override
    {
        const auto it = files.find(from);
        if (failReplace || it == files.end())
            throw PlatformError("无法用“" + from + "”替换“" + to + "”", "拒绝访问（模拟）");
        step("replace " + from + " " + to);
        files[to] = std::move(it->second);
        files.erase(it);
        replaced.emplace_back(from, to);
    }
    std::vector<std::pair<std::string, std::string>> replaced;
    bool failReplace = false;

    std::unique_ptr<FileContents> openForReading(const std::string& path) override
    {
        const auto it = files.find(path);
        if (failRead || it == files.end())
            throw PlatformError("无法打开文件“" + path + "”", "找不到文件（模拟）");
        readPaths.push_back(path);
        return std::make_unique<Contents>(it->second);
    }
    std::vector<std::string> readPaths;
    bool failRead = false;

    std::unique_ptr<FileLock> lockFile(const std::string& path) override
    {
        if (!locks.insert(path).second)
            return nullptr;
        return std::make_unique<Lock>(*this, path);
    }

private:
    void step(std::string what)
    {
        steps.push_back(std::move(what));
        if (static_cast<int>(steps.size()) == killAtStep)
            throw Killed{};
    }

    class Lock final : public FileLock {
    public:
        Lock(FakeFileSystem& fs, std::string path) : fs_(fs), path_(std::move(path)) {}
        ~Lock() override { fs_.locks.erase(path_); }

    private:
        FakeFileSystem& fs_;
        std::string path_;
    };

    // A copy: what the reader sees does not change under it.
    class Contents final : public FileContents {
    public:
        explicit Contents(std::string bytes) : bytes_(std::move(bytes)) {}
        std::string_view bytes() const override { return bytes_; }

    private:
        std::string bytes_;
    };

    class File final : public ByteFile {
    public:
        File(FakeFileSystem& fs, std::string path) : fs_(fs), path_(std::move(path)) { ++fs_.open_; }
        ~File() override
        {
            if (!closed_)
                --fs_.open_;
        }

        void write(const char* data, std::size_t size) override
        {
            if (closed_)
                throw PlatformError("写入文件“" + path_ + "”失败", "文件已关闭（模拟）");
            if (++fs_.writes_ == fs_.failWriteNumber)
                throw PlatformError("写入文件“" + path_ + "”失败", "磁盘已满（模拟）");
            fs_.step("put " + path_);
            fs_.files[path_].append(data, size);
        }

        void flush() override
        {
            ++fs_.flushes_;
            if (fs_.failFlush)
                throw PlatformError("写入文件“" + path_ + "”失败", "磁盘已满（模拟）");
        }

        void close() override
        {
            if (closed_)
                return;
            fs_.step("close " + path_);
            closed_ = true;
            --fs_.open_;
            ++fs_.closed_;
            if (fs_.failClose)
                throw PlatformError("关闭文件“" + path_ + "”失败", "数据未能写入（模拟）");
        }

    private:
        FakeFileSystem& fs_;
        std::string path_;
        bool closed_ = false;
    };

    int open_ = 0;
    int closed_ = 0;
    int writes_ = 0;
    int flushes_ = 0;
};

}  // namespace velmora
