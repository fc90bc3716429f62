// The downloader's WinINet-shaped operations on libcurl. Each handle stands
// for a session (the agent and proxy choice) or a request (one pull transfer).
#include <cstring>
#include <map>
#include <memory>

#include "platform/curl_global.h"
#include "platform/internet.h"
#include "platform/pull_transfer_curl.h"

namespace velmora {

namespace {

constexpr std::uint32_t openTypeDirect = 1;  // INTERNET_OPEN_TYPE_DIRECT

class InternetCurl final : public Internet {
public:
    InternetHandle InternetOpen(const std::string& agent, std::uint32_t accessType, std::uint32_t) override
    {
        if (accessType != INTERNET_OPEN_TYPE_PRECONFIG && accessType != openTypeDirect)
            return 0;
        if (!ensureCurlGlobalInit())
            return 0;
        const InternetHandle handle = next_++;
        sessions_[handle] = Session{agent, accessType == openTypeDirect};
        return handle;
    }

    InternetHandle InternetOpenUrl(InternetHandle session, const std::string& url, std::uint32_t flags) override
    {
        const auto found = sessions_.find(session);
        if (found == sessions_.end())
            return 0;
        PullTransferCurl::Settings settings;
        settings.agent = found->second.agent;
        settings.noCache = (flags & INTERNET_FLAG_RELOAD) != 0;
        settings.directOnly = found->second.directOnly;
        auto transfer = std::make_unique<PullTransferCurl>(url, settings);
        if (!transfer->open())
            return 0;
        const InternetHandle handle = next_++;
        requests_[handle] = Request{session, std::move(transfer)};
        return handle;
    }

    bool HttpQueryInfo(InternetHandle request, std::uint32_t infoLevel, char* buffer,
                       std::uint32_t& bufferLength, std::uint32_t&) override
    {
        const auto found = requests_.find(request);
        if (found == requests_.end() || infoLevel != HTTP_QUERY_CONTENT_LENGTH || buffer == nullptr)
            return false;
        const auto& value = found->second.transfer->contentLength();
        if (!value)
            return false;
        if (value->size() >= bufferLength) {
            // As WinINet does: the length needed, with room for the NUL.
            bufferLength = static_cast<std::uint32_t>(value->size() + 1);
            return false;
        }
        std::memcpy(buffer, value->data(), value->size());
        buffer[value->size()] = '\0';
        bufferLength = static_cast<std::uint32_t>(value->size());
        return true;
    }

    bool InternetReadFile(InternetHandle request, void* buffer, std::uint32_t toRead,
                          std::uint32_t& bytesRead) override
    {
        bytesRead = 0;
        const auto found = requests_.find(request);
        if (found == requests_.end() || buffer == nullptr)
            return false;
        std::size_t count = 0;
        const bool ok = found->second.transfer->read(static_cast<char*>(buffer), toRead, count);
        bytesRead = static_cast<std::uint32_t>(count);
        return ok;
    }

    void InternetCloseHandle(InternetHandle handle) override
    {
        if (requests_.erase(handle) > 0)
            return;
        // Closing a session closes the requests made in it, as in WinINet.
        if (sessions_.erase(handle) > 0)
            std::erase_if(requests_, [handle](const auto& entry) { return entry.second.session == handle; });
    }

private:
    struct Session {
        std::string agent;
        bool directOnly = false;
    };
    struct Request {
        InternetHandle session = 0;
        std::unique_ptr<PullTransferCurl> transfer;
    };

    InternetHandle next_ = 1;
    std::map<InternetHandle, Session> sessions_;
    std::map<InternetHandle, Request> requests_;
};

}  // namespace

std::unique_ptr<Internet> createInternet()
{
    return std::make_unique<InternetCurl>();
}

}  // namespace velmora
