#pragma once
// What every backend of Internet shares: handle numbers for sessions and the
// requests made in them, closed as WinINet closes them, and the copying of a
// request's response headers and body out through the five calls. A backend
// supplies InternetOpen and InternetOpenUrl; its Request type offers
//   const ResponseHeaders& response() const;
//   bool read(char* out, std::size_t capacity, std::size_t& count);
// and holds the request's own KeepWaiting for its reads. A request stays
// alive for the length of every call into it, so that a handler it calls
// cannot destroy it under itself by closing its handle.
#include <cstddef>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/http/internet.h"
#include "platform/http/response_headers.h"

namespace velmora {

template <typename Session, typename Request>
class PullInternet : public Internet {
public:
    bool HttpQueryInfo(InternetHandle request, std::uint32_t infoLevel, char* buffer,
                       std::uint32_t& bufferLength, std::uint32_t&) final
    {
        const std::shared_ptr<Request> found = findRequest(request);
        if (!found || buffer == nullptr)
            return false;
        const std::optional<std::string> value = found->response().get(infoLevel);
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
                          std::uint32_t& bytesRead) final
    {
        bytesRead = 0;
        const std::shared_ptr<Request> found = findRequest(request);
        if (!found || buffer == nullptr)
            return false;
        std::size_t count = 0;
        const bool ok = found->read(static_cast<char*>(buffer), toRead, count);
        bytesRead = static_cast<std::uint32_t>(count);
        return ok;
    }

    void InternetCloseHandle(InternetHandle handle) final
    {
        if (requests_.erase(handle) > 0)
            return;
        // Closing a session closes the requests made in it, as in WinINet;
        // the requests go first, while their session is still open.
        if (sessions_.count(handle) > 0) {
            std::erase_if(requests_, [handle](const auto& entry) { return entry.second.session == handle; });
            sessions_.erase(handle);
        }
    }

protected:
    InternetHandle addSession(Session session)
    {
        const InternetHandle handle = next_++;
        sessions_.emplace(handle, std::move(session));
        return handle;
    }

    Session* findSession(InternetHandle handle)
    {
        const auto found = sessions_.find(handle);
        return found == sessions_.end() ? nullptr : &found->second;
    }

    InternetHandle addRequest(InternetHandle session, std::shared_ptr<Request> request)
    {
        const InternetHandle handle = next_++;
        requests_.emplace(handle, Entry{session, std::move(request)});
        return handle;
    }

private:
    struct Entry {
        InternetHandle session = 0;
        std::shared_ptr<Request> request;
    };

    std::shared_ptr<Request> findRequest(InternetHandle handle)
    {
        const auto found = requests_.find(handle);
        return found == requests_.end() ? nullptr : found->second.request;
    }

    // Numbers are this layer's own and never reused, so a closed handle
    // never reaches the library again.
    InternetHandle next_ = 1;
    std::map<InternetHandle, Session> sessions_;
    std::map<InternetHandle, Entry> requests_;
};

}  // namespace velmora
