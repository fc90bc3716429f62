#include "platform/http/pull_transfer_curl.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "platform/http/http_rules.h"
#include "platform/http/internet.h"
#include "platform/system/call_within.h"

namespace velmora {

namespace {

constexpr int kPollCapMilliseconds = 1000;
// How often a caller that waits is asked whether to go on.
constexpr int kWaitHandlerMilliseconds = static_cast<int>(kWaitSlice.count());

// The header's name in lower case; empty for a line that is no header.
std::string headerName(std::string_view line)
{
    const auto colon = line.find(':');
    if (colon == std::string_view::npos || colon == 0)
        return {};
    std::string name(line.substr(0, colon));
    for (char& c : name)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name;
}

// The info level under which a header is kept; 0 for those not kept.
std::uint32_t levelOf(std::string_view lowerCaseName)
{
    if (lowerCaseName == "content-length")
        return HTTP_QUERY_CONTENT_LENGTH;
    if (lowerCaseName == "content-range")
        return HTTP_QUERY_CONTENT_RANGE;
    if (lowerCaseName == "etag")
        return HTTP_QUERY_ETAG;
    if (lowerCaseName == "last-modified")
        return HTTP_QUERY_LAST_MODIFIED;
    return 0;
}

// Adds each "Name: value" line of lines to list.
bool appendHeaderLines(CurlHeaderList& list, std::string_view lines)
{
    while (!lines.empty()) {
        const auto end = lines.find("\r\n");
        const std::string line(trimmedText(lines.substr(0, end)));
        lines = end == std::string_view::npos ? std::string_view{} : lines.substr(end + 2);
        if (line.empty())
            continue;
        curl_slist* longer = curl_slist_append(list.get(), line.c_str());
        if (!longer)
            return false;
        (void)list.release();
        list.reset(longer);
    }
    return true;
}

// "HTTP/1.1 301 Moved" or "HTTP/2 200": the number after the first space.
long statusOf(std::string_view statusLine)
{
    const auto space = statusLine.find(' ');
    if (space == std::string_view::npos)
        return 0;
    return std::strtol(std::string(statusLine.substr(space + 1, 3)).c_str(), nullptr, 10);
}

}  // namespace

PullTransferCurl::PullTransferCurl(const std::string& url, const Settings& settings)
    : buffer_(std::make_unique<char[]>(kBufferSize)), stallLimit_(settings.limits.stall),
      keepWaiting_(settings.keepWaiting)
{
    if (!ensureCurlGlobalInit())
        return;
    multi_.reset(curl_multi_init());
    easy_.reset(curl_easy_init());
    if (!multi_ || !easy_ || !configure(url, settings)) {
        easy_.reset();
        return;
    }
    attached_ = curl_multi_add_handle(multi_.get(), easy_.get()) == CURLM_OK;
}

PullTransferCurl::~PullTransferCurl()
{
    if (attached_)
        curl_multi_remove_handle(multi_.get(), easy_.get());
}

bool PullTransferCurl::configure(const std::string& url, const Settings& settings)
{
    if (!isHttpUrl(url.c_str()))
        return false;
    if (settings.noCache) {
        requestHeaders_ = noCacheHeaders();
        if (!requestHeaders_)
            return false;
    }
    rangeAsked_ = asksForRange(settings.extraHeaders);
    if (!appendHeaderLines(requestHeaders_, settings.extraHeaders))
        return false;
    CURL* e = easy_.get();
    bool ok = curl_easy_setopt(e, CURLOPT_URL, url.c_str()) == CURLE_OK;
    ok = ok && curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https") == CURLE_OK;
    ok = ok && curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR, "http,https") == CURLE_OK;
    ok = ok && curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 1L) == CURLE_OK;
    ok = ok && curl_easy_setopt(e, CURLOPT_MAXREDIRS, static_cast<long>(kMaxRedirects)) == CURLE_OK;
    ok = ok && curl_easy_setopt(e, CURLOPT_USERAGENT, settings.agent.c_str()) == CURLE_OK;
    ok = ok && curl_easy_setopt(e, CURLOPT_HTTPHEADER, requestHeaders_.get()) == CURLE_OK;
    ok = ok && curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L) == CURLE_OK;
    ok = ok && curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(settings.limits.connect.count()))
                   == CURLE_OK;
    ok = ok && curl_easy_setopt(e, CURLOPT_TIMEOUT_MS, static_cast<long>(settings.limits.total.count())) == CURLE_OK;
    // A proxy's CONNECT answer is not the response the caller asked for.
    ok = ok && curl_easy_setopt(e, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L) == CURLE_OK;
    ok = ok && curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, &PullTransferCurl::onBody) == CURLE_OK;
    ok = ok && curl_easy_setopt(e, CURLOPT_WRITEDATA, this) == CURLE_OK;
    ok = ok && curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, &PullTransferCurl::onHeader) == CURLE_OK;
    ok = ok && curl_easy_setopt(e, CURLOPT_HEADERDATA, this) == CURLE_OK;
    if (settings.directOnly)
        ok = ok && curl_easy_setopt(e, CURLOPT_NOPROXY, "*") == CURLE_OK;
    else
        ok = ok && useEnvironmentProxy(e, url).set == CURLE_OK;
    return ok;
}

