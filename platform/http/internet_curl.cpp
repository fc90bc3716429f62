// The downloader's WinINet-shaped operations on libcurl. Each handle stands
// for a session (the agent and proxy choice) or a request (one pull transfer).
#include <memory>
#include <utility>

#include "platform/http/global_init_curl.h"
#include "platform/http/pull_internet.h"
#include "platform/http/pull_transfer_curl.h"

namespace velmora {

namespace {

constexpr std::uint32_t openTypeDirect = 1;  // INTERNET_OPEN_TYPE_DIRECT

struct CurlSession {
    std::string agent;
    bool directOnly = false;
};

class InternetCurl final : public PullInternet<CurlSession, PullTransferCurl> {
public:
    explicit InternetCurl(const TransferLimits& limits) : limits_(limits) {}

    InternetHandle InternetOpen(const std::string& agent, std::uint32_t accessType, std::uint32_t) override
    {
        if (accessType != INTERNET_OPEN_TYPE_PRECONFIG && accessType != openTypeDirect)
            return 0;
        if (!ensureCurlGlobalInit())
            return 0;
        return addSession(CurlSession{agent, accessType == openTypeDirect});
    }

    InternetHandle InternetOpenUrl(InternetHandle session, const std::string& url, const std::string& headers,
                                   std::uint32_t flags, KeepWaiting keepWaiting) override
    {
        const CurlSession* found = findSession(session);
        if (!found)
            return 0;
        PullTransferCurl::Settings settings;
        settings.agent = found->agent;
        settings.noCache = (flags & INTERNET_FLAG_RELOAD) != 0;
        settings.directOnly = found->directOnly;
        settings.limits = limits_;
        settings.extraHeaders = headers;
        settings.keepWaiting = std::move(keepWaiting);
        auto transfer = std::make_shared<PullTransferCurl>(url, settings);
        if (!transfer->open())
            return 0;
        return addRequest(session, std::move(transfer));
    }

private:
    TransferLimits limits_;
};

}  // namespace

std::unique_ptr<Internet> createInternet(const TransferLimits& limits)
{
    return std::make_unique<InternetCurl>(limits);
}

}  // namespace velmora
