#pragma once
// Everything the windows reach the system through, handed to each window when
// it is created. The desktop build uses createDesktopPlatform(); tests hand in
// fakes of their own.
#include <memory>
#include <string>

#include "platform/browser/browser_pane.h"
#include "platform/files/byte_file.h"
#include "platform/files/program_folder.h"
#include "platform/files/user_folder.h"
#include "platform/system/clock.h"
#include "platform/http/internet.h"
#include "platform/windows/message_box.h"
#include "platform/windows/message_pump.h"
#include "platform/system/shell.h"
#include "platform/system/signature_verifier.h"
#include "platform/http/transfer_control.h"
#include "platform/windows/window_stacking.h"

class QWidget;

namespace velmora {

class Platform {
public:
    virtual ~Platform() = default;

    // A web view owned by parent.
    virtual std::unique_ptr<BrowserPane> createBrowserPane(QWidget* parent) = 0;
    virtual std::unique_ptr<TransferControl> createTransferControl() = 0;
    // The downloader's HTTP operations, waiting at most as long as limits allow.
    virtual std::unique_ptr<Internet> createInternet(const TransferLimits& limits) = 0;
    virtual std::unique_ptr<SignatureVerifier> createSignatureVerifier() = 0;

    virtual WindowStacking& windowStacking() = 0;
    virtual MessageBox& messageBox() = 0;
    virtual Shell& shell() = 0;
    virtual Clock& clock() = 0;
    virtual MessagePump& messagePump() = 0;
    virtual FileSystem& fileSystem() = 0;
    virtual std::string programFolder() = 0;
    virtual UserFolder userFolder() = 0;
    virtual bool canCreateFilesIn(const std::string& folder) = 0;
};

std::unique_ptr<Platform> createDesktopPlatform();

}  // namespace velmora
