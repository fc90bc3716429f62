// The libcurl backend of the downloader's HTTP operations against a loopback
// server that plays back scripted replies.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "tests/platform/http/internet_curl_fixture.h"
#include "tests/platform/http/proxy_variables.h"
#include "tests/support/test_folder.h"

namespace velmora {
namespace {

using loopback::LoopbackServer;
using loopback::ScriptedReply;
using namespace std::chrono_literals;

TEST_F(InternetCurlTest, DeliversEveryBodyShapeByteForByte)
{
    const std::string body = patternBytes(0, 5000);
    const std::string head = loopback::responseHead(200, {{"Content-Length", "5000"}});
    struct Case {
        std::string path;
        ScriptedReply reply;
        std::optional<std::string> contentLength;
    };
    const std::vector<Case> cases = {
        {"/length", ScriptedReply::response(200, body), "5000"},
        {"/chunked", ScriptedReply::chunked(200, {body.substr(0, 1), body.substr(1, 3000), body.substr(3001)}),
         std::nullopt},
        {"/close-delimited", ScriptedReply::closeDelimited(200, body), std::nullopt},
        {"/paused", ScriptedReply()
                        .send(head + body.substr(0, 700))
                        .pause(20ms)
                        .send(body.substr(700, 1))
                        .pause(20ms)
                        .send(body.substr(701)),
         "5000"},
        {"/padded-length", ScriptedReply().send(loopback::responseHead(200, {{"Content-Length", "  5000 "}}) + body),
         "5000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        server.script(c.path, c.reply);
        expectWholeBody(server.url(c.path), c.contentLength, body);
    }
}

TEST_F(InternetCurlTest, FollowsRedirectsAndReportsOnlyTheFinalResponse)
{
    server.script("/final", ScriptedReply::response(200, "final body\r\n"));
    server.script("/final-chunked", ScriptedReply::chunked(200, {"final ", "chunked"}));
    server.script("/301", ScriptedReply::redirect(301, "/final"));
    server.script("/302-absolute", ScriptedReply::redirect(302, server.url("/final")));
    server.script("/307-twice", ScriptedReply::redirect(307, "/301"));
    server.script("/302-to-chunked", ScriptedReply::redirect(302, "/final-chunked"));
    struct Case {
        std::string path;
        std::string body;
        std::optional<std::string> contentLength;
    };
    const std::vector<Case> cases = {
        {"/301", "final body\r\n", "12"},
        {"/302-absolute", "final body\r\n", "12"},
        {"/307-twice", "final body\r\n", "12"},
        // The redirect's own Content-Length must not stand for the final body's.
        {"/302-to-chunked", "final chunked", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        expectWholeBody(server.url(c.path), c.contentLength, c.body);
    }
}

TEST_F(InternetCurlTest, RefusesWhatIsNotASuccessfulHttpResponse)
{
    const std::string localFile = velmora::test::testPath("velmora-local-file.txt").string();
    std::ofstream(localFile) << "local file";
    server.script("/404", ScriptedReply::error(404));
    server.script("/400", ScriptedReply::error(400));
    server.script("/500", ScriptedReply::error(500));
    server.script("/503", ScriptedReply::error(503));
    server.script("/to-404", ScriptedReply::redirect(302, "/404"));
    server.script("/to-file", ScriptedReply::redirect(302, "file://" + localFile));
    server.script("/loop", ScriptedReply::redirect(302, "/loop"));
    server.script("/closed-before-headers", ScriptedReply().close());
    server.script("/reset-before-headers", ScriptedReply().reset());
    server.script("/half-head", ScriptedReply().send("HTTP/1.1 200 OK\r\nContent-Le").close());
    const std::uint16_t closedPort = [] {
        LoopbackServer gone;
        return gone.port();
    }();
    const std::vector<std::string> urls = {
        server.url("/404"),
        server.url("/400"),
        server.url("/500"),
        server.url("/503"),
        server.url("/to-404"),
        server.url("/to-file"),
        server.url("/loop"),
        server.url("/closed-before-headers"),
        server.url("/reset-before-headers"),
        server.url("/half-head"),
        "http://127.0.0.1:" + std::to_string(closedPort) + "/velmora.zip",
        "file://" + localFile,
        "FILE://" + localFile,
        "ftp://127.0.0.1:" + std::to_string(server.port()) + "/velmora.zip",
        "dict://127.0.0.1:" + std::to_string(server.port()) + "/d",
        // libcurl would guess http for a bare host; the text box is free text.
        "127.0.0.1:" + std::to_string(server.port()) + "/404",
        "",
    };
    for (const std::string& url : urls) {
        SCOPED_TRACE(url);
        EXPECT_EQ(open(url), 0u);
    }
}

TEST_F(InternetCurlTest, AcceptsSuccessStatusesWhateverTheirBody)
{
    struct Case {
        std::string path;
        int status;
        std::string body;
    };
    const std::vector<Case> cases = {{"/200", 200, "x"}, {"/203", 203, "y"}, {"/empty", 200, ""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        server.script(c.path, ScriptedReply::response(c.status, c.body));
        const InternetHandle request = open(server.url(c.path));
        ASSERT_NE(request, 0u);
        EXPECT_EQ(readAll(request).bytes, c.body);
        internet->InternetCloseHandle(request);
    }
}

TEST_F(InternetCurlTest, BrokenBodyFailsAfterTheBytesThatCame)
{
    const std::string part = patternBytes(0, 300);
    const std::string lengthHead = loopback::responseHead(200, {{"Content-Length", "1000"}});
    const std::string chunkedHead = loopback::responseHead(200, {{"Transfer-Encoding", "chunked"}});
    struct Case {
        std::string path;
        ScriptedReply reply;
    };
    const std::vector<Case> cases = {
        {"/short-then-close", ScriptedReply().send(lengthHead + part).hold().close()},
        {"/short-then-reset", ScriptedReply().send(lengthHead + part).hold().reset()},
        {"/chunk-cut", ScriptedReply().send(chunkedHead + "3e8\r\n" + part).hold().close()},
        {"/chunk-garbage", ScriptedReply().send(chunkedHead + loopback::chunk(part)).hold().send("zz\r\nabc\r\n").close()},
        {"/chunk-no-end", ScriptedReply().send(chunkedHead + loopback::chunk(part)).hold().close()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        server.script(c.path, c.reply);
        const int holdsEnded = server.holdsEnded();
        const InternetHandle request = open(server.url(c.path));
        ASSERT_NE(request, 0u);
        EXPECT_EQ(readExactly(request, part.size()), part);
        // The reply is still held: the reads above did not wait for more.
        EXPECT_EQ(server.holdsEnded(), holdsEnded);
        server.releaseHeld();
        std::uint32_t count = 0;
        char block[HttpBackendTest::kBlock];
        EXPECT_FALSE(internet->InternetReadFile(request, block, HttpBackendTest::kBlock, count));
        EXPECT_EQ(count, 0u);
        internet->InternetCloseHandle(request);
    }
}

TEST_F(InternetCurlTest, ReadReturnsAsSoonAsAnyBytesAreThere)
{
    const std::string body = patternBytes(0, 1000);
    server.script("/trickle", ScriptedReply()
                                  .send(loopback::responseHead(200, {{"Content-Length", "1000"}}) + body.substr(0, 1))
                                  .hold()
                                  .send(body.substr(1, 99))
                                  .hold()
                                  .send(body.substr(100)));
    const InternetHandle request = open(server.url("/trickle"));
    ASSERT_NE(request, 0u);
    const std::vector<std::size_t> pieces = {1, 99};
    std::string got;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        got += readExactly(request, pieces[i]);
        EXPECT_EQ(server.holdsEnded(), static_cast<int>(i)) << "after " << got.size() << " bytes";
        server.releaseHeld();
    }
    got += readAll(request).bytes;
    EXPECT_TRUE(got == body);
}

// The archive and its signature go the way the pages go: through the proxy
// HTTP_PROXY names, which is asked for the whole address.
TEST_F(InternetCurlTest, GoesThroughTheProxyTheEnvironmentNames)
{
    const std::string address = "http://velmora.invalid/velmora.zip";
    server.script(address, ScriptedReply::response(200, "through the proxy"));
    const ProxyEnvironment environment(server.url(""), "");
    const InternetHandle request = open(address);
    ASSERT_NE(request, 0u);
    EXPECT_EQ(readAll(request).bytes, "through the proxy");
    internet->InternetCloseHandle(request);
}

TEST_F(InternetCurlTest, AsksTheOriginWithTheAgentGiven)
{
    struct Case {
        std::string path;
        std::uint32_t flags;
        std::optional<std::string> cacheControl;
        std::optional<std::string> pragma;
    };
    const std::vector<Case> cases = {
        {"/reload", INTERNET_FLAG_RELOAD, "no-cache", "no-cache"},
        {"/plain", 0, std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        server.script(c.path, ScriptedReply::response(200, "ok"));
        const InternetHandle request = open(server.url(c.path + "?v=1"), c.flags);
        ASSERT_NE(request, 0u);
        const auto received = server.waitForRequest(c.path, 5s);
        ASSERT_TRUE(received.has_value());
        EXPECT_EQ(received->method, "GET");
        EXPECT_EQ(received->target, c.path + "?v=1");
        EXPECT_EQ(received->header("User-Agent"), "VB Http");
        EXPECT_EQ(received->header("Cache-Control"), c.cacheControl);
        EXPECT_EQ(received->header("Pragma"), c.pragma);
        internet->InternetCloseHandle(request);
    }
}

}  // namespace
}  // namespace velmora
