#include "platform/http/proxy_environment.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "platform/http/http_rules.h"

namespace velmora {

namespace {

std::string lowerCase(std::string_view text)
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

// The first of two variables that is set and not empty.
std::string firstSet(const EnvironmentLookup& lookup, const char* first, const char* second)
{
    for (const char* name : {first, second}) {
        const std::optional<std::string> value = lookup(name);
        if (value && !trimmedText(*value).empty())
            return std::string(trimmedText(*value));
    }
    return {};
}

// "scheme://user@host:port/path" -> "host:port"; the text itself without "://".
std::string_view authorityOf(std::string_view address)
{
    if (const auto scheme = address.find("://"); scheme != std::string_view::npos)
        address.remove_prefix(scheme + 3);
    address = address.substr(0, address.find_first_of("/?#"));
    if (const auto at = address.rfind('@'); at != std::string_view::npos)
        address.remove_prefix(at + 1);
    return address;
}

// The host of an authority, without its port ("[::1]:80" -> "::1").
std::string_view hostOf(std::string_view authority)
{
    if (!authority.empty() && authority.front() == '[')
        return authority.substr(1, authority.find(']') - 1);
    return authority.substr(0, authority.find(':'));
}

bool bypassed(std::string_view host, std::string_view noProxy)
{
    const std::string name = lowerCase(host);
    while (!noProxy.empty()) {
        const auto comma = noProxy.find(',');
        std::string_view entry = trimmedText(noProxy.substr(0, comma));
        noProxy = comma == std::string_view::npos ? std::string_view{} : noProxy.substr(comma + 1);
        if (entry == "*")
            return true;
        if (!entry.empty() && entry.front() == '.')
            entry.remove_prefix(1);
        entry = hostOf(entry);
        if (entry.empty())
            continue;
        const std::string wanted = lowerCase(entry);
        if (name == wanted
            || (name.size() > wanted.size() && name.ends_with(wanted) && name[name.size() - wanted.size() - 1] == '.'))
            return true;
    }
    return false;
}

}  // namespace

std::optional<std::string> processEnvironment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? std::optional<std::string>(value) : std::nullopt;
}

ProxyChoice proxyFromEnvironment(std::string_view url, const EnvironmentLookup& lookup)
{
    const bool https = lowerCase(url.substr(0, 8)) == "https://";
    return {https ? firstSet(lookup, "https_proxy", "HTTPS_PROXY") : firstSet(lookup, "http_proxy", "HTTP_PROXY"),
            firstSet(lookup, "no_proxy", "NO_PROXY")};
}

bool goesThroughProxy(std::string_view url, const ProxyChoice& choice)
{
    return !choice.proxy.empty() && !bypassed(hostOf(authorityOf(url)), choice.noProxy);
}

std::string proxyAddressText(std::string_view proxy) { return std::string(authorityOf(trimmedText(proxy))); }

}  // namespace velmora
