#include "platform/http/global_init_curl.h"

#include "platform/http/proxy_environment.h"

#include <cctype>
#include <cerrno>
#include <mutex>
#include <string_view>

namespace velmora {

bool ensureCurlGlobalInit()
{
    static std::once_flag once;
    static CURLcode result = CURLE_FAILED_INIT;
    std::call_once(once, [] { result = curl_global_init(CURL_GLOBAL_DEFAULT); });
    return result == CURLE_OK;
}

CurlHeaderList noCacheHeaders()
{
    curl_slist* list = curl_slist_append(nullptr, "Cache-Control: no-cache");
    if (curl_slist* more = list ? curl_slist_append(list, "Pragma: no-cache") : nullptr)
        return CurlHeaderList(more);
    curl_slist_free_all(list);
    return nullptr;
}

bool isHttpUrl(const char* url)
{
    const std::string_view text(url);
    const auto startsWith = [&](std::string_view prefix) {
        if (text.size() < prefix.size())
            return false;
        for (std::size_t i = 0; i < prefix.size(); ++i) {
            if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i])
                return false;
        }
        return true;
    };
    return startsWith("http://") || startsWith("https://");
}

ProxyUse useEnvironmentProxy(CURL* easy, const std::string& url)
{
    const ProxyChoice choice = proxyFromEnvironment(url);
    ProxyUse use;
    // An empty proxy keeps libcurl from its own reading of the environment.
    use.set = curl_easy_setopt(easy, CURLOPT_PROXY, choice.proxy.c_str());
    if (use.set == CURLE_OK)
        use.set = curl_easy_setopt(easy, CURLOPT_NOPROXY, choice.noProxy.c_str());
    use.throughProxy = goesThroughProxy(url, choice);
    if (use.throughProxy)
        use.proxyAddress = proxyAddressText(choice.proxy);
    return use;
}

FailureClass curlFailureClass(CURLcode result, long osErrno, bool throughProxy)
{
    switch (result) {
    case CURLE_COULDNT_RESOLVE_PROXY:
        return FailureClass::ProxyUnreachable;
    case CURLE_COULDNT_RESOLVE_HOST:
        return FailureClass::HostNotFound;
    case CURLE_COULDNT_CONNECT:
        if (throughProxy)
            return FailureClass::ProxyUnreachable;
        if (osErrno == ECONNREFUSED)
            return FailureClass::Refused;
        if (osErrno == ETIMEDOUT)
            return FailureClass::TimedOut;
        return FailureClass::NoConnection;
    case CURLE_OPERATION_TIMEDOUT:
        return FailureClass::TimedOut;
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_GOT_NOTHING:
        return osErrno == ECONNRESET || osErrno == EPIPE || osErrno == 0 ? FailureClass::Reset
                                                                          : FailureClass::NoConnection;
    case CURLE_PARTIAL_FILE:
        return FailureClass::CutOff;
    case CURLE_WEIRD_SERVER_REPLY:
    case CURLE_TOO_MANY_REDIRECTS:
    case CURLE_BAD_CONTENT_ENCODING:
    case CURLE_HTTP2:
    case CURLE_HTTP2_STREAM:
    // The address itself is checked before libcurl sees it: only a redirect
    // can lead to another scheme.
    case CURLE_UNSUPPORTED_PROTOCOL:
        return FailureClass::BadResponse;
    case CURLE_URL_MALFORMAT:
        return FailureClass::BadAddress;
    case CURLE_HTTP_RETURNED_ERROR:
        return FailureClass::HttpError;
    default:
        return FailureClass::Unclassified;
    }
}

}  // namespace velmora
