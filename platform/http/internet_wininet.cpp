// The downloader's HTTP operations on WinINet itself. Each handle number
// stands for a WinINet session or one request made in it.
#include <memory>

#include "platform/http/pull_internet.h"
#include "platform/http/request_wininet.h"
#include "platform/http/session_wininet.h"

namespace velmora {

namespace {

class InternetWinInet final : public PullInternet<std::unique_ptr<WinInetSession>, WinInetRequest> {
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
        auto request = std::make_unique<WinInetRequest>();
        if (!request->open((*found)->handle(), url, headers, flags))
            return 0;
        // Set on the request as well: not every WinINet passes the
        // session's receive time-out on to the reads.
        request->limitReadWait(limits_.stall);
        return addRequest(session, std::move(request));
    }

private:
    TransferLimits limits_;
};

}  // namespace

std::unique_ptr<Internet> createInternet(const TransferLimits& limits)
{
    return std::make_unique<InternetWinInet>(limits);
}

}  // namespace velmora
