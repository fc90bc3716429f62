// The notice fetch on WinINet against the loopback server: the document's
// text as on every platform, and WinINet's or our reason when none comes.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <string>
#include <vector>

#include "platform/system/platform_error.h"
#include "platform/http/transfer_control.h"
#include "tests/support/platform_capabilities.h"
#include "tools/loopback_server/loopback_server.h"

namespace velmora {
namespace {

using loopback::LoopbackServer;
using loopback::ScriptedReply;

const std::string gbkMarker = "\xD3\xD0\xB8\xFC\xD0\xC2";
const std::string utf8Marker = "有更新";

class TransferControlWinInetTest : public ::testing::Test {
protected:
    LoopbackServer server;
    std::unique_ptr<TransferControl> control = createTransferControl();
};

TEST_F(TransferControlWinInetTest, DecodesTheNoticeAsItComes)
{
    struct Case {
        std::string path;
        ScriptedReply reply;
        std::string text;
    };
    const std::vector<Case> cases = {
        {"/gbk", ScriptedReply::response(200, gbkMarker), utf8Marker},
        {"/utf8", ScriptedReply::response(200, utf8Marker), utf8Marker},
        {"/bom", ScriptedReply::response(200, "\xEF\xBB\xBF" + utf8Marker), utf8Marker},
        {"/gbk-crlf", ScriptedReply::response(200, gbkMarker + "\r\n"), utf8Marker + "\r\n"},
        {"/chunked", ScriptedReply::chunked(200, {"\xD3\xD0", "\xB8\xFC\xD0\xC2"}), utf8Marker},
        {"/close-delimited", ScriptedReply::closeDelimited(200, gbkMarker), utf8Marker},
        {"/empty", ScriptedReply::response(200, ""), ""},
        {"/moved", ScriptedReply::redirect(302, "/gbk"), utf8Marker},
        // An error status comes with a page, which is the document all the same.
        {"/404", ScriptedReply::response(404, "<html>404</html>"), "<html>404</html>"},
        {"/500-marker", ScriptedReply::response(500, gbkMarker), utf8Marker},
        {"/oversize", ScriptedReply::response(200, std::string(64 * 1024 + 100, 'a')), std::string(64 * 1024, 'a')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        server.script(c.path, c.reply);
        EXPECT_EQ(control->OpenURL(server.url(c.path)), c.text);
    }
    const auto request = server.waitForRequest("/gbk", std::chrono::seconds(5));
    ASSERT_TRUE(request.has_value());
    EXPECT_EQ(request->header("User-Agent"), "VB Http");
}

TEST_F(TransferControlWinInetTest, FailsWithTheReasonWhenNoDocumentComes)
{
    const std::uint16_t closedPort = [] {
        LoopbackServer gone;
        return gone.port();
    }();
    server.script("/to-file", ScriptedReply::redirect(302, "file:///C:/windows/win.ini"));
    server.script("/short", ScriptedReply().send(loopback::responseHead(200, {{"Content-Length", "10"}}) + "abc").close());
    struct Case {
        std::string url;
        std::string reasonPart;
        FailureClass failureClass;
    };
    const std::vector<Case> cases = {
        {server.url("/to-file"), "http", FailureClass::BadResponse},
        {server.url("/short"), "收到 3 字节，应为 10 字节", FailureClass::CutOff},
        {"http://127.0.0.1:" + std::to_string(closedPort) + "/update/velmora1.0.txt", "12029",
         FailureClass::NoConnection},
        {"file:///C:/windows/win.ini", "http", FailureClass::BadAddress},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        try {
            control->OpenURL(c.url);
            ADD_FAILURE() << "no failure reported";
        } catch (const PlatformError& error) {
            EXPECT_EQ(error.action(), "获取更新通知失败");
            EXPECT_NE(error.reason().find(c.reasonPart), std::string::npos) << error.reason();
            EXPECT_EQ(error.failureClass(), c.failureClass) << error.reason();
        }
    }
}

// The user's proxy settings, ProxyEnable and ProxyServer under HKCU's
// Internet Settings, as a test sets them for its requests; put back as they
// stood when it ends, whichever way it ends.
class SystemProxySettings {
public:
    SystemProxySettings()
    {
        for (Saved& value : saved_) {
            DWORD size = 0;
            value.found = ::RegGetValueW(HKEY_CURRENT_USER, kKey, value.name, RRF_RT_ANY, nullptr, nullptr, &size);
            value.bytes.resize(size);
            if (value.found == ERROR_SUCCESS)
                value.found = ::RegGetValueW(HKEY_CURRENT_USER, kKey, value.name, RRF_RT_ANY, &value.type,
                                             value.bytes.data(), &size);
        }
    }
    ~SystemProxySettings()
    {
        for (const Saved& value : saved_)
            value.found == ERROR_SUCCESS ? ::RegSetKeyValueW(HKEY_CURRENT_USER, kKey, value.name, value.type,
                                                             value.bytes.data(), static_cast<DWORD>(value.bytes.size()))
                                         : ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, value.name);
    }
    SystemProxySettings(const SystemProxySettings&) = delete;
    SystemProxySettings& operator=(const SystemProxySettings&) = delete;

    void useProxy(const std::string& server)
    {
        const DWORD enable = 1;
        const std::wstring text(server.begin(), server.end());
        ::RegSetKeyValueW(HKEY_CURRENT_USER, kKey, L"ProxyEnable", REG_DWORD, &enable, sizeof enable);
        ::RegSetKeyValueW(HKEY_CURRENT_USER, kKey, L"ProxyServer", REG_SZ, text.c_str(),
                          static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }

private:
    static constexpr const wchar_t* kKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
    struct Saved {
        const wchar_t* name;
        LSTATUS found = ERROR_FILE_NOT_FOUND;
        DWORD type = REG_NONE;
        std::vector<BYTE> bytes = {};
    };
    std::array<Saved, 2> saved_{Saved{L"ProxyEnable"}, Saved{L"ProxyServer"}};
};

// A proxy the system names that cannot be reached is named, not the site.
TEST_F(TransferControlWinInetTest, AProxyThatCannotBeReachedIsNamed)
{
    const std::string proxy = "127.0.0.1:" + std::to_string(LoopbackServer().port());
    SystemProxySettings settings;
    settings.useProxy(proxy);
    try {
        createTransferControl()->OpenURL("http://velmora.invalid/update/velmora1.0.txt");
        ADD_FAILURE() << "no failure reported";
    } catch (const PlatformError& error) {
        EXPECT_EQ(error.failureClass(), FailureClass::ProxyUnreachable) << error.reason();
        EXPECT_EQ(error.reason().rfind("无法连接到代理服务器 " + proxy + "：", 0), 0u) << error.reason();
    }
}

// How long a fetch of url took to fail; a failure other than a time-out, or
// none, fails the test.
std::chrono::steady_clock::duration timeToTimeOut(TransferControl& control, const std::string& url)
{
    const auto started = std::chrono::steady_clock::now();
    try {
        control.OpenURL(url);
        ADD_FAILURE() << "no failure reported";
    } catch (const PlatformError& error) {
        EXPECT_EQ(error.failureClass(), FailureClass::TimedOut) << error.reason();
    }
    return std::chrono::steady_clock::now() - started;
}

// A site that accepts the connection and then says nothing, or stops in the
// middle, or trickles: WinINet's own time-outs, as the fetch sets them (short
// ones here), end the fetch.
TEST_F(TransferControlWinInetTest, GivesUpOnASilentSiteWithinItsLimits)
{
    using namespace std::chrono_literals;
    if (!velmora::test::endsStalledHttpReads())
        GTEST_SKIP() << "this system's WinINet never ends a stalled read";
    const TransferLimits limits{1s, 1s, 3s};
    const auto limited = createTransferControl(limits);
    std::string trickle = loopback::responseHead(200, {{"Content-Length", "40"}});
    const ScriptedReply trickling = ScriptedReply().send(trickle).sendSpaced(std::string(40, 'x'), 200ms);
    server.script("/silent", ScriptedReply().pause(std::chrono::minutes(5)));
    server.script("/silent-body",
                  ScriptedReply().send(loopback::responseHead(200, {{"Content-Length", "6"}}) + "abc").pause(5min));
    server.script("/trickle", trickling);
    for (const char* path : {"/silent", "/silent-body", "/trickle"}) {
        SCOPED_TRACE(path);
        EXPECT_LT(timeToTimeOut(*limited, server.url(path)), 6s);
    }
}

// Before the first byte of the body, where WinINet's limits are per step:
// redirect hops that each answer late, and a head that comes a byte at a
// time. Neither passes a step's limit; the whole limit ends the fetch.
TEST_F(TransferControlWinInetTest, TheWholeLimitHoldsBeforeTheBody)
{
    using namespace std::chrono_literals;
    const auto limited = createTransferControl(TransferLimits{1s, 1s, 3s});
    server.script("/hop", ScriptedReply()
                              .pause(700ms)
                              .send(loopback::responseHead(302, {{"Location", "/hop"}, {"Content-Length", "0"}}))
                              .close());
    server.script("/trickled-head", ScriptedReply()
                                        .sendSpaced(loopback::responseHead(200, {{"Content-Length", "6"}}), 200ms)
                                        .send(gbkMarker));
    for (const char* path : {"/hop", "/trickled-head"}) {
        SCOPED_TRACE(path);
        const auto took = timeToTimeOut(*limited, server.url(path));
        EXPECT_GE(took, 3s);
        EXPECT_LT(took, 4s);
    }
}

}  // namespace
}  // namespace velmora

