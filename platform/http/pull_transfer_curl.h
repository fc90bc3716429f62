#pragma once
// One HTTP GET whose body the caller pulls piece by piece, the way WinINet
// hands a body out. libcurl pushes; this class keeps a fixed buffer between
// the two and pauses the transfer while the buffer is full, so memory stays
// the same whatever the body's size.
//
// Not thread-safe: one thread drives the transfer through open() and read().
#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/http/global_init_curl.h"
#include "platform/http/http_rules.h"
#include "platform/http/response_headers.h"

namespace velmora {

class PullTransferCurl {
public:
    struct Settings {
        std::string agent;
        bool noCache = true;    // ask the origin, not a cache
        bool directOnly = false;  // ignore the proxy environment variables
        // "Name: value\r\n" lines sent besides the program's own.
        std::string extraHeaders;
        TransferLimits limits = kDownloadLimits;
        // Called at least every kWaitSlice while open() or read() waits for
        // the network; false abandons the transfer.
        std::function<bool()> keepWaiting;
    };

    PullTransferCurl(const std::string& url, const Settings& settings);
    ~PullTransferCurl();
    PullTransferCurl(const PullTransferCurl&) = delete;
    PullTransferCurl& operator=(const PullTransferCurl&) = delete;

    // Sends the request and waits until the headers of the final response
    // (after redirects) are in, or the transfer has ended. False when the
    // request failed (also when, once connected, no byte came for the
    // stall limit) or isAcceptedStatus() refuses the final status.
    bool open();

    // The final response's status and headers.
    const ResponseHeaders& response() const { return response_; }

    // Copies up to capacity bytes of the body as soon as any are there.
    // count 0 with true means the body has ended; false means the transfer
    // failed, after every byte that did arrive has been handed out. A read
    // that gets no byte for the stall limit fails the transfer, as a
    // WinINet read does at its receive time-out; so does a keepWaiting that
    // says no.
    bool read(char* out, std::size_t capacity, std::size_t& count);

private:
    static std::size_t onBody(char* data, std::size_t size, std::size_t count, void* self);
    static std::size_t onHeader(char* data, std::size_t size, std::size_t count, void* self);
    bool configure(const std::string& url, const Settings& settings);
    std::size_t takeBody(const char* data, std::size_t size);
    void takeHeaderLine(std::string_view line);
    void perform();
    void waitForSocket();
    bool connected();
    void failAsStalled();

    using Clock = std::chrono::steady_clock;

    static constexpr std::size_t kBufferSize = 64 * 1024;
    static_assert(kBufferSize >= CURL_MAX_WRITE_SIZE, "a single write from libcurl must always fit once drained");

    std::unique_ptr<char[]> buffer_;
    std::size_t begin_ = 0;  // next byte to hand out
    std::size_t end_ = 0;    // one past the last byte held

    CurlHeaderList requestHeaders_;
    CurlMulti multi_;
    CurlEasy easy_;
    bool attached_ = false;
    bool paused_ = false;
    bool headersDone_ = false;
    bool done_ = false;
    CURLcode result_ = CURLE_OK;
    std::chrono::milliseconds stallLimit_{0};
    std::function<bool()> keepWaiting_;
    bool connected_ = false;
    Clock::time_point lastProgress_;  // the last byte, or the start of the wait

    long status_ = 0;  // of the response whose headers are coming in
    bool hasLocation_ = false;
    bool rangeAsked_ = false;
    ResponseHeaders response_;
};

}  // namespace velmora
