#pragma once
// A libcurl Internet session and a loopback server, with the reads a test of
// the downloader's HTTP operations needs.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "platform/internet.h"
#include "tools/loopback_server/loopback_server.h"

namespace velmora {

inline constexpr std::uint32_t blockSize = 512;

inline std::string patternText(std::uint64_t offset, std::uint64_t size)
{
    std::string text;
    for (std::uint64_t i = 0; i < size; ++i)
        text += loopback::patternByte(offset + i);
    return text;
}

struct Body {
    std::string bytes;
    bool failed = false;
};

class InternetCurlTest : public ::testing::Test {
protected:
    InternetHandle open(const std::string& url, std::uint32_t flags = INTERNET_FLAG_RELOAD)
    {
        return internet->InternetOpenUrl(session, url, flags);
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

    // Reads in 512-byte blocks until the end of the body or a failure.
    Body readAll(InternetHandle request)
    {
        Body body;
        char block[blockSize];
        for (;;) {
            std::uint32_t count = 0;
            if (!internet->InternetReadFile(request, block, blockSize, count)) {
                body.failed = true;
                return body;
            }
            EXPECT_LE(count, blockSize);
            if (count == 0)
                return body;
            body.bytes.append(block, count);
        }
    }

    // Reads until exactly size bytes have come; each read must deliver some.
    std::string readExactly(InternetHandle request, std::size_t size)
    {
        std::string bytes;
        char block[blockSize];
        while (bytes.size() < size) {
            std::uint32_t count = 0;
            const bool ok = internet->InternetReadFile(request, block, blockSize, count);
            if (!ok || count == 0) {
                ADD_FAILURE() << "read ended after " << bytes.size() << " of " << size << " bytes";
                break;
            }
            bytes.append(block, count);
        }
        return bytes;
    }

    loopback::LoopbackServer server;
    std::unique_ptr<Internet> internet = createInternet();
    InternetHandle session = internet->InternetOpen("VB Http", INTERNET_OPEN_TYPE_PRECONFIG, 0);
};

}  // namespace velmora
