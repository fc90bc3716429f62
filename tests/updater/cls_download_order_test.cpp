// When the downloader does each thing, relative to what it reports: handles
// released before the final status, bytes in the file before their progress
// notification, a stop asked for while idle still reporting its one block,
// and the 32-bit count at its exact edge.
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>

#include <gtest/gtest.h>

#include "tests/updater/download_fixture.h"
#include "updater/download_error.h"

namespace velmora {
namespace {

TEST_F(DownloadFixture, ARefusedAddressReleasesBothHandlesBeforeFinishing)
{
    serve({true, "100", {}});
    std::vector<std::size_t> openAtStatus;
    dl.entDLFileStatus = [&](std::int32_t& code) {
        statuses.push_back(code);
        openAtStatus.push_back(internet.openHandleCount());
    };
    EXPECT_EQ(run(), 0);
    ASSERT_EQ(statuses, (std::vector<std::int32_t>{1, 2, 8, 6}));
    EXPECT_EQ(openAtStatus.back(), 0u) << "a handle was still open at status 6";
}

TEST_F(DownloadFixture, EachBlockIsInTheFileBeforeItsProgressIsReported)
{
    serve({false, "1300", {FakeRead::block(512), FakeRead::block(512), FakeRead::block(276)}});
    std::vector<std::pair<std::int32_t, std::size_t>> seen;  // count reported, bytes in the file then
    dl.entDLFileDowning = [&](std::string&, std::int32_t& downloaded, std::int32_t&, std::int32_t&) {
        seen.emplace_back(downloaded, fileAt(kPart).value_or("").size());
    };
    EXPECT_EQ(run(), 1300);
    EXPECT_EQ(seen, (std::vector<std::pair<std::int32_t, std::size_t>>{{512, 512}, {1024, 1024}, {1300, 1300}}));
}

TEST_F(DownloadFixture, AStopAskedForWhileIdleEndsTheNextDownloadAfterOneReportedBlock)
{
    serve({false, "2048", {FakeRead::block(2048)}});
    dl.DLFileStop();
    EXPECT_EQ(run(), 512);
    EXPECT_EQ(progress.size(), 1u);
    EXPECT_EQ(downloadedCounts(), (std::vector<std::int32_t>{512}));
    EXPECT_EQ(statuses, (std::vector<std::int32_t>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(pump.calls(), 0);
    // The request was used up: the next download runs whole.
    statuses.clear();
    progress.clear();
    EXPECT_EQ(run(), 2048);
    EXPECT_EQ(progress.size(), 4u);
}

// A body of any length, made while it is read, and a disk that only counts:
// enough to walk the count to the edge of 32 bits without holding 2 GB.
class EndlessInternet final : public Internet {
public:
    explicit EndlessInternet(std::int64_t bodySize) : left_(bodySize) {}

    InternetHandle InternetOpen(const std::string&, std::uint32_t, std::uint32_t) override { return 1; }
    InternetHandle InternetOpenUrl(InternetHandle, const std::string&, const std::string&, std::uint32_t,
                                   KeepWaiting) override
    {
        return 2;
    }
    bool HttpQueryInfo(InternetHandle, std::uint32_t, char*, std::uint32_t&, std::uint32_t&) override
    {
        return false;  // no length: the count alone decides
    }
    bool InternetReadFile(InternetHandle, void* buffer, std::uint32_t toRead, std::uint32_t& bytesRead) override
    {
        bytesRead = static_cast<std::uint32_t>(std::min<std::int64_t>(toRead, left_));
        std::memset(buffer, 'v', bytesRead);
        left_ -= bytesRead;
        return true;
    }
    void InternetCloseHandle(InternetHandle) override {}

private:
    std::int64_t left_;
};

class CountingFileSystem final : public FileSystem {
public:
    std::unique_ptr<ByteFile> openForWriting(const std::string&) override { return std::make_unique<File>(*this); }
    std::unique_ptr<ByteFile> openForAppending(const std::string&) override { return std::make_unique<File>(*this); }
    std::optional<std::uint64_t> sizeOf(const std::string&) override { return std::nullopt; }
    void remove(const std::string&) override {}
    void replace(const std::string&, const std::string&) override { replaced = true; }
    std::unique_ptr<FileContents> openForReading(const std::string&) override
    {
        ADD_FAILURE() << "a build without a key reads nothing back";
        return nullptr;
    }
    std::unique_ptr<FileLock> lockFile(const std::string&) override { return std::make_unique<FileLock>(); }

    std::int64_t written = 0;
    bool replaced = false;

private:
    class File final : public ByteFile {
    public:
        explicit File(CountingFileSystem& fs) : fs_(fs) {}
        void write(const char*, std::size_t size) override { fs_.written += static_cast<std::int64_t>(size); }
        void flush() override {}
        void close() override {}

    private:
        CountingFileSystem& fs_;
    };
};

TEST(CountEdge, ABodyOfExactly2147483647BytesIsWholeAndOneByteMoreIsRefused)
{
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    for (const std::int64_t size : {kMax, kMax + 1}) {
        SCOPED_TRACE(size);
        EndlessInternet internet(size);
        FakeClock clock;
        FakeMessagePump pump;
        CountingFileSystem files;
        Cls_DownLoad dl(internet, clock, pump, files);
        if (size == kMax) {
            EXPECT_EQ(dl.DLFile(kUrl, kTarget), kMax);
            EXPECT_EQ(dl.lastOutcome(), DownloadOutcome::Complete);
            EXPECT_TRUE(files.replaced);
        } else {
            EXPECT_THROW(dl.DLFile(kUrl, kTarget), DownloadError);
            EXPECT_FALSE(files.replaced);
        }
        // The file never holds more than the count can say.
        EXPECT_EQ(files.written, size == kMax ? kMax : kMax - kMax % 512);
    }
}

}  // namespace
}  // namespace velmora
