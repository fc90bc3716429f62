#include "platform/global_init_curl.h"

#include <cctype>
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

}  // namespace velmora
