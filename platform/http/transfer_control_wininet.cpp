// The notice fetch on WinINet: one blocking GET into memory, decoded to text
// as on every platform.
#include <algorithm>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/system/call_within.h"
#include "platform/http/document_text.h"
#include "platform/http/http_rules.h"
#include "platform/http/internet.h"
#include "platform/system/platform_error.h"
#include "platform/http/transfer_control.h"
#include "platform/http/request_wininet.h"
#include "platform/http/session_wininet.h"

namespace velmora {

namespace {

// A document cut at the limit may end inside a UTF-8 character; drop that
// partial character rather than reading the whole text as GB18030.
std::string_view withoutCutCharacter(std::string_view bytes)
{
    for (std::size_t drop = 1; drop <= 3 && drop < bytes.size() && !isValidUtf8(bytes); ++drop) {
        if (isValidUtf8(bytes.substr(0, bytes.size() - drop)))
            return bytes.substr(0, bytes.size() - drop);
    }
    return bytes;
}

using std::chrono::milliseconds;

// WinINet has no time-out for a whole transfer: each read is given what is
// left of it, a read that ends past it fails the fetch, and the call as a
// whole is waited for no longer than it.
class Deadline {
public:
    explicit Deadline(milliseconds total) : total_(total), start_(std::chrono::steady_clock::now()) {}
    bool limited() const { return total_.count() > 0; }
    bool passed() const { return limited() && left().count() <= 0; }
    milliseconds left() const
    {
        return total_ - std::chrono::duration_cast<milliseconds>(std::chrono::steady_clock::now() - start_);
    }

private:
    milliseconds total_;
    std::chrono::steady_clock::time_point start_;
};

[[noreturn]] void throwTimedOut(milliseconds total)
{
    throw PlatformError(FailureClass::TimedOut, kNoticeFetchFailed,
                        "超过 " + std::to_string(total.count()) + " 毫秒仍未收完");
}

// The body of one fetch, read until its end or the notice's byte limit, each
// read given what is left of the whole limit.
std::string readDocument(WinInetRequest& request, const TransferLimits& limits, const Deadline& deadline)
{
    std::string bytes;
    char block[4096];
    while (bytes.size() < kNoticeByteLimit) {
        if (deadline.passed())
            throwTimedOut(limits.total);
        if (deadline.limited())
            request.limitReadWait(std::min(limits.stall, deadline.left()));
        std::size_t count = 0;
        if (!request.read(block, std::min(sizeof block, kNoticeByteLimit - bytes.size()), count))
            throw PlatformError(request.failureClass(), kNoticeFetchFailed, request.failure());
        if (count == 0)
            return documentText(bytes);
        bytes.append(block, count);
    }
    return documentText(withoutCutCharacter(bytes));
}

// Whatever the status, the body is the notice: a site without one answers
// with an error page, which is no marker and no failure.
std::string fetch(WinInetRequest& request, void* session, const std::string& url, const TransferLimits& limits,
                  const Deadline& deadline)
{
    if (!request.open(session, url, INTERNET_FLAG_RELOAD))
        throw PlatformError(request.failureClass(), kNoticeFetchFailed, request.failure());
    return readDocument(request, limits, deadline);
}

class TransferControlWinInet final : public TransferControl {
public:
    explicit TransferControlWinInet(const TransferLimits& limits) : limits_(limits) {}

    std::string OpenURL(const std::string& url) override
    {
        const Deadline deadline(limits_.total);
        std::string reason;
        FailureClass failureClass = FailureClass::Unclassified;
        std::shared_ptr<WinInetSession> session =
            WinInetSession::open(kHttpAgent, INTERNET_OPEN_TYPE_PRECONFIG, 0, limits_, &reason, &failureClass);
        if (!session)
            throw PlatformError(failureClass, kNoticeFetchFailed, reason);
        const auto request = std::make_shared<WinInetRequest>(WinInetRequest::Statuses::Any);
        if (!deadline.limited())
            return fetch(*request, session->handle(), url, limits_, deadline);
        // The open, every redirect hop and a head that trickles in have only
        // WinINet's per-step limits; the whole limit holds over them from
        // here. Closing the request, or the session before there is one,
        // ends what is still blocked in them, and the fetch touches neither
        // once cancelled.
        void* const handle = session->handle();
        const TransferLimits limits = limits_;
        std::optional<std::string> text = callWithin<std::string>(
            deadline.left(),
            [session, request, handle, url, limits, deadline] { return fetch(*request, handle, url, limits, deadline); },
            [&session, &request] { request->cancel([&session] { session->close(); }); });
        if (!text)
            throwTimedOut(limits_.total);
        return std::move(*text);
    }

private:
    TransferLimits limits_;
};

}  // namespace

std::unique_ptr<TransferControl> createTransferControl(const TransferLimits& limits)
{
    return std::make_unique<TransferControlWinInet>(limits);
}

}  // namespace velmora
