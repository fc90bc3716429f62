// The downloader's HTTP operations on WinINet itself. Each handle number
// stands for a WinINet session or one request made in it; the numbers are
// this backend's own, so a closed handle never reaches WinINet again.
#include <cstring>
#include <map>
#include <memory>

#include "platform/internet.h"
#include "platform/wininet_request.h"
#include "platform/wininet_session.h"

namespace velmora {

namespace {

class InternetWinInet final : public Internet {
public:
    InternetHandle InternetOpen(const std::string& agent, std::uint32_t accessType, std::uint32_t flags) override
    {
        auto session = WinInetSession::open(agent, accessType, flags);
        if (!session)
            return 0;
        const InternetHandle handle = next_++;
        sessions_[handle] = std::move(session);
        return handle;
    }

    InternetHandle InternetOpenUrl(InternetHandle session, const std::string& url, std::uint32_t flags) override
    {
        const auto found = sessions_.find(session);
        if (found == sessions_.end())
            return 0;
        auto request = std::make_unique<WinInetRequest>();
        if (!request->open(found->second->handle(), url, flags))
            return 0;
        const InternetHandle handle = next_++;
        requests_[handle] = Request{session, std::move(request)};
        return handle;
    }

    bool HttpQueryInfo(InternetHandle request, std::uint32_t infoLevel, char* buffer,
                       std::uint32_t& bufferLength, std::uint32_t&) override
    {
        const auto found = requests_.find(request);
        if (found == requests_.end() || infoLevel != HTTP_QUERY_CONTENT_LENGTH || buffer == nullptr)
            return false;
        const auto& value = found->second.request->contentLength();
        if (!value)
            return false;
        if (value->size() >= bufferLength) {
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
        const bool ok = found->second.request->read(static_cast<char*>(buffer), toRead, count);
        bytesRead = static_cast<std::uint32_t>(count);
        return ok;
    }

    void InternetCloseHandle(InternetHandle handle) override
    {
        if (requests_.erase(handle) > 0)
            return;
        // Closing a session closes the requests made in it, as in WinINet;
        // the requests go first, while their session handle is still open.
        if (sessions_.count(handle) > 0) {
            std::erase_if(requests_, [handle](const auto& entry) { return entry.second.session == handle; });
            sessions_.erase(handle);
        }
    }

private:
    struct Request {
        InternetHandle session = 0;
        std::unique_ptr<WinInetRequest> request;
    };

    InternetHandle next_ = 1;
    std::map<InternetHandle, std::unique_ptr<WinInetSession>> sessions_;
    std::map<InternetHandle, Request> requests_;
};

}  // namespace

std::unique_ptr<Internet> createInternet()
{
    return std::make_unique<InternetWinInet>();
}

}  // namespace velmora
