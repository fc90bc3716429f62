// The downloader's HTTP operations on WinINet itself. Each handle number
// stands for a WinINet session or one request made in it.
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "platform/http/pull_internet.h"
#include "platform/http/served_request_wininet.h"
#include "platform/http/session_wininet.h"

namespace velmora {

namespace {

// What a session's requests are opened with. The handle proves the session
// could be opened; each request opens one of its own from the same settings.
struct SessionSettings {
    std::unique_ptr<WinInetSession> session;
    WinInetSessionSettings settings;
};

class InternetWinInet final : public PullInternet<SessionSettings, ServedRequestWinInet> {
public:
    explicit InternetWinInet(const TransferLimits& limits) : limits_(limits) {}

    InternetHandle InternetOpen(const std::string& agent, std::uint32_t accessType, std::uint32_t flags) override
    {
        const WinInetSessionSettings settings{agent, accessType, flags, limits_};
        auto session = WinInetSession::open(settings);
        return session ? addSession(SessionSettings{std::move(session), settings}) : 0;
    }

    InternetHandle InternetOpenUrl(InternetHandle session, const std::string& url, const std::string& headers,
                                   std::uint32_t flags, KeepWaiting keepWaiting) override
    {
        const SessionSettings* found = findSession(session);
        if (!found)
            return 0;
        std::shared_ptr<ServedRequestWinInet> request =
            ServedRequestWinInet::open(found->settings, url, headers, flags, std::move(keepWaiting));
        return request ? addRequest(session, std::move(request)) : 0;
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
