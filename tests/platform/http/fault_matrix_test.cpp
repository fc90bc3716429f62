// Every way the server or the disk can let the archive download down, through
// Cls_DownLoad on the libcurl backend and the real file system, against the
// loopback server: what the updater window is left showing (and the failure
// dialog, when the download ends in a failure), that the call comes back so
// the program goes on and the same downloader works again, and that the
// archive already at the target survives everything but a whole new one.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "base/failure_digest.h"
#include "tests/platform/http/fault_matrix.h"
#include "platform/system/platform_error.h"
#include "tests/platform/files/private_mounts.h"
#include "tests/support/fake_message_pump.h"
#include "updater/cls_download.h"
#include "updater/status_text.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using loopback::ScriptedReply;
using Codes = std::vector<std::int32_t>;

// What stands at the target before every download.
const std::string kGoodArchive = "PK\x03\x04 the release that works " + std::string(4000, 'g');

enum class Target {
    Archive,         // a good archive in an ordinary folder
    ReadOnlyFolder,  // the archive's folder is on a read-only file system
    Directory,       // the target path is a folder (with a file in it)
    FullDisk,        // the archive's folder is on a 64 KiB file system
};
enum class Ends { Returns, DownloadError, PlatformError };

struct DownloadRow {
    const char* name;
    std::optional<ScriptedReply> reply;  // nothing: no server listens
    Target target;
    Codes statuses;
    Ends ends;
    DownloadOutcome outcome;  // when it returns
    std::int32_t result;      // when it returns
    const char* caption;      // the status label afterwards
    std::string error = {};   // what() of the failure ({part}, {target}: the paths)
    std::optional<std::string> targetAfter = {};  // nothing: the good archive, untouched
    std::uint64_t releaseHoldAt = 0;         // bytes after which a held reply goes on
    std::chrono::milliseconds stall{0};      // the backend's stall limit, if not its own
    const char* address = nullptr;           // the archive's address, if not the server's
    std::string message = {};  // the failure dialog's words for the failure ({part}: the path)
    std::string details = {};  // what its details button holds
};

void PrintTo(const DownloadRow& row, std::ostream* os) { *os << row.name; }

const std::string kBody = patternBytes(0, 20000);
const std::string kBigBody = patternBytes(0, 256 * 1024);
// Less than the file's 64 KiB buffer, more than the 64 KiB disk has room for
// beside the good archive.
const std::string kBufferedBody = patternBytes(0, 62 * 1024);
const Codes kRefused = {1, 2, 8, 6};
const Codes kReadToEnd = {1, 2, 3, 4, 9, 6};

std::string replaced(std::string text, const std::string& from, const std::string& to)
{
    if (const auto at = text.find(from); at != std::string::npos)
        text.replace(at, from.size(), to);
    return text;
}

class DownloadFaultTest : public ::testing::TestWithParam<DownloadRow> {
protected:
    void SetUp() override
    {
        folder_ = makeScratchFolder("velmora-fault-matrix-");
        // Mounts first: a private mount namespace needs a single thread.
        const Target kind = GetParam().target;
        if (kind == Target::ReadOnlyFolder || kind == Target::FullDisk) {
            if (const std::string reason = enterPrivateMountNamespace(); !reason.empty())
                GTEST_SKIP() << "this system lets the test mount no file system of its own: " << reason;
        }
        target_ = prepareTarget(kind);
        if (GetParam().reply) {
            server_.emplace();
            server_->script("/velmora.zip", *GetParam().reply);
        }
    }

    void TearDown() override
    {
        server_.reset();
        for (const fs::path& mount : mounts_)
            unmount(mount);
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }

    fs::path prepareTarget(Target kind)
    {
        const fs::path target = folder_ / "Velmora1.0.zip";
        switch (kind) {
        case Target::Archive:
            writeFile(target, kGoodArchive);
            return target;
        case Target::Directory:
            fs::create_directory(target);
            writeFile(target / "keep.txt", kGoodArchive);
            return target;
        case Target::ReadOnlyFolder:
        case Target::FullDisk:
            break;
        }
        const fs::path mount = folder_ / "mounted";
        fs::create_directory(mount);
        mountTmpfs(mount, 64 * 1024);
        mounts_.push_back(mount);
        writeFile(mount / target.filename(), kGoodArchive);
        if (kind == Target::ReadOnlyFolder)
            remountReadOnly(mount);
        return mount / target.filename();
    }

