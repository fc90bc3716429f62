#pragma once
// platform/http/: the Internet interfaces, their rules and both backends, and
// the notice's text decoding. Uses system/ only.
//
// The HTTP operations the downloader needs, shaped like the five WinINet calls
// it was written against, so that one downloader runs on every backend.
//
// Handles are opaque non-zero numbers; 0 means the operation failed. A backend
// owns everything behind a handle until InternetCloseHandle is called on it.
// All calls are synchronous and are made from one thread; while one waits
// for the network it calls its request's keepWaiting (see InternetOpenUrl).
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/http/http_rules.h"
#include "platform/system/call_within.h"

namespace velmora {

using InternetHandle = std::uintptr_t;

inline constexpr std::uint32_t INTERNET_OPEN_TYPE_PRECONFIG = 0;
inline constexpr std::uint32_t INTERNET_FLAG_RELOAD = 0x80000000u;
inline constexpr std::uint32_t HTTP_QUERY_CONTENT_LENGTH = 5;
inline constexpr std::uint32_t HTTP_QUERY_LAST_MODIFIED = 11;
inline constexpr std::uint32_t HTTP_QUERY_STATUS_CODE = 19;
inline constexpr std::uint32_t HTTP_QUERY_CONTENT_RANGE = 53;
inline constexpr std::uint32_t HTTP_QUERY_ETAG = 54;

class Internet {
public:
    virtual ~Internet() = default;

    // Starts a session with the agent string and access type given.
    virtual InternetHandle InternetOpen(const std::string& agent, std::uint32_t accessType,
                                        std::uint32_t flags) = 0;

    // Called on the calling thread again and again, at least every
    // kWaitSlice (50 ms), while a request waits for the network; returning
    // false abandons the wait, and the call that waited fails. A caller that
    // must keep its window answering while a server is slow, and let its
    // user stop the wait, pumps its messages here. None blocks as WinINet
    // does.
    using KeepWaiting = std::function<bool()>;

    // Sends the request, with headers (empty, or "Name: value\r\n" lines sent
    // besides the program's own, to every hop) and waits until the response
    // has begun (status line and headers of the final response, after
    // redirects). Returns 0 when the request cannot be made or the server
    // answers with a status that isAcceptedStatus() refuses: an error page is
    // never a resource to download, but a 416 to a request whose headers ask
    // for a Range is opened for the caller to look at.
    // Only http and https addresses are accepted, also as redirect targets.
    // keepWaiting belongs to this request: it is called through every wait
    // of the open (connection, redirects, the response's head) and of every
    // read of the body, and is dropped when the request is closed (or the
    // open fails). It may pump messages, but must not close this request.
    virtual InternetHandle InternetOpenUrl(InternetHandle session, const std::string& url,
                                           const std::string& headers, std::uint32_t flags,
                                           KeepWaiting keepWaiting) = 0;

    // Copies the value of the final response's header named by infoLevel
    // (HTTP_QUERY_CONTENT_LENGTH, _LAST_MODIFIED, _STATUS_CODE as decimal
    // text, _CONTENT_RANGE, _ETAG) into buffer as NUL-terminated text.
    // Returns false when the response has no such header or it does not fit
    // (bufferLength then holds the length needed).
    virtual bool HttpQueryInfo(InternetHandle request, std::uint32_t infoLevel, char* buffer,
                               std::uint32_t& bufferLength, std::uint32_t& index) = 0;

    // Reads up to toRead bytes of the body. Returns true with bytesRead > 0
    // as soon as any bytes are there, true with bytesRead == 0 at the end of
    // the body, and false when the transfer failed (connection cut, body
    // shorter than announced, broken chunked encoding, no byte for the
    // stall limit) or the request's keepWaiting abandoned the wait; a
    // request whose read failed so hands out nothing more.
    virtual bool InternetReadFile(InternetHandle request, void* buffer, std::uint32_t toRead,
                                  std::uint32_t& bytesRead) = 0;

    virtual void InternetCloseHandle(InternetHandle handle) = 0;

};

// The backend of the platform this program is built for (libcurl on Linux,
// WinINet on Windows), waiting at most as long as limits allow.
std::unique_ptr<Internet> createInternet(const TransferLimits& limits = kDownloadLimits);

}  // namespace velmora
