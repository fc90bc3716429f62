#include "platform/http/request_wininet.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstring>
#include <string_view>
#include <vector>

#include "platform/system/codepage_win32.h"
#include "platform/http/http_rules.h"
#include "platform/system/platform_error.h"
#include "platform/system/system_error_win32.h"

namespace velmora {

namespace {

// One response header as text, however long; nothing when it is absent.
std::optional<std::string> queryHeader(HINTERNET request, DWORD infoLevel)
{
    std::string value(512, '\0');
    for (;;) {
        DWORD length = static_cast<DWORD>(value.size());
        DWORD index = 0;
        if (::HttpQueryInfoA(request, infoLevel, value.data(), &length, &index)) {
            value.resize(length);
            return value;
        }
        if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || length <= value.size())
            return std::nullopt;
        value.resize(length);
    }
}

DWORD queryStatus(HINTERNET request)
{
    DWORD status = 0;
    DWORD length = sizeof status;
    DWORD index = 0;
    if (!::HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &length, &index))
        return 0;
    return status;
}

bool isHttpUrl(const std::string& url)
{
    URL_COMPONENTSA parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwSchemeLength = 1;  // non-zero: report the scheme
    if (!::InternetCrackUrlA(url.c_str(), static_cast<DWORD>(url.size()), 0, &parts))
        return false;
    return parts.nScheme == INTERNET_SCHEME_HTTP || parts.nScheme == INTERNET_SCHEME_HTTPS;
}

// A Location value, absolute or relative, resolved against the URL it came from.
std::optional<std::string> resolved(const std::string& base, const std::string& location)
{
    std::string out(2048, '\0');
    for (;;) {
        DWORD length = static_cast<DWORD>(out.size());
        if (::InternetCombineUrlA(base.c_str(), location.c_str(), out.data(), &length, ICU_NO_ENCODE)) {
            out.resize(length);
            return out;
        }
        if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || length <= out.size())
            return std::nullopt;
        out.resize(length + 1);
    }
}

std::optional<std::uint64_t> declaredLength(const std::optional<std::string>& text)
{
    if (!text || text->empty())
        return std::nullopt;
    std::uint64_t value = 0;
    const char* end = text->data() + text->size();
    const auto [stop, error] = std::from_chars(text->data(), end, value);
    if (error != std::errc() || stop != end)
        return std::nullopt;
    return value;
}

// The proxy a session's requests go through, as the system set it up for
// WinINet; empty when they go direct.
std::string proxyOf(HINTERNET session)
{
    // INTERNET_PROXY_INFO as the ANSI call fills it, whatever UNICODE says.
    struct ProxyInfo {
        DWORD accessType;
        const char* proxy;
        const char* bypass;
    };
    DWORD size = 0;
    ::InternetQueryOptionA(session, INTERNET_OPTION_PROXY, nullptr, &size);
    if (size < sizeof(ProxyInfo))
        return {};
    std::vector<char> buffer(size);
    if (!::InternetQueryOptionA(session, INTERNET_OPTION_PROXY, buffer.data(), &size))
        return {};
    ProxyInfo info{};
    std::memcpy(&info, buffer.data(), sizeof info);
    if (info.accessType != INTERNET_OPEN_TYPE_PROXY || !info.proxy)
        return {};
    return std::string(trimmedText(info.proxy));
}

}  // namespace

WinInetRequest::~WinInetRequest() { close(); }

void WinInetRequest::close()
{
    const std::lock_guard<std::mutex> lock(mutex_);
    if (handle_)
        ::InternetCloseHandle(static_cast<HINTERNET>(handle_));
    handle_ = nullptr;
}

void WinInetRequest::cancel(const std::function<void()>& closeSession)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    cancelled_ = true;
    if (handle_)
        ::InternetCloseHandle(static_cast<HINTERNET>(handle_));
    handle_ = nullptr;
    if (closeSession)
        closeSession();
}

bool WinInetRequest::cancelled() const
{
    const std::lock_guard<std::mutex> lock(mutex_);
    return cancelled_;
}

bool WinInetRequest::failIfCancelled()
{
    if (!cancelled())
        return false;
    failCancelled();
    return true;
}

void WinInetRequest::failCancelled()
{
    failed_ = true;
    fail(FailureClass::TimedOut, "请求已取消");
}

bool WinInetRequest::open(void* session, const std::string& url, const std::string& headers, std::uint32_t flags)
{
    close();
    response_.clear();
    received_ = 0;
    failed_ = ended_ = false;
    failure_.clear();
    failureClass_ = FailureClass::Unclassified;

    std::string current = urlForAnsiCall(url);
    for (int hop = 0; hop <= kMaxRedirects; ++hop) {
        if (failIfCancelled())
            return false;
        if (!isHttpUrl(current)) {
            fail(hop == 0 ? FailureClass::BadAddress : FailureClass::BadResponse,
                 "只能获取 http 或 https 地址：" + current);
            return false;
        }
        std::string next;
        switch (openHop(session, current, headers, flags, next)) {
        case Hop::Final: return true;
        case Hop::Failed: return false;
        case Hop::Redirect: current = std::move(next); break;
        }
    }
    fail(FailureClass::BadResponse, "重定向超过 " + std::to_string(kMaxRedirects) + " 次");
    return false;
}

