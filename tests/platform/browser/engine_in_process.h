#pragma once
// For tests that run the real engine inside the test process.
#include <unistd.h>

#include <QByteArray>

#include "platform/browser/browser_engine.h"

namespace velmora {

// The engine's settings are taken before the application object exists:
// no GPU, and as root no sandbox, as the program has them on this machine.
inline bool prepareEngineInProcess()
{
    if (qEnvironmentVariableIsEmpty("QTWEBENGINE_CHROMIUM_FLAGS"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
    if (::geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    prepareBrowserEngine();
    return true;
}

}  // namespace velmora