    std::string url() const
    {
        if (GetParam().address)
            return GetParam().address;
        return server_ ? server_->url("/velmora.zip") : "http://127.0.0.1:" + std::to_string(closedPort()) + "/velmora.zip";
    }

    std::optional<loopback::LoopbackServer> server_;
    fs::path folder_;
    fs::path target_;
    std::vector<fs::path> mounts_;
};

TEST_P(DownloadFaultTest, ShowsWhatHappenedKeepsRunningAndKeepsTheGoodArchive)
{
    const DownloadRow& row = GetParam();
    TransferLimits limits = kDownloadLimits;
    if (row.stall.count() > 0)
        limits.stall = row.stall;
    const auto internet = createInternet(limits);
    FakeMessagePump pump;
    Cls_DownLoad dl(*internet, systemClock(), pump, localFileSystem());
    Codes statuses;
    dl.entDLFileStatus = [&](std::int32_t& code) { statuses.push_back(code); };
    bool released = false;
    dl.entDLFileDowning = [&](std::string&, std::int32_t& downloaded, std::int32_t&, std::int32_t&) {
        if (row.releaseHoldAt > 0 && !released && static_cast<std::uint64_t>(downloaded) >= row.releaseHoldAt) {
            released = true;
            server_->releaseHeld();
        }
    };

    const auto started = std::chrono::steady_clock::now();
    std::int32_t result = -1;
    std::optional<std::string> error;
    std::optional<Failure> failure;
    Ends ends = Ends::Returns;
    try {
        result = dl.DLFile(url(), target_.string());
    } catch (const DownloadError& e) {
        ends = Ends::DownloadError;
        error = e.what();
        failure = failureOf("下载更新", std::current_exception());
    } catch (const PlatformError& e) {
        ends = Ends::PlatformError;
        error = e.what();
        failure = failureOf("下载更新", std::current_exception());
    }
    EXPECT_LT(std::chrono::steady_clock::now() - started, kCallBound);

    EXPECT_EQ(statuses, row.statuses);
    ASSERT_EQ(ends, row.ends) << error.value_or("");
    ASSERT_FALSE(statuses.empty());
    EXPECT_EQ(statusCaption(statuses.back(), dl.lastOutcome()), row.caption);
    if (ends == Ends::Returns) {
        EXPECT_EQ(result, row.result);
        EXPECT_EQ(dl.lastOutcome(), row.outcome);
    } else {
        const std::string part = partFilePath(target_.string());
        const std::string expected = replaced(replaced(row.error, "{part}", part), "{target}", target_.string());
        EXPECT_EQ(*error, expected);
        // The failure dialog names the command and the failure in the user's
        // words and says the program goes on; the system's own text is
        // behind the details button.
        FailureDigest dialog;
        dialog.add(*failure);
        const std::string message = replaced(replaced(row.message, "{part}", part), "{target}", target_.string());
        EXPECT_EQ(dialog.text(), "「下载更新」未能完成：\n" + message + "\n\n程序将继续运行。");
        EXPECT_EQ(dialog.details().empty(), row.details.empty());
        EXPECT_NE(dialog.details().find(row.details), std::string::npos) << dialog.details();
    }

    if (row.target == Target::Directory)
        EXPECT_EQ(readFile(target_ / "keep.txt"), kGoodArchive);
    else
        EXPECT_EQ(readFile(target_), row.targetAfter.value_or(kGoodArchive));

    // The program goes on: the same downloader fetches a whole archive next.
    loopback::LoopbackServer healthy;
    healthy.script("/velmora.zip", ScriptedReply::response(200, "whole"));
    const fs::path elsewhere = folder_ / "next.zip";
    EXPECT_EQ(dl.DLFile(healthy.url("/velmora.zip"), elsewhere.string()), 5);
    EXPECT_EQ(readFile(elsewhere), "whole");
}

