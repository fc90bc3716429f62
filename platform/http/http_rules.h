#pragma once
// The HTTP client's rules, the same on every backend (libcurl and WinINet)
// and for both the notice fetch and the download: who the program says it
// is, how far it follows redirects, how much of a notice it reads and how
// long a transfer may wait before it fails.
#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

namespace velmora {

// The agent string of every request the program sends itself.
inline constexpr const char* kHttpAgent = "VB Http";

// Redirects followed before a request fails (http and https only).
inline constexpr int kMaxRedirects = 10;

// What a failed notice fetch says it was doing, on every backend.
inline constexpr const char* kNoticeFetchFailed = "获取更新通知失败";

// A notice is a few bytes; the fetch reads at most this much of a document,
// so a server that sends without end cannot fill the memory.
inline constexpr std::size_t kNoticeByteLimit = 64 * 1024;

struct TransferLimits {
    // Name resolution and connection, per connection made.
    std::chrono::milliseconds connect;
    // No byte for this long, while a response or its body is awaited.
    std::chrono::milliseconds stall;
    // The whole transfer; zero: no limit.
    std::chrono::milliseconds total;

    bool operator==(const TransferLimits&) const = default;
};

// The notice fetch blocks the start before any window is shown: whatever the
// network does, it gives up early enough for a window to appear within ten
// seconds of the start, the browser engine's own start-up (three to four
// seconds on a slow machine) included. A notice is a few bytes.
inline constexpr TransferLimits kNoticeLimits{std::chrono::seconds(4), std::chrono::seconds(3),
                                              std::chrono::seconds(5)};

// A download waits as WinINet does by default: a read that gets no byte for
// 30 seconds fails. A large archive may take as long as it needs.
inline constexpr TransferLimits kDownloadLimits{std::chrono::seconds(60), std::chrono::seconds(30),
                                                std::chrono::milliseconds(0)};

// The signature beside an archive is a few dozen bytes, fetched while the
// updater window waits for its verdict: a server that trickles it must not
// hold the window for longer than this.
inline constexpr TransferLimits kSignatureLimits{std::chrono::seconds(10), std::chrono::seconds(10),
                                                 std::chrono::seconds(10)};

// A request opens only on a status below 400: an error page is never a
// resource. 416 answers a request that asked for a range the server does
// not have; it says nothing about the resource, and the caller that asked
// for the range decides what follows.
inline constexpr bool isAcceptedStatus(long status, bool rangeAsked)
{
    return (status > 0 && status < 400) || (rangeAsked && status == 416);
}

// text without the ASCII white space before and after it, as header values
// and environment settings are read.
inline std::string_view trimmedText(std::string_view text)
{
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

// Whether extra request headers ("Name: value" lines) ask for a range.
inline bool asksForRange(std::string_view headers)
{
    std::string lower(headers);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower.rfind("range:", 0) == 0 || lower.find("\nrange:") != std::string::npos;
}

}  // namespace velmora
