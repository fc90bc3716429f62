// velmora-updater-bench URL FOLDER
//
// Runs one download through the real updater window on the desktop platform
// (the libcurl backend, the system clock, Qt's message pump, real files), on
// whichever Qt platform QT_QPA_PLATFORM names: offscreen, or xcb on an X
// server. Download is clicked as a user would; the archive lands in
// FOLDER/Velmora1.0.zip. Prints the labels at the end, the bytes, the
// seconds, the throughput, and how often the window yielded and Label4 was
// painted. Exits 0 whatever the download's outcome; non-zero only when it
// could not run.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "base/app_context.h"
#include "base/failure_handler.h"
#include "base/window_registry.h"
#include "platform/platform.h"
#include "platform/files/program_folder.h"
#include "updater/form3.h"
#include "updater/release_signature.h"

namespace {

using namespace velmora;

class PrintingFailureHandler final : public FailureHandler {
public:
    void report(const Failure& failure) override
    {
        std::fprintf(stderr, "failure: %s: %s: %s\n", failure.action.c_str(), failure.attempt.c_str(),
                     failure.detail.c_str());
        ++count;
    }
    int count = 0;
};

class CountingPump final : public MessagePump {
public:
    explicit CountingPump(MessagePump& pump) : pump_(pump) {}
    void DoEvents() override
    {
        ++calls;
        pump_.DoEvents();
    }
    long long calls = 0;

private:
    MessagePump& pump_;
};

// The desktop platform with the program's folder moved to FOLDER and its
// yields counted.
class BenchPlatform final : public Platform {
public:
    BenchPlatform(Platform& desktop, std::string folder)
        : desktop_(desktop), folder_(std::move(folder)), pump_(desktop.messagePump()) {}

    std::unique_ptr<BrowserPane> createBrowserPane(QWidget* parent) override
    {
        return desktop_.createBrowserPane(parent);
    }
    std::unique_ptr<TransferControl> createTransferControl() override { return desktop_.createTransferControl(); }
    std::unique_ptr<Internet> createInternet(const TransferLimits& limits) override { return desktop_.createInternet(limits); }
    std::unique_ptr<SignatureVerifier> createSignatureVerifier() override
    {
        return desktop_.createSignatureVerifier();
    }
    WindowStacking& windowStacking() override { return desktop_.windowStacking(); }
    MessageBox& messageBox() override { return desktop_.messageBox(); }
    Shell& shell() override { return desktop_.shell(); }
    Clock& clock() override { return desktop_.clock(); }
    MessagePump& messagePump() override { return pump_; }
    FileSystem& fileSystem() override { return desktop_.fileSystem(); }
    std::string programFolder() override { return folder_; }
    UserFolder userFolder() override { return desktop_.userFolder(); }
    bool canCreateFilesIn(const std::string& folder) override { return desktop_.canCreateFilesIn(folder); }

    long long yields() const { return pump_.calls; }

private:
    Platform& desktop_;
    std::string folder_;
    CountingPump pump_;
};

class PaintCounter final : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
    long long paints = 0;
};

std::string firstLine(const QString& text)
{
    const std::string all = text.toStdString();
    return all.substr(0, all.find('\r'));
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: velmora-updater-bench URL FOLDER\n");
        return 2;
    }
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QApplication app(qtArgc, qtArgv);

    const std::unique_ptr<Platform> desktop = createDesktopPlatform();
    BenchPlatform platform(*desktop, argv[2]);
    PrintingFailureHandler failures;
    WindowRegistry windows(failures);
    const AppContext context{platform, windows, failures, builtInUpdateKey()};
    windows.define(FormKind::Form3, [&] { return std::make_unique<Form3>(context); });
    auto* form = static_cast<Form3*>(windows.show(FormKind::Form3));
    if (!form || failures.count > 0)
        return 1;
    form->Text1().setText(QString::fromUtf8(argv[1]));
    PaintCounter label4Paints;
    form->Label4().installEventFilter(&label4Paints);
    // Mapped and painted once before the clock starts.
    for (int i = 0; i < 10; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    label4Paints.paints = 0;

    const auto start = std::chrono::steady_clock::now();
    form->Command1().click();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    const std::filesystem::path archive = std::filesystem::path(argv[2]) / "Velmora1.0.zip";
    std::error_code error;
    const auto bytes = std::filesystem::file_size(archive, error);
    std::printf("platform: %s\n", QApplication::platformName().toUtf8().constData());
    std::printf("status: %s\nprogress: %s\n", form->Label5().text().toUtf8().constData(),
                firstLine(form->Label4().text()).c_str());
    std::printf("bytes: %lld\nyields: %lld\nLabel4 paints: %lld\n", error ? -1LL : static_cast<long long>(bytes),
                platform.yields(), label4Paints.paints);
    std::printf("seconds: %.3f\nMB/s: %.1f\n", seconds, !error && seconds > 0 ? bytes / seconds / 1e6 : 0.0);
    return failures.count > 0 ? 1 : 0;
}
