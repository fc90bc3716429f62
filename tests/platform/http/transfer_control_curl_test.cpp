// The notice fetch on libcurl against the loopback server.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/system/platform_error.h"
#include "platform/http/transfer_control.h"
#include "tools/loopback_server/loopback_server.h"

namespace velmora {
namespace {

using loopback::LoopbackServer;
using loopback::ScriptedReply;

const std::string gbkMarker = "\xD3\xD0\xB8\xFC\xD0\xC2";
const std::string utf8Marker = "有更新";

class TransferControlCurlTest : public ::testing::Test {
protected:
    LoopbackServer server;
    std::unique_ptr<TransferControl> control = createTransferControl();
};

TEST_F(TransferControlCurlTest, DecodesTheNoticeInEveryEncodingThePublisherUses)
{
    struct Case {
        std::string path;
        ScriptedReply reply;
        std::string text;
    };
    const std::vector<Case> cases = {
        {"/gbk", ScriptedReply::response(200, gbkMarker, {{"Content-Type", "text/plain"}}), utf8Marker},
        {"/utf8", ScriptedReply::response(200, utf8Marker), utf8Marker},
        {"/bom", ScriptedReply::response(200, "\xEF\xBB\xBF" + utf8Marker), utf8Marker},
        {"/gbk-crlf", ScriptedReply::response(200, gbkMarker + "\r\n"), utf8Marker + "\r\n"},
        {"/space-utf8", ScriptedReply::response(200, " " + utf8Marker), " " + utf8Marker},
        {"/chunked", ScriptedReply::chunked(200, {"\xD3\xD0", "\xB8\xFC\xD0\xC2"}), utf8Marker},
        {"/close-delimited", ScriptedReply::closeDelimited(200, gbkMarker), utf8Marker},
        {"/empty", ScriptedReply::response(200, ""), ""},
        {"/moved", ScriptedReply::redirect(302, "/gbk"), utf8Marker},
        // An error status comes with a page, which is the document all the same.
        {"/404", ScriptedReply::response(404, "<html>404</html>"), "<html>404</html>"},
        {"/500-marker", ScriptedReply::response(500, gbkMarker), utf8Marker},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        server.script(c.path, c.reply);
        EXPECT_EQ(control->OpenURL(server.url(c.path)), c.text);
    }
    const auto request = server.waitForRequest("/gbk", std::chrono::seconds(5));
    ASSERT_TRUE(request.has_value());
    EXPECT_EQ(request->header("User-Agent"), "VB Http");
    EXPECT_EQ(request->header("Cache-Control"), "no-cache");
}

TEST_F(TransferControlCurlTest, FailsWithTheReasonWhenNoDocumentComes)
{
    const std::uint16_t closedPort = [] {
        LoopbackServer gone;
        return gone.port();
    }();
    server.script("/to-file", ScriptedReply::redirect(302, "file:///etc/hostname"));
    server.script("/reset", ScriptedReply().reset());
    server.script("/short", ScriptedReply().send(loopback::responseHead(200, {{"Content-Length", "10"}}) + "abc").close());
    struct Case {
        std::string url;
        std::string reasonPart;
        FailureClass failureClass;
    };
    const std::vector<Case> cases = {
        {server.url("/to-file"), "Unsupported protocol", FailureClass::BadResponse},
        {server.url("/reset"), "", FailureClass::Reset},
        {server.url("/short"), "Transferred a partial file", FailureClass::CutOff},
        {"http://127.0.0.1:" + std::to_string(closedPort) + "/update/velmora1.0.txt", "Couldn't connect",
         FailureClass::Refused},
        {"http://velmora.invalid/update/velmora1.0.txt", "Couldn't resolve host", FailureClass::HostNotFound},
        {"file:///etc/hostname", "http", FailureClass::BadAddress},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        try {
            control->OpenURL(c.url);
            ADD_FAILURE() << "no failure reported";
        } catch (const PlatformError& error) {
            EXPECT_EQ(error.action(), "获取更新通知失败");
            EXPECT_FALSE(error.reason().empty());
            EXPECT_NE(error.reason().find(c.reasonPart), std::string::npos) << error.reason();
            EXPECT_EQ(error.failureClass(), c.failureClass) << error.reason();
        }
    }
}

TEST_F(TransferControlCurlTest, KeepsOnlyTheFirst64KiBOfAnOversizeDocument)
{
    constexpr std::size_t limit = 64 * 1024;
    std::string han;
    while (han.size() < limit + 300)
        han += "中";
    struct Case {
        std::string path;
        std::string body;
        std::string text;
    };
    const std::vector<Case> cases = {
        {"/ascii", std::string(limit + 5000, 'a'), std::string(limit, 'a')},
        {"/exact", std::string(limit, 'b'), std::string(limit, 'b')},
        // The limit falls inside a character: the partial character is dropped.
        {"/utf8", han, han.substr(0, limit - limit % 3)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        server.script(c.path, ScriptedReply::response(200, c.body));
        const std::string text = control->OpenURL(server.url(c.path));
        EXPECT_EQ(text.size(), c.text.size());
        EXPECT_TRUE(text == c.text);
    }
}

}  // namespace
}  // namespace velmora
