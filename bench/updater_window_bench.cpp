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
#include "base/window_registry.h"
#include "bench/bench_platform.h"
#include "platform/files/program_folder.h"
#include "updater/form3.h"
#include "updater/release_signature.h"

namespace {

using namespace velmora;
using velmora::bench::BenchPlatform;
using velmora::bench::PrintingFailureHandler;

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