WinInetRequest::Hop WinInetRequest::openHop(void* session, const std::string& url, const std::string& headers,
                                            std::uint32_t flags, std::string& next)
{
    HINTERNET request = ::InternetOpenUrlA(static_cast<HINTERNET>(session), url.c_str(),
                                           headers.empty() ? nullptr : headers.c_str(),
                                           static_cast<DWORD>(headers.size()),
                                           flags | INTERNET_FLAG_NO_AUTO_REDIRECT, 0);
    const DWORD error = request ? 0 : ::GetLastError();
    // From here on no call blocks: the lock keeps a cancel from closing the
    // session under the calls, and a cancel that came first ends the hop
    // before any of them.
    const std::lock_guard<std::mutex> lock(mutex_);
    if (cancelled_) {
        if (request)
            ::InternetCloseHandle(request);
        failCancelled();
        return Hop::Failed;
    }
    if (!request) {
        const std::string proxy = proxyOf(static_cast<HINTERNET>(session));
        if (!proxy.empty() && (error == ERROR_INTERNET_CANNOT_CONNECT || error == ERROR_INTERNET_NAME_NOT_RESOLVED)) {
            // The site is not to blame for a proxy that cannot be reached.
            fail(FailureClass::ProxyUnreachable, "无法连接到代理服务器 " + proxy + "：" + systemErrorText(error));
            return Hop::Failed;
        }
        failWithSystemError(error);
        return Hop::Failed;
    }
    const DWORD status = queryStatus(request);
    if (status >= 300 && status < 400) {
        if (const auto location = queryHeader(request, HTTP_QUERY_LOCATION)) {
            ::InternetCloseHandle(request);
            const auto target = resolved(url, *location);
            if (!target) {
                fail(FailureClass::BadResponse, "无效的重定向地址：" + *location);
                return Hop::Failed;
            }
            next = *target;
            return Hop::Redirect;
        }
    }
    if (status == 0 || (accepted_ == Statuses::SuccessOnly && !isAcceptedStatus(status, asksForRange(headers)))) {
        ::InternetCloseHandle(request);
        if (status == 0)
            fail(FailureClass::BadResponse, "服务器的应答没有状态");
        else
            fail(FailureClass::HttpError, "HTTP " + std::to_string(status));
        return Hop::Failed;
    }
    handle_ = request;
    keepHeaders(request, status);
    return Hop::Final;
}

void WinInetRequest::keepHeaders(void* request, unsigned long status)
{
    response_.set(HTTP_QUERY_STATUS_CODE, std::to_string(status));
    for (const DWORD level : {HTTP_QUERY_CONTENT_LENGTH, HTTP_QUERY_CONTENT_RANGE, HTTP_QUERY_ETAG,
                              HTTP_QUERY_LAST_MODIFIED}) {
        if (const auto value = queryHeader(static_cast<HINTERNET>(request), level))
            response_.set(level, std::string(trimmedText(*value)));
    }
}

bool WinInetRequest::read(char* out, std::size_t capacity, std::size_t& count)
{
    count = 0;
    if (failIfCancelled())
        return false;
    HINTERNET request = nullptr;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        request = static_cast<HINTERNET>(handle_);
    }
    if (!request) {
        fail(FailureClass::Unclassified, "请求未打开");
        return false;
    }
    if (failed_)
        return false;
    if (ended_)
        return true;
    if (end_) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(*end_ - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            failed_ = true;
            fail(FailureClass::TimedOut, "超过时间限制仍未收完");
            return false;
        }
        limitReadWait(std::min(stall_, left));
    }
    // Asking only for what has arrived keeps InternetReadFile from waiting
    // until the whole buffer is full. This is the call that waits.
    DWORD available = 0;
    const BOOL queried = ::InternetQueryDataAvailable(request, &available, 0, 0);
    const DWORD queryError = queried ? 0 : ::GetLastError();
    std::unique_lock<std::mutex> lock(mutex_);
    if (cancelled_) {
        lock.unlock();
        failCancelled();
        return false;
    }
    if (!queried) {
        lock.unlock();
        return readFinished(false, queryError);
    }
    const DWORD room = static_cast<DWORD>(std::min<std::size_t>(capacity, 0x10000000u));
    const DWORD ask = available == 0 ? room : std::min(available, room);
    DWORD got = 0;
    // What has arrived is there: this read does not wait.
    const BOOL ok = ::InternetReadFile(request, out, ask, &got);
    const DWORD error = ok ? 0 : ::GetLastError();
    lock.unlock();
    count = std::min<std::size_t>(got, ask);
    received_ += count;
    if (!ok && count > 0) {
        // The bytes that came before the failure are handed out first.
        failed_ = true;
        failWithSystemError(error);
        return true;
    }
    return count > 0 || readFinished(ok != FALSE, error);
}

bool WinInetRequest::readFinished(bool ok, unsigned long error)
{
    if (!ok) {
        failed_ = true;
        failWithSystemError(error);
        return false;
    }
    ended_ = true;
    const auto declared = declaredLength(response_.get(HTTP_QUERY_CONTENT_LENGTH));
    if (declared && received_ < *declared) {
        failed_ = true;
        fail(FailureClass::CutOff, "连接在正文结束前断开：收到 " + std::to_string(received_) + " 字节，应为 " +
                                       std::to_string(*declared) + " 字节");
        return false;
    }
    return true;
}

void WinInetRequest::limitReadWait(std::chrono::milliseconds span)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    if (!handle_)
        return;
    DWORD milliseconds = static_cast<DWORD>(std::max<long long>(1, span.count()));
    ::InternetSetOptionA(static_cast<HINTERNET>(handle_), INTERNET_OPTION_RECEIVE_TIMEOUT, &milliseconds,
                         sizeof milliseconds);
}

void WinInetRequest::limitTotal(std::chrono::steady_clock::time_point end, std::chrono::milliseconds stall)
{
    end_ = end;
    stall_ = stall;
}

void WinInetRequest::fail(FailureClass failureClass, std::string reason)
{
    failureClass_ = failureClass;
    failure_ = std::move(reason);
}

void WinInetRequest::failWithSystemError(unsigned long error)
{
    fail(systemFailureClass(error), systemErrorText(error));
}

}  // namespace velmora
