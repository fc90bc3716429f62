#pragma once
// One request of the downloader on WinINet whose every blocking step runs on
// a thread of its own: the open with all its redirect hops on one, and the
// body on a reader that reads ahead of the caller. Meanwhile the calling thread waits no longer than the
// limits allow and calls the request's KeepWaiting every kWaitSlice, so that
// the caller's window answers whatever the server does. A step given up (its
// time is up, or KeepWaiting said no) cancels the WinInetRequest, which
// closes what the step is blocked in, and the request has failed for good.
//
// Each request opens a session of its own: closing it is what ends an open
// blocked before there is a request handle, and a session shared with other
// requests would be closed under them.
//
// A thread may go on for a while after its request is given up or closed
// (Wine's WinINet does not end a blocked call when its handle is closed); it
// shares with this object everything it touches, and makes no WinINet call
// once the request is cancelled.
//
// Driven from one thread, as Internet is.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/http/internet.h"
#include "platform/http/response_headers.h"
#include "platform/http/session_wininet.h"

namespace velmora {

class ServedRequestWinInet {
public:
    // The request with its response's head, or nothing when it could not be
    // made, the server's status is refused, or the wait was given up.
    static std::shared_ptr<ServedRequestWinInet> open(const WinInetSessionSettings& session, const std::string& url,
                                                      const std::string& headers, std::uint32_t flags,
                                                      Internet::KeepWaiting keepWaiting);

    const ResponseHeaders& response() const;

    // As Internet::InternetReadFile: up to capacity bytes as soon as any are
    // there, count 0 at the end of the body, false when the transfer failed
    // or its wait was given up.
    bool read(char* out, std::size_t capacity, std::size_t& count);

    struct Shared;
    ServedRequestWinInet(std::shared_ptr<Shared> shared, const TransferLimits& limits,
                         Internet::KeepWaiting keepWaiting);
    // Ends the reader: what it is blocked in is closed.
    ~ServedRequestWinInet();
    ServedRequestWinInet(const ServedRequestWinInet&) = delete;
    ServedRequestWinInet& operator=(const ServedRequestWinInet&) = delete;

private:
    std::optional<bool> openStep(std::function<bool()> work);
    bool nextChunk();
    std::chrono::milliseconds readWait() const;

    std::shared_ptr<Shared> shared_;
    TransferLimits limits_;
    std::chrono::steady_clock::time_point start_;
    Internet::KeepWaiting keepWaiting_;
    bool reading_ = false;   // the reader thread was started
    bool givenUp_ = false;
    std::string current_;    // the chunk being handed out
    std::size_t at_ = 0;
};

}  // namespace velmora
