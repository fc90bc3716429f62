#include "platform/browser/browser_pane_webengine.h"
#include "platform/browser/browser_webengine.h"
#include "platform/windows/message_box_qt.h"
#include "platform/windows/message_pump_qt.h"
#include "platform/platform.h"
#include "platform/files/program_folder.h"
#include "platform/files/user_folder.h"

namespace velmora {

namespace {

// The real system: Qt WebEngine for the panes, the native HTTP backend, the
// native stacking call and shell.
class DesktopPlatform final : public Platform {
public:
    std::unique_ptr<BrowserPane> createBrowserPane(QWidget* parent) override
    {
        // Made with the first pane: a program run that shows no page (the
        // updater alone) never starts the engine.
        if (!browser_)
            browser_ = std::make_unique<WebEngineBrowser>();
        return createWebEnginePane(*browser_, parent);
    }
    std::unique_ptr<TransferControl> createTransferControl() override
    {
        return velmora::createTransferControl();
    }
    std::unique_ptr<Internet> createInternet(const TransferLimits& limits) override
    {
        return velmora::createInternet(limits);
    }
    std::unique_ptr<SignatureVerifier> createSignatureVerifier() override
    {
        return velmora::createSignatureVerifier();
    }

    WindowStacking& windowStacking() override { return *stacking_; }
    MessageBox& messageBox() override { return messageBox_; }
    Shell& shell() override { return *shell_; }
    Clock& clock() override { return systemClock(); }
    MessagePump& messagePump() override { return pump_; }
    FileSystem& fileSystem() override { return localFileSystem(); }
    std::string programFolder() override { return velmora::programFolder(); }
    UserFolder userFolder() override { return velmora::userFolder(); }
    bool canCreateFilesIn(const std::string& folder) override { return velmora::canCreateFilesIn(folder); }

private:
    std::unique_ptr<WebEngineBrowser> browser_;
    std::unique_ptr<WindowStacking> stacking_ = createWindowStacking();
    QtMessageBox messageBox_;
    std::unique_ptr<Shell> shell_ = createShell();
    QtMessagePump pump_;
};

}  // namespace

std::unique_ptr<Platform> createDesktopPlatform()
{
    return std::make_unique<DesktopPlatform>();
}

}  // namespace velmora
