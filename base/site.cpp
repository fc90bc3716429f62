#include "base/site.h"

namespace velmora {

std::string siteAddress(std::string_view path)
{
    return "http://" + std::string(kSiteHost) + std::string(path);
}

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
