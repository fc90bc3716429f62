#pragma once
// One HTTP GET on WinINet whose body the caller pulls piece by piece.
//
// WinINet's own behaviour is made to keep the contract of platform/internet.h:
// redirects are followed here (at most ten, http and https only), because
// WinINet follows them without limit and leaves a redirect to another scheme
// unanswered; an error status is a failed request unless the caller takes
// any status; a read returns as soon as
// any bytes are there, where InternetReadFile would wait to fill the whole
// buffer; and a body that ends short of its Content-Length is a failed
// transfer, where WinINet reports a normal end.
//
// One thread drives the request (open, read); cancel() may come from
// another, and is the only call that may.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

#include "platform/http/response_headers.h"
#include "platform/system/failure_class.h"

namespace velmora {

class WinInetRequest {
public:
    enum class Statuses { SuccessOnly, Any };

    explicit WinInetRequest(Statuses accepted = Statuses::SuccessOnly) : accepted_(accepted) {}
    ~WinInetRequest();
    WinInetRequest(const WinInetRequest&) = delete;
    WinInetRequest& operator=(const WinInetRequest&) = delete;

    // InternetOpenUrlA on session (an HINTERNET from InternetOpenA) with the
    // extra headers given ("Name: value\r\n" lines, sent to every hop), the
    // flags given and context 0, hop by hop through any redirects. False when
    // no response that isAcceptedStatus() takes came; failure() says why.
    bool open(void* session, const std::string& url, const std::string& headers, std::uint32_t flags);
    bool open(void* session, const std::string& url, std::uint32_t flags) { return open(session, url, {}, flags); }

    // The final response's status and headers, by their HTTP_QUERY_ level.
    const ResponseHeaders& response() const { return response_; }

    // Copies up to capacity bytes of the body as soon as any are there.
    // count 0 with true means the body has ended; false means the transfer
    // failed, after every byte that did arrive has been handed out.
    bool read(char* out, std::size_t capacity, std::size_t& count);

    // How long the next reads may wait for a byte; the session's receive
    // time-out until then.
    void limitReadWait(std::chrono::milliseconds span);

    // Every read from now on ends by end: it waits for a byte no longer than
    // what is left (nor than stall), and one begun after it fails as timed out.
    void limitTotal(std::chrono::steady_clock::time_point end, std::chrono::milliseconds stall);

    // Ends an open or a read blocked on another thread: the request's handle
    // is closed (on Windows that ends a call blocked in it) and closeSession
    // runs under the same lock, to end an open blocked before there is a
    // handle. The thread that drives the request makes no WinINet call on
    // either once it has seen this, and every call from then on fails.
    void cancel(const std::function<void()>& closeSession);

    // WinINet's reason, or ours, for the last failure, and its class.
    const std::string& failure() const { return failure_; }
    FailureClass failureClass() const { return failureClass_; }

private:
    enum class Hop { Final, Redirect, Failed };
    Hop openHop(void* session, const std::string& url, const std::string& headers, std::uint32_t flags,
                std::string& next);
    void keepHeaders(void* request, unsigned long status);
    bool readFinished(bool ok, unsigned long error);
    bool cancelled() const;
    // Fails the request as cancelled; failIfCancelled only once cancel() has
    // come, and says whether it had.
    bool failIfCancelled();
    void failCancelled();
    void fail(FailureClass failureClass, std::string reason);
    void failWithSystemError(unsigned long error);
    void close();

    Statuses accepted_;
    // Guards handle_ and cancelled_, and is held over every WinINet call
    // that cannot block, so that cancel() never closes a handle in the
    // middle of one. The calls that block (the open of a hop, the wait for
    // data) are made outside it, each after a look at cancelled_.
    mutable std::mutex mutex_;
    bool cancelled_ = false;
    void* handle_ = nullptr;
    ResponseHeaders response_;
    std::uint64_t received_ = 0;
    std::optional<std::chrono::steady_clock::time_point> end_;
    std::chrono::milliseconds stall_{0};
    bool failed_ = false;        // a failure is waiting behind bytes already handed out
    bool ended_ = false;
    std::string failure_;
    FailureClass failureClass_ = FailureClass::Unclassified;
};

}  // namespace velmora
