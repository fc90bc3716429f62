// The words the browser panes say when a page asks something of them.
#include <clocale>
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "platform/browser/browser_texts.h"

namespace velmora {
namespace {

TEST(PermissionQuestion, NamesTheSiteAndWhatItAsksFor)
{
    const struct {
        PagePermission permission;
        const char* question;
    } cases[] = {
        {PagePermission::Microphone, "网站 127.0.0.1 请求使用您的麦克风。\n是否允许？"},
        {PagePermission::Camera, "网站 127.0.0.1 请求使用您的摄像头。\n是否允许？"},
        {PagePermission::MicrophoneAndCamera, "网站 127.0.0.1 请求使用您的麦克风和摄像头。\n是否允许？"},
        {PagePermission::Notifications, "网站 127.0.0.1 请求向您显示通知。\n是否允许？"},
        {PagePermission::Location, "网站 127.0.0.1 请求获取您的位置信息。\n是否允许？"},
        {PagePermission::MouseLock, "网站 127.0.0.1 请求锁定并隐藏鼠标指针。\n是否允许？"},
        {PagePermission::ScreenShare, "网站 127.0.0.1 请求共享您的屏幕。\n是否允许？"},
        {PagePermission::ScreenShareWithAudio, "网站 127.0.0.1 请求共享您的屏幕和系统声音。\n是否允许？"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(permissionQuestion("127.0.0.1", c.permission), c.question);
}

TEST(ByteSizeText, OneDecimalInTheLargestUnitBelow1024)
{
    const struct {
        std::int64_t bytes;
        const char* text;
    } cases[] = {
        {-1, "0 字节"},
        {0, "0 字节"},
        {1023, "1023 字节"},
        {1024, "1.0 KB"},
        {1536, "1.5 KB"},
        // Just below 1 MB would read "1024.0 KB": it moves up a unit.
        {1048575, "1.0 MB"},
        {1048576, "1.0 MB"},
        {200 * 1024 * 1024 + 512 * 1024, "200.5 MB"},
        {std::int64_t{5} << 30, "5.0 GB"},
        // No unit above GB: large sizes stay in GB.
        {std::int64_t{3000} << 30, "3000.0 GB"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(byteSizeText(c.bytes), c.text) << c.bytes;
}

// The user's own locale may be in effect (a library or a dialog sets it):
// sizes still read "1.5 MB". The test build compiles a German locale of its
// own, found through LOCPATH; Windows names it differently.
TEST(ByteSizeText, KeepsTheDecimalPointUnderALocaleWithADecimalComma)
{
#ifndef _WIN32
    setenv("LOCPATH", VELMORA_TEST_LOCALES, 1);
#endif
    const std::string before = std::setlocale(LC_NUMERIC, nullptr);
    const char* comma = nullptr;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de-DE", "German"})
        if (std::setlocale(LC_NUMERIC, name) && *std::localeconv()->decimal_point == ',') {
            comma = name;
            break;
        }
    if (!comma) {
        std::setlocale(LC_NUMERIC, before.c_str());
        GTEST_SKIP() << "no locale with a decimal comma on this machine";
    }
    EXPECT_EQ(downloadProgressText(1536, 3 << 20), "已下载 1.5 KB，共 3.0 MB（0%）") << comma;
    std::setlocale(LC_NUMERIC, before.c_str());
}

TEST(DownloadProgressText, ShowsTheTotalAndPercentOnlyWhenKnown)
{
    const struct {
        std::int64_t received, total;
        const char* text;
    } cases[] = {
        {0, 0, "已下载 0 字节"},
        {2048, -1, "已下载 2.0 KB"},
        {512, 1024, "已下载 512 字节，共 1.0 KB（50%）"},
        {1023, 1024, "已下载 1023 字节，共 1.0 KB（99%）"},
        // A server that sends more than it announced never reads above 100 %.
        {4096, 1024, "已下载 4.0 KB，共 1.0 KB（100%）"},
        // Percent of a body past 2^31 bytes does not overflow.
        {std::int64_t{3} << 30, std::int64_t{4} << 30, "已下载 3.0 GB，共 4.0 GB（75%）"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(downloadProgressText(c.received, c.total), c.text) << c.received << "/" << c.total;
}

TEST(PageBoxTexts, NameTheSiteTheyComeFrom)
{
    EXPECT_EQ(pageDialogTitle("velmora.cn"), "来自 velmora.cn 的消息");
    EXPECT_EQ(pageNotificationTitle("velmora.cn"), "来自 velmora.cn 的通知");
    EXPECT_EQ(siteSignInText("velmora.cn", ""), "网站 velmora.cn 要求输入用户名和密码。");
    EXPECT_EQ(siteSignInText("velmora.cn", "会员"), "网站 velmora.cn 要求输入用户名和密码。\n网站说明：会员");
    EXPECT_EQ(proxySignInText("proxy:3128"), "代理服务器 proxy:3128 要求输入用户名和密码。");
    EXPECT_EQ(certificateRefusedText("velmora.cn", "证书已过期或尚未生效"),
              "网站 velmora.cn 的安全证书有问题：证书已过期或尚未生效。\n为保护您的信息安全，已拒绝连接此网站。");
    EXPECT_EQ(downloadFailedText("磁盘空间不足"), "下载失败：磁盘空间不足");
}

// The page shown for a renderer that keeps dying: its words, and a link back
// to the lost address, which stays one attribute whatever it holds.
TEST(CrashedPage, SaysWhatHappenedAndLinksBackToThePage)
{
    const struct {
        const char* address;
        const char* link;
    } cases[] = {
        {"http://velmora.cn/tiaozhuan/tv.html", "<a href=\"http://velmora.cn/tiaozhuan/tv.html\">重新加载</a>"},
        {"http://velmora.cn/s?q=\"<b>\"&p=1", "<a href=\"http://velmora.cn/s?q=&quot;&lt;b&gt;&quot;&amp;p=1\">重新加载</a>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.address);
        const std::string html = crashedPageHtml(c.address);
        EXPECT_NE(html.find("<p>此网页无法显示：显示网页的进程意外停止。</p>"), std::string::npos);
        EXPECT_NE(html.find(c.link), std::string::npos) << html;
    }
}

}  // namespace
}  // namespace velmora
