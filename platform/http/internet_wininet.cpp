// The downloader's HTTP operations on WinINet itself. Each handle number
// stands for a WinINet session or one request made in it.
#include <chrono>
#include <memory>
#include <optional>

#include "platform/http/call_within.h"
#include "platform/http/pull_internet.h"
#include "platform/http/request_wininet.h"
#include "platform/http/session_wininet.h"

namespace velmora {

namespace {

// A request that a thread abandoned at its limit may still hold for a while.
class SharedRequest {
public:
    explicit SharedRequest(std::shared_ptr<WinInetRequest> request) : request_(std::move(request)) {}
    const ResponseHeaders& response() const { return request_->response(); }
    bool read(char* out, std::size_t capacity, std::size_t& count) { return request_->read(out, capacity, count); }

private:
    std::shared_ptr<WinInetRequest> request_;
};

class InternetWinInet final : public PullInternet<std::unique_ptr<WinInetSession>, SharedRequest> {
public:
    explicit InternetWinInet(const TransferLimits& limits) : limits_(limits) {}

    InternetHandle InternetOpen(const std::string& agent, std::uint32_t accessType, std::uint32_t flags) override
    {
        auto session = WinInetSession::open(agent, accessType, flags, limits_);
        return session ? addSession(std::move(session)) : 0;
    }

    InternetHandle InternetOpenUrl(InternetHandle session, const std::string& url, const std::string& headers,
                                   std::uint32_t flags) override
    {
        const std::unique_ptr<WinInetSession>* found = findSession(session);
        if (!found)
            return 0;
        const auto start = std::chrono::steady_clock::now();
        std::shared_ptr<WinInetRequest> request = std::make_shared<WinInetRequest>();
        if (!openRequest(**found, request, url, headers, flags))
            return 0;
        // Set on the request as well: not every WinINet passes the
        // session's receive time-out on to the reads.
        request->limitReadWait(limits_.stall);
        if (limits_.total.count() > 0)
            request->limitTotal(start + limits_.total, limits_.stall);
        return addRequest(session, std::make_unique<SharedRequest>(std::move(request)));
    }

private:
    // WinINet's open, each redirect hop and a head that trickles in have only
    // per-step limits, and block the thread. With a whole limit or a caller
    // that waits, the open runs on a thread of its own, held to the limit and
    // the caller's word; closing the session ends what is still blocked in it
    // (a session ended so serves no further request).
    bool openRequest(WinInetSession& session, const std::shared_ptr<WinInetRequest>& request, const std::string& url,
                     const std::string& headers, std::uint32_t flags)
    {
        if (limits_.total.count() == 0 && !keepWaiting())
            return request->open(session.handle(), url, headers, flags);
        void* const handle = session.handle();
        const std::optional<bool> opened = callWithin<bool>(
            limits_.total, [request, handle, url, headers, flags] { return request->open(handle, url, headers, flags); },
            [&session] { session.close(); }, keepWaiting());
        return opened.value_or(false);
    }

    TransferLimits limits_;
};

}  // namespace

std::unique_ptr<Internet> createInternet(const TransferLimits& limits)
{
    return std::make_unique<InternetWinInet>(limits);
}

}  // namespace velmora