bool PullTransferCurl::open()
{
    if (!attached_)
        return false;
    lastProgress_ = Clock::now();
    while (!headersDone_ && !done_) {
        perform();
        if (!headersDone_ && !done_)
            waitForSocket();
    }
    // A response whose headers never ended is no response. One whose body
    // was already cut off by now is opened all the same, as when the cut
    // comes later: its reads hand out the bytes that came, then fail.
    if (!headersDone_)
        return false;
    long status = 0;
    if (curl_easy_getinfo(easy_.get(), CURLINFO_RESPONSE_CODE, &status) != CURLE_OK)
        return false;
    return isAcceptedStatus(status, rangeAsked_);
}

bool PullTransferCurl::read(char* out, std::size_t capacity, std::size_t& count)
{
    count = 0;
    if (!attached_)
        return false;
    // Each read may wait the whole stall limit, however long the caller took
    // between reads.
    lastProgress_ = Clock::now();
    while (begin_ == end_) {
        if (done_)
            return result_ == CURLE_OK;
        if (paused_) {
            // Resuming hands over the bytes libcurl held back, at once.
            paused_ = false;
            if (curl_easy_pause(easy_.get(), CURLPAUSE_CONT) != CURLE_OK) {
                done_ = true;
                result_ = CURLE_RECV_ERROR;
            }
            continue;
        }
        perform();
        if (begin_ == end_ && !done_)
            waitForSocket();
    }
    count = std::min(capacity, end_ - begin_);
    std::memcpy(out, buffer_.get() + begin_, count);
    begin_ += count;
    if (begin_ == end_)
        begin_ = end_ = 0;
    return true;
}

void PullTransferCurl::perform()
{
    int running = 0;
    if (curl_multi_perform(multi_.get(), &running) != CURLM_OK) {
        done_ = true;
        result_ = CURLE_FAILED_INIT;
        return;
    }
    int queued = 0;
    while (CURLMsg* message = curl_multi_info_read(multi_.get(), &queued)) {
        if (message->msg == CURLMSG_DONE) {
            done_ = true;
            result_ = message->data.result;
        }
    }
}

// The stall limit counts from the connection on: before it, libcurl's
// connect time-out governs.
bool PullTransferCurl::connected()
{
    if (!connected_) {
        curl_off_t connectTime = 0;
        curl_off_t pretransferTime = 0;
        curl_easy_getinfo(easy_.get(), CURLINFO_CONNECT_TIME_T, &connectTime);
        curl_easy_getinfo(easy_.get(), CURLINFO_PRETRANSFER_TIME_T, &pretransferTime);
        if (headersDone_ || connectTime > 0 || pretransferTime > 0) {
            connected_ = true;
            lastProgress_ = Clock::now();
        }
    }
    return connected_;
}

void PullTransferCurl::failAsStalled()
{
    done_ = true;
    result_ = CURLE_OPERATION_TIMEDOUT;
}

void PullTransferCurl::waitForSocket()
{
    // The caller is served through every wait, for the head and for each
    // piece of the body alike.
    const bool callerWaits = static_cast<bool>(keepWaiting_);
    int timeout = callerWaits ? kWaitHandlerMilliseconds : kPollCapMilliseconds;
    if (connected()) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(lastProgress_ + stallLimit_
                                                                                - Clock::now());
        if (left.count() <= 0) {
            failAsStalled();
            return;
        }
        timeout = static_cast<int>(std::min<long long>(timeout, left.count()));
    }
    if (curl_multi_poll(multi_.get(), nullptr, 0, timeout, nullptr) != CURLM_OK) {
        done_ = true;
        result_ = CURLE_RECV_ERROR;
        return;
    }
    if (callerWaits && !keepWaiting_()) {
        done_ = true;
        result_ = CURLE_ABORTED_BY_CALLBACK;
    }
}

std::size_t PullTransferCurl::onBody(char* data, std::size_t size, std::size_t count, void* self)
{
    return static_cast<PullTransferCurl*>(self)->takeBody(data, size * count);
}

std::size_t PullTransferCurl::takeBody(const char* data, std::size_t size)
{
    lastProgress_ = Clock::now();
    if (size > kBufferSize - end_ && begin_ > 0) {
        std::memmove(buffer_.get(), buffer_.get() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    if (size > kBufferSize - end_) {
        // libcurl keeps these bytes and offers them again after the resume.
        paused_ = true;
        return CURL_WRITEFUNC_PAUSE;
    }
    std::memcpy(buffer_.get() + end_, data, size);
    end_ += size;
    return size;
}

std::size_t PullTransferCurl::onHeader(char* data, std::size_t size, std::size_t count, void* self)
{
    static_cast<PullTransferCurl*>(self)->takeHeaderLine(std::string_view(data, size * count));
    return size * count;
}

void PullTransferCurl::takeHeaderLine(std::string_view line)
{
    lastProgress_ = Clock::now();
    // Trailers of a chunked body come through here too; they change nothing.
    if (headersDone_)
        return;
    if (line.substr(0, 5) == "HTTP/") {
        // A new response begins: nothing of the one before it may carry over.
        status_ = statusOf(line);
        hasLocation_ = false;
        response_.clear();
        response_.set(HTTP_QUERY_STATUS_CODE, std::to_string(status_));
        return;
    }
    if (trimmedText(line).empty()) {
        const bool interim = status_ >= 100 && status_ < 200;
        const bool followed = status_ >= 300 && status_ < 400 && hasLocation_;
        headersDone_ = !interim && !followed;
        return;
    }
    const std::string name = headerName(line);
    if (name == "location")
        hasLocation_ = true;
    else if (const std::uint32_t level = levelOf(name); level != 0)
        response_.set(level, std::string(trimmedText(line.substr(line.find(':') + 1))));
}

}  // namespace velmora
