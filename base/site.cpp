#include "base/site.h"

namespace velmora {

std::string siteAddressOn(std::string_view scheme, std::string_view host, std::string_view path)
{
    return std::string(scheme) + "://" + std::string(host) + std::string(path);
}

std::string homePageAddressOn(std::string_view scheme, std::string_view host)
{
    return siteAddressOn(scheme, "www." + std::string(host), "");
}

std::string siteAddress(std::string_view path) { return siteAddressOn(kSiteScheme, kSiteHost, path); }

std::string homePageAddress() { return homePageAddressOn(kSiteScheme, kSiteHost); }

std::string siteCaptionName()
{
    return captionNameOf(kSiteHost);
}

std::string captionNameOf(std::string_view host)
{
    std::string name = "WWW.";
    for (char c : host)
        name += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    return name;
}

}  // namespace velmora
