// The notice fetch on libcurl: one blocking GET into memory, decoded to text.
#include <algorithm>
#include <chrono>
#include <string>
#include <string_view>

#include "platform/http/global_init_curl.h"
#include "platform/http/document_text.h"
#include "platform/http/http_rules.h"
#include "platform/system/platform_error.h"
#include "platform/http/transfer_control.h"

namespace velmora {

namespace {

struct Document {
    std::string bytes;
    bool capped = false;
};

std::size_t collect(char* data, std::size_t size, std::size_t count, void* target)
{
    auto& document = *static_cast<Document*>(target);
    const std::size_t offered = size * count;
    const std::size_t room = kNoticeByteLimit - document.bytes.size();
    document.bytes.append(data, std::min(offered, room));
    if (offered <= room)
        return offered;
    // Taking less than offered makes libcurl stop the transfer here.
    document.capped = true;
    return 0;
}

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

std::string curlReason(CURLcode code, const char* detail)
{
    std::string reason = curl_easy_strerror(code);
    if (detail[0] != '\0')
        reason += std::string("（") + detail + "）";
    return reason;
}

// libcurl's low-speed check counts whole seconds.
long wholeSeconds(std::chrono::milliseconds span)
{
    return std::max<long>(1, static_cast<long>((span.count() + 999) / 1000));
}

class TransferControlCurl final : public TransferControl {
public:
    explicit TransferControlCurl(const TransferLimits& limits) : limits_(limits) {}

    std::string OpenURL(const std::string& url) override
    {
        if (!isHttpUrl(url.c_str()))
            throw PlatformError(FailureClass::BadAddress, kNoticeFetchFailed, "只能获取 http 或 https 地址：" + url);
        if (!ensureCurlGlobalInit())
            throw PlatformError(kNoticeFetchFailed, "libcurl 无法初始化");
        const CurlEasy easy(curl_easy_init());
        const CurlHeaderList headers = noCacheHeaders();
        if (!easy || !headers)
            throw PlatformError(kNoticeFetchFailed, "libcurl 无法创建请求");

        Document document;
        char detail[CURL_ERROR_SIZE] = {};
        const CURLcode set = configure(easy.get(), url, headers.get(), document, detail);
        const ProxyUse proxy = useEnvironmentProxy(easy.get(), url);
        if (set != CURLE_OK || proxy.set != CURLE_OK)
            throw PlatformError(kNoticeFetchFailed, curlReason(set != CURLE_OK ? set : proxy.set, detail));
        const CURLcode result = curl_easy_perform(easy.get());
        if (result != CURLE_OK && !(result == CURLE_WRITE_ERROR && document.capped)) {
            long osErrno = 0;
            curl_easy_getinfo(easy.get(), CURLINFO_OS_ERRNO, &osErrno);
            const FailureClass failureClass = curlFailureClass(result, osErrno, proxy.throughProxy);
            // The site is not to blame for a proxy that cannot be reached:
            // the details name the proxy the system set up.
            const std::string blamed = failureClass == FailureClass::ProxyUnreachable
                                           ? "无法连接到代理服务器 " + proxy.proxyAddress + "："
                                           : std::string();
            throw PlatformError(failureClass, kNoticeFetchFailed, blamed + curlReason(result, detail));
        }
        // Whatever the status, the body is the notice: a site without one
        // answers with an error page, which is no marker and no failure.
        const std::string_view bytes = document.capped ? withoutCutCharacter(document.bytes) : document.bytes;
        return documentText(bytes);
    }

private:
    CURLcode configure(CURL* easy, const std::string& url, curl_slist* headers, Document& document,
                              char* detail)
    {
        CURLcode rc = curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, detail);
        const auto set = [&](CURLoption option, auto value) {
            if (rc == CURLE_OK)
                rc = curl_easy_setopt(easy, option, value);
        };
        set(CURLOPT_URL, url.c_str());
        set(CURLOPT_PROTOCOLS_STR, "http,https");
        set(CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
        set(CURLOPT_FOLLOWLOCATION, 1L);
        set(CURLOPT_MAXREDIRS, static_cast<long>(kMaxRedirects));
        set(CURLOPT_USERAGENT, kHttpAgent);
        set(CURLOPT_HTTPHEADER, headers);
        set(CURLOPT_NOSIGNAL, 1L);
        set(CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(limits_.connect.count()));
        // A server that accepts and then says nothing sends less than a byte
        // a second.
        set(CURLOPT_LOW_SPEED_LIMIT, 1L);
        set(CURLOPT_LOW_SPEED_TIME, wholeSeconds(limits_.stall));
        set(CURLOPT_TIMEOUT_MS, static_cast<long>(limits_.total.count()));
        set(CURLOPT_WRITEFUNCTION, &collect);
        set(CURLOPT_WRITEDATA, &document);
        return rc;
    }

    TransferLimits limits_;
};

}  // namespace

std::unique_ptr<TransferControl> createTransferControl(const TransferLimits& limits)
{
    return std::make_unique<TransferControlCurl>(limits);
}

}  // namespace velmora
