#pragma once
// The failures the downloader raises itself (as opposed to the PlatformError of
// the services it uses). what() is Chinese text that can be shown to the user.
#include <stdexcept>

namespace velmora {

class DownloadError : public std::runtime_error {
public:
    using runtime_error::runtime_error;
};

}  // namespace velmora
