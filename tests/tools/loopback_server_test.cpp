// The loopback server the integration tests and the demo site stand on.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "tools/loopback_server/loopback_server.h"
#include "tools/loopback_server/static_site.h"
#include "tests/support/test_folder.h"

namespace velmora::loopback {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Sends one request and returns every byte of the answer, up to the close.
std::string exchangeOnce(std::uint16_t port, const std::string& request)
{
    const UniqueFd socket(::socket(AF_INET, SOCK_STREAM, 0));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(socket.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        return "connect failed";
    if (!sendAll(socket.get(), request))
        return "send failed";
    std::string answer;
    char buffer[4096];
    ssize_t count = 0;
    while ((count = ::recv(socket.get(), buffer, sizeof buffer, 0)) > 0)
        answer.append(buffer, static_cast<std::size_t>(count));
    return answer;
}

std::string get(std::uint16_t port, const std::string& target)
{
    return exchangeOnce(port, "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\nUser-Agent: probe\r\n\r\n");
}

class StaticSiteTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(root / "a");
        std::ofstream(root / "top.txt") << "top";
        std::ofstream(root / "a" / "index.html") << "<p>a</p>";
        std::ofstream(root / "a" / "b c.txt") << "bc";
        std::ofstream(root.parent_path() / "outside.txt") << "secret";
    }
    void TearDown() override { fs::remove_all(root.parent_path()); }

    fs::path root = velmora::test::testPath("velmora-static-site") / "root";
};

TEST(ContentType, FollowsTheExtension)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"index1.html", "text/html; charset=utf-8"}, {"book.HTM", "text/html; charset=utf-8"},
        {"velmora1.0.txt", "text/plain"},            {"velmora.zip", "application/zip"},
        {"site.css", "text/css; charset=utf-8"},     {"data.bin", "application/octet-stream"},
        {"README", "application/octet-stream"},      {"channel.MP4", "video/mp4"},
    };
    for (const auto& [file, type] : cases)
        EXPECT_EQ(contentTypeFor(file), type) << file;
}

TEST_F(StaticSiteTest, ResolvesOnlyFilesUnderTheRoot)
{
    const std::vector<std::pair<std::string, std::optional<fs::path>>> cases = {
        {"/top.txt", root / "top.txt"},
        {"/a/", root / "a" / "index.html"},
        {"/a", root / "a" / "index.html"},
        {"/a/b%20c.txt", root / "a" / "b c.txt"},
        {"/a/%62%20c.txt", root / "a" / "b c.txt"},
        {"/", std::nullopt},
        {"/missing.html", std::nullopt},
        {"/../outside.txt", std::nullopt},
        {"/a/../../outside.txt", std::nullopt},
        {"/%2e%2e/outside.txt", std::nullopt},
        {"/a%2f..%2f..%2foutside.txt", std::nullopt},
        {"/a\\..\\..\\outside.txt", std::nullopt},
        {"top.txt", std::nullopt},
        {"/bad%zz", std::nullopt},
        {"/top.txt%00.html", std::nullopt},
    };
    for (const auto& [path, file] : cases) {
        SCOPED_TRACE(path);
        EXPECT_EQ(resolveUnder(root, path), file);
    }
}

TEST_F(StaticSiteTest, ServesFilesScriptsFirstAndRecordsEveryRequest)
{
    LoopbackServer server(LoopbackServer::Options{0, root, {}});
    server.script("/a/", ScriptedReply::response(203, "scripted"));
    struct Case {
        std::string target;
        std::string statusLine;
        std::string contentType;
        std::string body;
    };
    const std::vector<Case> cases = {
        {"/top.txt?x=1", "HTTP/1.1 200 OK", "Content-Type: text/plain", "top"},
        {"/a", "HTTP/1.1 200 OK", "Content-Type: text/html; charset=utf-8", "<p>a</p>"},
        {"/a/", "HTTP/1.1 203 Status", "", "scripted"},
        {"/nothing.html", "HTTP/1.1 404 Not Found", "Content-Type: text/html; charset=utf-8", ""},
        {"/../outside.txt", "HTTP/1.1 404 Not Found", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target);
        const std::string answer = get(server.port(), c.target);
        EXPECT_EQ(answer.substr(0, answer.find("\r\n")), c.statusLine);
        EXPECT_NE(answer.find(c.contentType), std::string::npos);
        const std::string body = answer.substr(answer.find("\r\n\r\n") + 4);
        if (!c.body.empty()) {
            EXPECT_EQ(body, c.body);
        }
        EXPECT_EQ(body.find("secret"), std::string::npos);
    }
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), cases.size());
    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_EQ(requests[0].target, "/top.txt?x=1");
    EXPECT_EQ(requests[0].path, "/top.txt");
    EXPECT_EQ(requests[0].header("user-agent"), "probe");
    ASSERT_TRUE(server.waitForRequest("/top.txt", 1s).has_value());
    server.clearLog();
    EXPECT_TRUE(server.requests().empty());
    EXPECT_FALSE(server.waitForRequest("/top.txt", 0ms).has_value());
}

TEST(LoopbackServer, IgnoresWhatIsNotARequest)
{
    LoopbackServer server;
    const std::vector<std::string> garbage = {"\r\n\r\n", "GET\r\n\r\n", "NONSENSE/\r\n\r\n"};
    for (const std::string& request : garbage)
        EXPECT_EQ(exchangeOnce(server.port(), request), "") << request;
    EXPECT_TRUE(server.requests().empty());
}

TEST(ParseRequestHead, ReadsTheLineAndTheHeaders)
{
    const auto request = parseRequestHead(
        "GET /x?y=1 HTTP/1.1\r\nHost: a\r\nUser-Agent:  VB Http \r\nno colon here\r\nPragma:no-cache\r\n\r\n");
    ASSERT_TRUE(request.has_value());
    EXPECT_EQ(request->method, "GET");
    EXPECT_EQ(request->target, "/x?y=1");
    EXPECT_EQ(request->path, "/x");
    const std::vector<std::pair<std::string, std::string>> headers = {
        {"Host", "a"}, {"User-Agent", "VB Http"}, {"Pragma", "no-cache"}};
    EXPECT_EQ(request->headers, headers);
    EXPECT_EQ(request->header("PRAGMA"), "no-cache");
    EXPECT_EQ(request->header("Cache-Control"), std::nullopt);
}

}  // namespace
}  // namespace velmora::loopback
