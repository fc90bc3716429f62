// What the failure dialog says when failures pile up.
#include <gtest/gtest.h>

#include "base/failure_digest.h"

namespace velmora {
namespace {

int occurrences(const std::string& text, const std::string& part)
{
    int n = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

TEST(FailureDigestTest, OneFailureNamesTheActionAndTheReason)
{
    FailureDigest digest;
    digest.add("检查更新", "获取更新通知失败：Couldn't connect to server");
    EXPECT_EQ(digest.text(),
              "「检查更新」未能完成：\n获取更新通知失败：Couldn't connect to server\n\n程序将继续运行。");
}

TEST(FailureDigestTest, RepeatsAreCountedNotListedAgainAndMoveToTheEnd)
{
    FailureDigest digest;
    digest.add("下载", "磁盘已满");
    digest.add("检查更新", "超时");
    for (int i = 0; i < 99; ++i)
        digest.add("下载", "磁盘已满");
    const std::string text = digest.text();
    EXPECT_EQ(occurrences(text, "磁盘已满"), 1);
    EXPECT_NE(text.find("磁盘已满（共 100 次）"), std::string::npos);
    EXPECT_LT(text.find("超时"), text.find("磁盘已满"));
}

TEST(FailureDigestTest, ManyDistinctFailuresListTheNewestAndCountTheRest)
{
    FailureDigest digest;
    for (int i = 1; i <= 8; ++i)
        digest.add("动作", "原因" + std::to_string(i));
    const std::string text = digest.text();
    EXPECT_EQ(text.find("原因3\n"), std::string::npos);
    for (int i = 4; i <= 8; ++i)
        EXPECT_NE(text.find("原因" + std::to_string(i) + "\n"), std::string::npos) << i;
    EXPECT_NE(text.find("另有 3 个较早的错误未列出。"), std::string::npos);
    digest.clear();
    EXPECT_TRUE(digest.empty());
}

}  // namespace
}  // namespace velmora
