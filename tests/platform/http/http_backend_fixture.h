#pragma once
// The platform's own HTTP backend (libcurl on Linux, WinINet on Windows)
// beside a loopback server, for tests that every backend must pass.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/http/internet.h"
#include "tests/support/test_files.h"
#include "tools/loopback_server/loopback_server.h"

namespace velmora {

class HttpBackendTest : public ::testing::Test {
protected:
    static constexpr std::uint32_t kBlock = 512;

    struct Body {
        std::string bytes;
        bool failed = false;
    };

    InternetHandle open(const std::string& url, std::uint32_t flags = INTERNET_FLAG_RELOAD)
    {
        return internet->InternetOpenUrl(session, url, {}, flags, {});
    }

    std::optional<std::string> contentLength(InternetHandle request)
    {
        char text[512] = {};
        std::uint32_t length = sizeof text;
        std::uint32_t index = 0;
        if (!internet->HttpQueryInfo(request, HTTP_QUERY_CONTENT_LENGTH, text, length, index))
            return std::nullopt;
        return std::string(text);
    }

    // One read of at most a block; counts what each read delivered.
    bool readBlock(InternetHandle request, std::string& into, std::uint32_t& count)
    {
        char block[kBlock];
        count = 0;
        const bool ok = internet->InternetReadFile(request, block, kBlock, count);
        EXPECT_LE(count, kBlock);
        into.append(block, count);
        return ok;
    }

    // Reads to the end of the body or the first failure.
    Body readAll(InternetHandle request)
    {
        Body body;
        for (;;) {
            std::uint32_t count = 0;
            if (!readBlock(request, body.bytes, count)) {
                body.failed = true;
                return body;
            }
            if (count == 0)
                return body;
        }
    }

    // Opens url and reads it to its end: the request must open, announce
    // length and deliver exactly body, without a failed read.
    void expectWholeBody(const std::string& url, const std::optional<std::string>& length,
                         const std::string& body)
    {
        const InternetHandle request = open(url);
        ASSERT_NE(request, 0u);
        EXPECT_EQ(contentLength(request), length);
        const Body read = readAll(request);
        EXPECT_FALSE(read.failed);
        EXPECT_TRUE(read.bytes == body) << "got " << read.bytes.size() << " of " << body.size() << " bytes";
        internet->InternetCloseHandle(request);
    }

    loopback::LoopbackServer server;
    std::unique_ptr<Internet> internet = createInternet();
    InternetHandle session = internet->InternetOpen("VB Http", INTERNET_OPEN_TYPE_PRECONFIG, 0);
};

}  // namespace velmora
