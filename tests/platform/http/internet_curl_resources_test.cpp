// What the libcurl backend holds: memory bounded whatever the body's size,
// handles that stand for nothing once closed, a length that must fit.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "tests/platform/http/internet_curl_fixture.h"

namespace velmora {
namespace {

using loopback::ScriptedReply;

// Resident memory of this process in KiB, from /proc/self/status.
long residentKiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return -1;
}

// AddressSanitizer's allocator keeps freed memory in quarantine and maps
// its own bookkeeping, so there resident memory no longer measures what the
// transfer holds; the bytes are still checked.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool residentMemoryMeasuresBuffers = false;
#elif defined(__has_feature)
constexpr bool residentMemoryMeasuresBuffers = !__has_feature(address_sanitizer);
#else
constexpr bool residentMemoryMeasuresBuffers = true;
#endif

TEST_F(InternetCurlTest, LargeBodyIsStreamedThroughABoundedBuffer)
{
    constexpr std::uint64_t size = 16 * 1024 * 1024;
    constexpr long allowedGrowthKiB = 4 * 1024;
    server.script("/large", ScriptedReply()
                                .send(loopback::responseHead(200, {{"Content-Length", std::to_string(size)}}))
                                .sendPattern(0, size));
    const InternetHandle request = open(server.url("/large"));
    ASSERT_NE(request, 0u);
    const long before = residentKiB();
    ASSERT_GT(before, 0);

    std::uint64_t total = 0;
    std::uint64_t firstMismatch = size;
    char block[HttpBackendTest::kBlock];
    for (;;) {
        std::uint32_t count = 0;
        ASSERT_TRUE(internet->InternetReadFile(request, block, HttpBackendTest::kBlock, count)) << "after " << total;
        if (count == 0)
            break;
        for (std::uint32_t i = 0; i < count && firstMismatch == size; ++i) {
            if (block[i] != loopback::patternByte(total + i))
                firstMismatch = total + i;
        }
        total += count;
    }
    EXPECT_EQ(total, size);
    EXPECT_EQ(firstMismatch, size);
    if (residentMemoryMeasuresBuffers) {
        EXPECT_LT(residentKiB() - before, allowedGrowthKiB);
    }
    internet->InternetCloseHandle(request);
}

TEST_F(InternetCurlTest, LengthQueryNeedsRoomForTheTextAndItsNul)
{
    server.script("/sized", ScriptedReply::response(200, std::string(12345, 'x')));
    const InternetHandle request = open(server.url("/sized"));
    ASSERT_NE(request, 0u);
    struct Case {
        std::uint32_t bufferLength;
        bool ok;
        std::uint32_t lengthAfter;
    };
    const std::vector<Case> cases = {{5, false, 6}, {6, true, 5}, {512, true, 5}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bufferLength);
        std::string buffer(512, '#');
        std::uint32_t length = c.bufferLength;
        std::uint32_t index = 0;
        EXPECT_EQ(internet->HttpQueryInfo(request, HTTP_QUERY_CONTENT_LENGTH, buffer.data(), length, index), c.ok);
        EXPECT_EQ(length, c.lengthAfter);
        if (c.ok) {
            EXPECT_STREQ(buffer.c_str(), "12345");
        }
    }
    std::uint32_t length = 512;
    std::uint32_t index = 0;
    char buffer[512];
    EXPECT_FALSE(internet->HttpQueryInfo(request, /*HTTP_QUERY_CONTENT_TYPE*/ 1, buffer, length, index));
}

TEST_F(InternetCurlTest, ClosedOrUnknownHandlesStandForNothing)
{
    server.script("/a", ScriptedReply::response(200, "aaaa"));
    const InternetHandle request = open(server.url("/a"));
    ASSERT_NE(request, 0u);
    ASSERT_NE(session, 0u);
    EXPECT_NE(request, session);

    // Closing the session closes the requests made in it.
    internet->InternetCloseHandle(session);
    char block[HttpBackendTest::kBlock];
    std::uint32_t count = 7;
    EXPECT_FALSE(internet->InternetReadFile(request, block, HttpBackendTest::kBlock, count));
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(internet->InternetOpenUrl(session, server.url("/a"), {}, INTERNET_FLAG_RELOAD, {}), 0u);
    internet->InternetCloseHandle(request);  // already gone: nothing happens

    const std::vector<std::uint32_t> accessTypes = {0, 1};
    for (std::uint32_t accessType : accessTypes) {
        SCOPED_TRACE(accessType);
        const InternetHandle fresh = internet->InternetOpen("VB Http", accessType, 0);
        ASSERT_NE(fresh, 0u);
        const InternetHandle again = internet->InternetOpenUrl(fresh, server.url("/a"), {}, INTERNET_FLAG_RELOAD, {});
        ASSERT_NE(again, 0u);
        EXPECT_EQ(readAll(again).bytes, "aaaa");
        internet->InternetCloseHandle(again);
        internet->InternetCloseHandle(fresh);
    }
    EXPECT_EQ(internet->InternetOpen("VB Http", /*INTERNET_OPEN_TYPE_PROXY*/ 3, 0), 0u);
}

}  // namespace
}  // namespace velmora
