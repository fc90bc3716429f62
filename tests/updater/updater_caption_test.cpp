// What the updater window writes for the downloader's reports: the progress
// lines, the status line, and the archive's path.
#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/files/byte_file.h"
#include "platform/files/program_folder.h"
#include "updater/cls_download.h"
#include "updater/progress_caption.h"
#include "updater/status_text.h"

namespace velmora {
namespace {

std::string lines(const std::string& a, const std::string& b, const std::string& c, const std::string& d)
{
    return a + "\r\n" + b + "\r\n" + c + "\r\n" + d;
}

TEST(ProgressCaption, FourLinesOfPercentLengthBytesAndSpeed)
{
    const struct {
        std::int32_t downloaded, filesize, speed;
        std::string caption;
    } cases[] = {
        {512, 1000, 1025,
         lines("下载进度： 51.0 %", "软件大小： 0.9765625", "下载大小： 0.5", "下载速度： 1.0009765625")},
        {512, 4096, 512, lines("下载进度： 12.0 %", "软件大小： 4", "下载大小： 0.5", "下载速度： 0.5")},
        {1536, 4096, 2048, lines("下载进度： 38.0 %", "软件大小： 4", "下载大小： 1.5", "下载速度： 2")},
        {1000, 0, 1000, lines("下载进度： 0.0 %", "软件大小： 0", "下载大小： 0.9765625", "下载速度： 0.9765625")},
        {7, 0, 0, lines("下载进度： 0.0 %", "软件大小： 0", "下载大小： 0.0068359375", "下载速度： 0.009765625")},
        {1, 1, 1, lines("下载进度： 100.0 %", "软件大小： 0.0009765625", "下载大小： 0.0009765625",
                        "下载速度： 0.0009765625")},
        {2000, 1000, 1025, lines("下载进度： 200.0 %", "软件大小： 0.9765625", "下载大小： 1.953125",
                                 "下载速度： 1.0009765625")},
        {2147483647, 2147483647, 2147483647,
         lines("下载进度： 100.0 %", "软件大小： 2097151.99902344", "下载大小： 2097151.99902344",
               "下载速度： 2097151.99902344")},
        {1048576, 104857600, 1048576,
         lines("下载进度： 1.0 %", "软件大小： 102400", "下载大小： 1024", "下载速度： 1024")},
    };
    // The window writes every caption over the one before.
    std::string reused = "left over from an earlier block, longer than any caption: " + std::string(200, 'x');
    for (const auto& c : cases) {
        EXPECT_EQ(progressCaption(c.downloaded, c.filesize, c.speed), c.caption)
            << c.downloaded << " of " << c.filesize << " at " << c.speed;
        writeProgressCaption(reused, c.downloaded, c.filesize, c.speed);
        EXPECT_EQ(reused, c.caption);
    }
}

TEST(ProgressCaption, PercentRoundsHalvesToEvenAndIsZeroWithoutLength)
{
    const struct {
        std::int32_t downloaded, filesize;
        std::int64_t percent;
    } cases[] = {
        {512, 1000, 51},  {512, 4096, 12},  {1536, 4096, 38}, {2560, 4096, 62}, {3584, 4096, 88},
        {1, 3, 33},       {2, 3, 67},       {1, 200, 0},      {3, 200, 2},      {5, 1000, 0},
        {1000, 1000, 100}, {0, 1000, 0},    {1000, 0, 0},     {1000, -5, 0},    {2147483647, 1, 214748364700},
    };
    for (const auto& c : cases)
        EXPECT_EQ(progressPercent(c.downloaded, c.filesize), c.percent) << c.downloaded << " of " << c.filesize;
}

TEST(ProgressCaption, OnlyAZeroSpeedIsShownAsTen)
{
    const struct {
        std::int32_t speed, shown;
    } cases[] = {{0, 10}, {1, 1}, {10, 10}, {1025, 1025}, {-1, -1}};
    for (const auto& c : cases)
        EXPECT_EQ(shownSpeed(c.speed), c.shown) << c.speed;
}

// Every count a notification can carry, divided by 1024, comes out plain:
// no exponent, no trailing zero, and back to the same value when read.
TEST(PlainNumber, KibibytesOfEvery32BitCountArePlainDecimals)
{
    std::vector<std::int64_t> counts;
    for (std::int64_t n = 1; n <= 20000; ++n)
        counts.push_back(n);
    for (std::int64_t n = 20000; n <= 2147483647; n = n * 17 / 16 + 1)
        counts.push_back(n);
    for (std::int64_t n = 2147483647 - 3000; n <= 2147483647; ++n)
        counts.push_back(n);
    for (const std::int64_t n : counts) {
        const double value = static_cast<double>(n) / 1024;
        const std::string text = plainNumber(value);
        ASSERT_EQ(text.find_first_not_of("0123456789."), std::string::npos) << n << ": " << text;
        if (text.find('.') != std::string::npos) {
            ASSERT_NE(text.back(), '0') << n << ": " << text;
        }
        double back = 0;
        std::from_chars(text.data(), text.data() + text.size(), back);
        ASSERT_LE(std::fabs(back - value), value * 1e-14) << n << ": " << text;
    }
}

TEST(PlainNumber, FifteenSignificantDigitsAtMost)
{
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {0, "0"},          {2, "2"},           {1.5, "1.5"},        {100, "100"},
        {0.0009765625, "0.0009765625"},        {1.0009765625, "1.0009765625"},
        {1.0 / 3, "0.333333333333333"},        {2097151.9990234375, "2097151.99902344"},
        {123456789012345.0, "123456789012345"}, {-0.5, "-0.5"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(plainNumber(c.value), c.text) << c.value;
}

TEST(StatusCaption, EachCodeHasItsTextAndOthersAreAborted)
{
    const struct {
        std::int32_t code;
        const char* caption;
    } cases[] = {
        {1, "连接状态： 连接服务器..."}, {2, "连接状态： 发送请求..."}, {3, "连接状态： 获取远程文件信息..."},
        {4, "连接状态： 下载数据..."},   {5, "连接状态： 停止下载"},    {7, "连接状态： 连接服务器失败"},
        {8, "连接状态： 发送请求失败"},  {9, "连接状态： 连接服务器"},  {0, "连接状态： 下载被中止"},
        {10, "连接状态： 下载被中止"},   {-1, "连接状态： 下载被中止"}, {2147483647, "连接状态： 下载被中止"},
    };
    for (const auto& c : cases)
        for (const DownloadOutcome outcome : {DownloadOutcome::None, DownloadOutcome::Complete, DownloadOutcome::CutOff,
                                              DownloadOutcome::SignatureRejected})
            EXPECT_EQ(statusCaption(c.code, outcome), c.caption) << c.code;
}

TEST(StatusCaption, FinishingSaysCompleteOnlyForAWholeBody)
{
    // The user's folder is named only where an archive now stands in it.
    const std::string_view saved = "~/.local/share/velmora";
    const struct {
        DownloadOutcome outcome;
        std::string_view savedIn;
        const char* caption;
        std::int32_t keptBytes = 0;  // a download that went on names them only while it runs
    } cases[] = {
        {DownloadOutcome::Complete, "", "连接状态： 下载完成"},
        {DownloadOutcome::Complete, saved, "连接状态： 下载完成，保存在 ~/.local/share/velmora"},
        {DownloadOutcome::Stopped, saved, "连接状态： 停止下载"},
        {DownloadOutcome::RequestFailed, saved, "连接状态： 发送请求失败"},
        {DownloadOutcome::CutOff, saved, "连接状态： 下载被中止"},
        {DownloadOutcome::ConnectFailed, "", "连接状态： 连接服务器失败"},
        {DownloadOutcome::None, "", "连接状态： 下载被中止"},
        {DownloadOutcome::SignatureRejected, saved, "连接状态： 校验失败：文件未通过签名验证，未替换原文件"},
        {DownloadOutcome::TargetBusy, "", "连接状态： 另一个窗口正在下载这个更新，请等它完成后再试"},
        {DownloadOutcome::Complete, saved, "连接状态： 下载完成，保存在 ~/.local/share/velmora", 4096},
        {DownloadOutcome::Stopped, "", "连接状态： 停止下载", 4096},
    };
    for (const auto& c : cases)
        EXPECT_EQ(statusCaption(kStatusFinished, c.outcome, c.savedIn, c.keptBytes), c.caption)
            << static_cast<int>(c.outcome);
    EXPECT_EQ(statusCaption(kStatusEndOfData, DownloadOutcome::Complete, saved), "连接状态： 连接服务器");
}

TEST(JoinPath, OneSeparatorBetweenFolderAndName)
{
    const struct {
        std::string folder, path;
    } cases[] = {
        {"/opt/velmora", "/opt/velmora/Velmora1.0.zip"},
        {"/", "/Velmora1.0.zip"},
        {"/home/用户/程序", "/home/用户/程序/Velmora1.0.zip"},
        {"relative", "relative/Velmora1.0.zip"},
    };
    // The table is written with '/'; the platform's own separator stands in.
    const auto native = [](std::string text) {
        std::replace(text.begin(), text.end(), '/', kPathSeparator);
        return text;
    };
    for (const auto& c : cases)
        EXPECT_EQ(joinPath(native(c.folder), "Velmora1.0.zip"), native(c.path)) << c.folder;
}

}  // namespace
}  // namespace velmora
