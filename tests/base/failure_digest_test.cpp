// What the failure dialog says: the user's words in the message, the
// libraries' own texts behind the details button, and what happens when
// failures pile up.
#include <gtest/gtest.h>

#include <set>
#include <stdexcept>

#include "base/failure_digest.h"
#include "base/failure_words.h"
#include "platform/system/platform_error.h"
#include "updater/download_error.h"

namespace velmora {
namespace {

int occurrences(const std::string& text, const std::string& part)
{
    int n = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

bool hasLatinLetter(const std::string& text)
{
    for (const char c : text)
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))
            return true;
    return false;
}

const Failure kRefused{"检查更新", "获取更新通知失败", FailureClass::Refused,
                       "Couldn't connect to server（Failed to connect to 127.0.0.1 port 8741 after 8 ms）"};

TEST(FailureDigestTest, TheMessageIsTheUsersWordsAndTheLibrarysTextIsBehindTheDetails)
{
    FailureDigest digest;
    digest.add(kRefused);
    EXPECT_EQ(digest.text(), "「检查更新」未能完成：\n获取更新通知失败：服务器拒绝连接，请检查网络连接或稍后再试\n\n"
                             "程序将继续运行。");
    EXPECT_EQ(digest.details(), "获取更新通知失败：" + kRefused.detail + "\n");
}

TEST(FailureDigestTest, AFailureWithoutClassOrDetailSaysWhatFailedAndHasNoDetails)
{
    FailureDigest digest;
    digest.add({"下载更新", "已有一个下载正在进行，请等它结束后再开始下载", FailureClass::Unclassified, ""});
    EXPECT_EQ(digest.text(), "「下载更新」未能完成：\n已有一个下载正在进行，请等它结束后再开始下载\n\n程序将继续运行。");
    EXPECT_EQ(digest.details(), "");
}

TEST(FailureDigestTest, EveryClassHasChineseWordsForTheUserAndNoTwoClassesShareThem)
{
    const FailureClass classes[] = {
        FailureClass::NoConnection, FailureClass::HostNotFound, FailureClass::TimedOut,
        FailureClass::Refused,      FailureClass::Reset,        FailureClass::CutOff,
        FailureClass::BadResponse,  FailureClass::HttpError,    FailureClass::BadAddress,
        FailureClass::DiskFull,     FailureClass::NoWritePermission, FailureClass::ProxyUnreachable,
    };
    std::set<std::string_view> seen;
    for (const FailureClass c : classes) {
        const std::string_view words = failureWords(c);
        SCOPED_TRACE(std::string(words));
        EXPECT_FALSE(words.empty());
        EXPECT_FALSE(hasLatinLetter(std::string(words)));
        EXPECT_TRUE(seen.insert(words).second) << "two classes read the same";
    }
    EXPECT_EQ(failureWords(FailureClass::NoConnection), "无法连接到服务器，请检查网络连接");
    EXPECT_EQ(failureWords(FailureClass::Unclassified), "");
}

TEST(FailureDigestTest, AnExceptionBecomesAFailureByItsKind)
{
    struct Case {
        std::exception_ptr error;
        Failure failure;
    };
    const Case cases[] = {
        {std::make_exception_ptr(PlatformError(FailureClass::DiskFull, "写入文件“a.part”失败", "No space left on device")),
         {"下载更新", "写入文件“a.part”失败", FailureClass::DiskFull, "No space left on device"}},
        {std::make_exception_ptr(PlatformError("无法确定程序所在的文件夹", "readlink /proc/self/exe")),
         {"下载更新", "无法确定程序所在的文件夹", FailureClass::Unclassified, "readlink /proc/self/exe"}},
        {std::make_exception_ptr(DownloadError("下载的数据超过 2147483647 字节，无法继续下载")),
         {"下载更新", "下载的数据超过 2147483647 字节，无法继续下载", FailureClass::Unclassified, ""}},
        // A library's or the language's own failure: its English stays in the details.
        {std::make_exception_ptr(std::logic_error("window kind without a factory")),
         {"下载更新", "程序内部出错", FailureClass::Unclassified, "window kind without a factory"}},
        {std::make_exception_ptr(42), {"下载更新", "程序内部出错", FailureClass::Unclassified, "未知错误"}},
        // A step the user knows by its own name: its action, its cause's parts.
        {std::make_exception_ptr(StepFailure(
             "检查更新", std::make_exception_ptr(PlatformError(FailureClass::TimedOut, "获取更新通知失败", "Timeout")))),
         {"检查更新", "获取更新通知失败", FailureClass::TimedOut, "Timeout"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.failure.attempt);
        EXPECT_EQ(failureOf("下载更新", c.error), c.failure);
        FailureDigest digest;
        digest.add(failureOf("下载更新", c.error));
        if (!c.failure.detail.empty()) {
            EXPECT_EQ(digest.text().find(c.failure.detail), std::string::npos) << digest.text();
        }
    }
}

TEST(FailureDigestTest, RepeatsAreCountedNotListedAgainAndMoveToTheEnd)
{
    const Failure full{"下载", "写入文件失败", FailureClass::DiskFull, "No space left on device"};
    FailureDigest digest;
    digest.add(full);
    digest.add({"检查更新", "获取更新通知失败", FailureClass::TimedOut, "Operation timed out"});
    for (int i = 0; i < 99; ++i)
        digest.add(full);
    const std::string text = digest.text();
    EXPECT_EQ(occurrences(text, "磁盘空间不足"), 1);
    EXPECT_NE(text.find("磁盘空间不足，请清理磁盘后再试（共 100 次）"), std::string::npos);
    EXPECT_LT(text.find("长时间没有响应"), text.find("磁盘空间不足"));
    EXPECT_NE(digest.details().find("No space left on device（共 100 次）"), std::string::npos);
}

TEST(FailureDigestTest, ManyDistinctFailuresListTheNewestAndCountTheRest)
{
    FailureDigest digest;
    for (int i = 1; i <= 8; ++i)
        digest.add({"动作", "原因" + std::to_string(i), FailureClass::Unclassified, "detail " + std::to_string(i)});
    const std::string text = digest.text();
    EXPECT_EQ(text.find("原因3\n"), std::string::npos);
    for (int i = 4; i <= 8; ++i)
        EXPECT_NE(text.find("原因" + std::to_string(i) + "\n"), std::string::npos) << i;
    EXPECT_NE(text.find("另有 3 个较早的错误未列出。"), std::string::npos);
    EXPECT_EQ(digest.details().find("detail 3"), std::string::npos);
    EXPECT_NE(digest.details().find("detail 8"), std::string::npos);
    digest.clear();
    EXPECT_TRUE(digest.empty());
}

}  // namespace
}  // namespace velmora