ScriptedReply withLength(const std::string& length, const std::string& body)
{
    return ScriptedReply().send(loopback::responseHead(200, {{"Content-Length", length}}) + body).close();
}

ScriptedReply byteByByte(const std::string& body)
{
    return ScriptedReply()
        .send(loopback::responseHead(200, {{"Content-Length", std::to_string(body.size())}}))
        .sendSpaced(body, std::chrono::milliseconds(5));
}

const std::string kLength = std::to_string(kBody.size());
// What the dialog says for the two disk faults. The byte file reports them
// without their class for now, so the dialog names the failed step only;
// the system's text is behind the details button.
const std::string kFolderMessage = "无法打开文件“{part}.lock”：没有写入权限，请检查文件夹是否允许写入";
const std::string kDiskFullMessage = "写入文件“{part}”失败：磁盘空间不足，请清理磁盘后再试";
const std::string kHead = loopback::responseHead(200, {{"Content-Length", kLength}});

INSTANTIATE_TEST_SUITE_P(
    FaultMatrix, DownloadFaultTest,
    ::testing::Values(
        DownloadRow{"ServerRefuses", std::nullopt, Target::Archive, kRefused, Ends::Returns,
                    DownloadOutcome::RequestFailed, 0, "连接状态： 发送请求失败"},
        DownloadRow{"ResetBeforeHeaders", ScriptedReply().reset(), Target::Archive, kRefused, Ends::Returns,
                    DownloadOutcome::RequestFailed, 0, "连接状态： 发送请求失败"},
        DownloadRow{"ResetMidBody", ScriptedReply().send(kHead + kBody.substr(0, 3000)).hold().reset(),
                    Target::Archive, kReadToEnd, Ends::Returns, DownloadOutcome::CutOff, 3000,
                    "连接状态： 下载被中止", "", std::nullopt, 3000},
        DownloadRow{"StallsThenResumes",
                    ScriptedReply().send(kHead + kBody.substr(0, 3000)).pause(kStall).send(kBody.substr(3000)),
                    Target::Archive, kReadToEnd, Ends::Returns, DownloadOutcome::Complete, 20000,
                    "连接状态： 下载完成", "", kBody},
        DownloadRow{"ByteByByte", byteByByte(kBody.substr(0, 300)), Target::Archive, kReadToEnd, Ends::Returns,
                    DownloadOutcome::Complete, 300, "连接状态： 下载完成", "", kBody.substr(0, 300)},
        DownloadRow{"LengthLongerThanBody", withLength("30000", kBody), Target::Archive, kReadToEnd,
                    Ends::Returns, DownloadOutcome::CutOff, 20000, "连接状态： 下载被中止"},
        // The length is all the client can know: the bytes past it are not the body.
        DownloadRow{"LengthShorterThanBody", withLength("10000", kBody), Target::Archive, kReadToEnd,
                    Ends::Returns, DownloadOutcome::Complete, 10000, "连接状态： 下载完成", "",
                    kBody.substr(0, 10000)},
        DownloadRow{"LengthNotANumber", withLength("zwei", kBody), Target::Archive, kRefused, Ends::Returns,
                    DownloadOutcome::RequestFailed, 0, "连接状态： 发送请求失败"},
        DownloadRow{.name = "LengthBeyond32Bits", .reply = withLength("4294967296", kBody), .target = Target::Archive,
                    .statuses = {1, 2, 3}, .ends = Ends::DownloadError, .outcome = DownloadOutcome::None, .result = 0,
                    .caption = "连接状态： 获取远程文件信息...",
                    .error = "远程文件的长度（4294967296 字节）超出了下载器能处理的 2147483647 字节",
                    .message = "远程文件的长度（4294967296 字节）超出了下载器能处理的 2147483647 字节"},
        DownloadRow{"RedirectLoop", ScriptedReply::redirect(302, "/velmora.zip"), Target::Archive, kRefused,
                    Ends::Returns, DownloadOutcome::RequestFailed, 0, "连接状态： 发送请求失败"},
        DownloadRow{"RedirectToAnotherScheme", ScriptedReply::redirect(302, "file:///etc/passwd"), Target::Archive,
                    kRefused, Ends::Returns, DownloadOutcome::RequestFailed, 0, "连接状态： 发送请求失败"},
        DownloadRow{"NotFound", ScriptedReply::error(404), Target::Archive, kRefused, Ends::Returns,
                    DownloadOutcome::RequestFailed, 0, "连接状态： 发送请求失败"},
        DownloadRow{.name = "HostNotFound", .reply = std::nullopt, .target = Target::Archive, .statuses = kRefused,
                    .ends = Ends::Returns, .outcome = DownloadOutcome::RequestFailed, .result = 0,
                    .caption = "连接状态： 发送请求失败", .address = "http://velmora.invalid/velmora.zip"},
        // No byte for the stall limit (a short one here) ends the download
        // as a cut-off, where it would otherwise wait for ever.
        DownloadRow{.name = "StallsForGood",
                    .reply = ScriptedReply().send(kHead + kBody.substr(0, 3000)).pause(std::chrono::minutes(5)),
                    .target = Target::Archive, .statuses = kReadToEnd, .ends = Ends::Returns,
                    .outcome = DownloadOutcome::CutOff, .result = 3000, .caption = "连接状态： 下载被中止",
                    .stall = std::chrono::seconds(1)},
        DownloadRow{.name = "StallsBeforeTheHeaders", .reply = ScriptedReply().pause(std::chrono::minutes(5)),
                    .target = Target::Archive, .statuses = kRefused, .ends = Ends::Returns,
                    .outcome = DownloadOutcome::RequestFailed, .result = 0, .caption = "连接状态： 发送请求失败",
                    .stall = std::chrono::seconds(1)},
        // The part's lock beside it is the first file the download makes.
        DownloadRow{.name = "FolderCannotBeWritten", .reply = ScriptedReply::response(200, kBody),
                    .target = Target::ReadOnlyFolder, .statuses = {1, 2}, .ends = Ends::PlatformError,
                    .outcome = DownloadOutcome::None, .result = 0, .caption = "连接状态： 发送请求...",
                    .error = "无法打开文件“{part}.lock”：Read-only file system",
                    .message = kFolderMessage, .details = "Read-only file system"},
        DownloadRow{.name = "TargetIsADirectory", .reply = ScriptedReply::response(200, kBody),
                    .target = Target::Directory, .statuses = {1, 2, 3, 4, 9}, .ends = Ends::PlatformError,
                    .outcome = DownloadOutcome::Complete, .result = 0, .caption = "连接状态： 连接服务器",
                    .error = "无法用“{part}”替换“{target}”：Is a directory",
                    .message = "无法用“{part}”替换“{target}”", .details = "Is a directory"},
        // The disk fills while the file hands over a full buffer, in the
        // middle of the body.
        DownloadRow{.name = "DiskFull", .reply = ScriptedReply::response(200, kBigBody), .target = Target::FullDisk,
                    .statuses = {1, 2, 3, 4}, .ends = Ends::PlatformError, .outcome = DownloadOutcome::None,
                    .result = 0, .caption = "连接状态： 下载数据...",
                    .error = "写入文件“{part}”失败：No space left on device",
                    .message = kDiskFullMessage, .details = "No space left on device"},
        // The whole body fits the file's buffer but not the disk: the disk
        // fills when the last bytes are handed over, before the end of the
        // body is reported.
        DownloadRow{.name = "DiskFillsAtTheLastFlush", .reply = ScriptedReply::response(200, kBufferedBody),
                    .target = Target::FullDisk, .statuses = {1, 2, 3, 4}, .ends = Ends::PlatformError,
                    .outcome = DownloadOutcome::None, .result = 0, .caption = "连接状态： 下载数据...",
                    .error = "写入文件“{part}”失败：No space left on device",
                    .message = kDiskFullMessage, .details = "No space left on device"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace velmora
