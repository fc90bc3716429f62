#include "updater/screen_pace.h"

namespace velmora {

bool ScreenPace::due(double nowSeconds)
{
    if (lastPush_ && nowSeconds >= *lastPush_ && nowSeconds - *lastPush_ < kFrameSeconds)
        return false;
    lastPush_ = nowSeconds;
    return true;
}

void ScreenPace::restart()
{
    lastPush_.reset();
}

}  // namespace velmora
