#include "app/site.h"

namespace velmora {

std::string siteAddress(std::string_view path)
{
    return "http://" + std::string(kSiteHost) + std::string(path);
}

std::string siteCaptionName()
{
    std::string name = "WWW.";
    for (char c : kSiteHost)
        name += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    return name;
}

}  // namespace velmora
