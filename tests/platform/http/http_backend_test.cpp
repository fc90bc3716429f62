// What every HTTP backend of the downloader must do alike, whatever its
// library reports: libcurl and WinINet differ in redirects, partial reads and
// cut-off bodies, and the backends make up the difference.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/platform/http/http_backend_fixture.h"
#include "tests/support/platform_capabilities.h"

namespace velmora {
namespace {

using loopback::LoopbackServer;
using loopback::ScriptedReply;

TEST_F(HttpBackendTest, DeliversTheFinalBodyByteForByte)
{
    const std::string body = patternBytes(0, 3000);
    server.script("/length", ScriptedReply::response(200, body));
    server.script("/chunked", ScriptedReply::chunked(200, {body.substr(0, 700), body.substr(700)}));
    server.script("/close-delimited", ScriptedReply::closeDelimited(200, body));
    server.script("/relative", ScriptedReply::redirect(302, "/length"));
    server.script("/absolute", ScriptedReply::redirect(301, server.url("/length")));
    server.script("/chain", ScriptedReply::redirect(307, "/relative"));
    server.script("/to-chunked", ScriptedReply::redirect(303, "/chunked"));
    struct Case {
        std::string path;
        std::optional<std::string> contentLength;
    };
    const std::vector<Case> cases = {
        {"/length", "3000"},
        {"/chunked", std::nullopt},
        {"/close-delimited", std::nullopt},
        {"/relative", "3000"},
        {"/absolute", "3000"},
        {"/chain", "3000"},
        // The redirect's own length must not stand for the final body's.
        {"/to-chunked", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        expectWholeBody(server.url(c.path), c.contentLength, body);
    }
}

TEST_F(HttpBackendTest, RefusesWhatIsNotASuccessfulHttpResponse)
{
    server.script("/404", ScriptedReply::error(404));
    server.script("/500", ScriptedReply::error(500));
    server.script("/to-404", ScriptedReply::redirect(302, "/404"));
    server.script("/to-file", ScriptedReply::redirect(302, "file:///C:/windows/win.ini"));
    server.script("/to-ftp", ScriptedReply::redirect(302, "ftp://127.0.0.1/velmora.zip"));
    server.script("/loop", ScriptedReply::redirect(302, "/loop"));
    server.script("/reset", ScriptedReply().reset());
    const std::uint16_t closedPort = [] {
        LoopbackServer gone;
        return gone.port();
    }();
    const std::vector<std::string> urls = {
        server.url("/404"),
        server.url("/500"),
        server.url("/to-404"),
        server.url("/to-file"),
        server.url("/to-ftp"),
        server.url("/loop"),
        server.url("/reset"),
        "http://127.0.0.1:" + std::to_string(closedPort) + "/velmora.zip",
        "file:///C:/windows/win.ini",
        "127.0.0.1:" + std::to_string(server.port()) + "/velmora.zip",
        "",
    };
    for (const std::string& url : urls) {
        SCOPED_TRACE(url);
        EXPECT_EQ(open(url), 0u);
    }
    // A redirect loop is given up after a bounded number of hops.
    EXPECT_LE(server.requests().size(), 40u);
}

TEST_F(HttpBackendTest, ReadReturnsWhatHasArrivedWithoutWaitingForAFullBlock)
{
    const std::string body = patternBytes(0, 1000);
    server.script("/trickle", ScriptedReply()
                                  .send(loopback::responseHead(200, {{"Content-Length", "1000"}}) + body.substr(0, 300))
                                  .hold()
                                  .send(body.substr(300)));
    const InternetHandle request = open(server.url("/trickle"));
    ASSERT_NE(request, 0u);
    std::string got;
    while (got.size() < 300) {
        std::uint32_t count = 0;
        ASSERT_TRUE(readBlock(request, got, count));
        ASSERT_GT(count, 0u);
    }
    EXPECT_EQ(got.size(), 300u);
    // Still held: the reads above did not wait for the bytes behind the hold.
    EXPECT_EQ(server.holdsEnded(), 0);
    server.releaseHeld();
    got += readAll(request).bytes;
    EXPECT_TRUE(got == body);
    internet->InternetCloseHandle(request);
}

TEST_F(HttpBackendTest, BodyCutShortFailsAfterTheBytesThatCame)
{
    const std::string part = patternBytes(0, 600);
    const std::string head = loopback::responseHead(200, {{"Content-Length", "1000"}});
    const std::string openHead = loopback::responseHead(200, {});
    struct Case {
        std::string path;
        ScriptedReply reply;
    };
    std::vector<Case> cases = {
        {"/short-then-close", ScriptedReply().send(head + part).hold().close()},
        {"/short-then-reset", ScriptedReply().send(head + part).hold().reset()},
    };
    // Without a length, only the reset itself tells the cut from the end.
    if (velmora::test::reportsEarlyResets())
        cases.push_back({"/no-length-then-reset", ScriptedReply().send(openHead + part).hold().reset()});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        server.script(c.path, c.reply);
        const InternetHandle request = open(server.url(c.path));
        ASSERT_NE(request, 0u);
        std::string got;
        while (got.size() < part.size()) {
            std::uint32_t count = 0;
            ASSERT_TRUE(readBlock(request, got, count)) << "after " << got.size() << " bytes";
            ASSERT_GT(count, 0u) << "ended after " << got.size() << " bytes";
        }
        EXPECT_TRUE(got == part);
        server.releaseHeld();
        const Body rest = readAll(request);
        EXPECT_TRUE(rest.failed);
        EXPECT_EQ(rest.bytes, "");
        // A failed transfer stays failed.
        std::uint32_t count = 7;
        EXPECT_FALSE(readBlock(request, got, count));
        EXPECT_EQ(count, 0u);
        internet->InternetCloseHandle(request);
    }
}

TEST_F(HttpBackendTest, SendsTheAgentAndClosedHandlesStandForNothing)
{
    server.script("/a", ScriptedReply::response(200, "aaaa"));
    const InternetHandle request = open(server.url("/a?v=1"));
    ASSERT_NE(request, 0u);
    const auto received = server.waitForRequest("/a", std::chrono::seconds(5));
    ASSERT_TRUE(received.has_value());
    EXPECT_EQ(received->method, "GET");
    EXPECT_EQ(received->target, "/a?v=1");
    EXPECT_EQ(received->header("User-Agent"), "VB Http");

    // Closing the session closes the requests made in it.
    internet->InternetCloseHandle(session);
    std::string got;
    std::uint32_t count = 7;
    EXPECT_FALSE(readBlock(request, got, count));
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(internet->InternetOpenUrl(session, server.url("/a"), {}, INTERNET_FLAG_RELOAD, {}), 0u);
    std::uint32_t length = 512;
    std::uint32_t index = 0;
    char text[512];
    EXPECT_FALSE(internet->HttpQueryInfo(request, HTTP_QUERY_CONTENT_LENGTH, text, length, index));
    internet->InternetCloseHandle(request);  // already gone: nothing happens
}

}  // namespace
}  // namespace velmora
