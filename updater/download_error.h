#pragma once
// The failures the downloader raises itself (as opposed to the PlatformError of
// the services it uses). what() is Chinese text that can be shown to the user.
#include "platform/system/failure_class.h"

namespace velmora {

class DownloadError : public ProgramError {
public:
    using ProgramError::ProgramError;
};

}  // namespace velmora
