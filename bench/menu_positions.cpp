// velmora-menu-positions: prints "name x y" for every item of the main
// window's menu bar, the item's centre relative to the window, from a main
// window built with the program's own fonts and style on the offscreen
// platform. The soak benchmark clicks there with xdotool.
#include <cstdio>
#include <memory>
#include <stdexcept>

#include <QApplication>
#include <QMenuBar>

#include "base/failure_handler.h"
#include "app/form1.h"
#include "app/menu_table.h"
#include "base/window_registry.h"
#include "platform/windows/message_pump_qt.h"
#include "platform/platform.h"

namespace {

using namespace velmora;

class PlainPane final : public BrowserPane {
public:
    explicit PlainPane(QWidget* parent) : widget_(new QWidget(parent)) {}
    QWidget* widget() override { return widget_; }
    void Navigate2(const std::string&) override {}
    void enableUserControls() override {}
    void muteAudio() override {}

private:
    QWidget* widget_;
};

class EmptyNotice final : public TransferControl {
public:
    std::string OpenURL(const std::string&) override { return {}; }
};

class NoStacking final : public WindowStacking {
public:
    bool SetWindowPos(QWidget&, long, int, int, int, int, unsigned) override { return true; }
};

class NoQuestions final : public MessageBox {
public:
    int askYesNo(const std::string&, const std::string&) override { return IDNO; }
};

class NoShell final : public Shell {
public:
    bool Run(const std::string&, int) override { return true; }
};

// Just enough of a platform to build the main window; nothing reaches the
// network, the disk or the window system's stacking.
class LayoutOnlyPlatform final : public Platform {
public:
    std::unique_ptr<BrowserPane> createBrowserPane(QWidget* parent) override
    {
        return std::make_unique<PlainPane>(parent);
    }
    std::unique_ptr<TransferControl> createTransferControl() override { return std::make_unique<EmptyNotice>(); }
    std::unique_ptr<Internet> createInternet(const TransferLimits&) override { throw std::logic_error("no HTTP here"); }
    std::unique_ptr<SignatureVerifier> createSignatureVerifier() override
    {
        throw std::logic_error("no release check here");
    }
    WindowStacking& windowStacking() override { return stacking_; }
    MessageBox& messageBox() override { return questions_; }
    Shell& shell() override { return shell_; }
    Clock& clock() override { return systemClock(); }
    MessagePump& messagePump() override { return pump_; }
    FileSystem& fileSystem() override { return localFileSystem(); }
    std::string programFolder() override { return "."; }
    UserFolder userFolder() override { throw std::logic_error("no downloads here"); }
    bool canCreateFilesIn(const std::string&) override { return true; }

private:
    NoStacking stacking_;
    NoQuestions questions_;
    NoShell shell_;
    QtMessagePump pump_;
};

class SilentFailures final : public FailureHandler {
public:
    void report(const Failure&) override {}
};

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    LayoutOnlyPlatform platform;
    SilentFailures failures;
    WindowRegistry windows(failures);
    const AppContext context{platform, windows, failures};
    Form1 form(context);
    form.show();
    QMenuBar* bar = form.findChild<QMenuBar*>();
    for (const MenuItem& item : kMenuItems) {
        const QRect geometry = bar->actionGeometry(form.menuItem(item.name));
        const QPoint centre = bar->mapTo(&form, geometry.center());
        std::printf("%.*s %d %d\n", static_cast<int>(item.name.size()), item.name.data(), centre.x(), centre.y());
    }
    return 0;
}
