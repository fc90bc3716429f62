// velmora-updater-answer-bench [FOLDER]
//
// How long the real updater window goes without a pass of its event loop
// while it downloads from a server that is slow in each way it can be: the
// archive's body silent for 5 s after its first 16 KiB, its head silent for
// 5 s, its body trickled a byte at a time, and a 256 MiB archive that comes
// at once and is then checked against its signature, made durable and
// renamed onto the old one. The window runs on the desktop platform
// (libcurl, Qt's message pump, real files in FOLDER, by default a temporary
// one) with QT_QPA_PLATFORM as set (offscreen when unset), against a
// loopback server of its own; the archive is signed with a key pair made
// for the run. A timer of 0 ms fires at every pass of the loop; the longest
// time between two firings from the click on 下载 to the end of the
// download is the row's figure. Aim: under 100 ms in every row. Prints
// figures; exits non-zero only when it could not run.
#include <sodium.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "base/app_context.h"
#include "base/window_registry.h"
#include "bench/bench_platform.h"
#include "platform/system/signature_verifier.h"
#include "tools/loopback_server/loopback_server.h"
#include "updater/form3.h"

namespace {

using namespace velmora;
using namespace std::chrono_literals;
using loopback::ScriptedReply;
using Steady = std::chrono::steady_clock;

// Every body is the first bodyLength bytes of the loopback pattern.
struct Row {
    const char* name;
    std::uint64_t bodyLength;
    ScriptedReply reply;
};

std::string headFor(std::uint64_t length)
{
    return loopback::responseHead(200, {{"Content-Length", std::to_string(length)}});
}

std::vector<Row> rows()
{
    constexpr std::uint64_t kSmall = 64 * 1024;
    constexpr std::uint64_t kTrickled = 2000;
    constexpr std::uint64_t kLarge = 256ull << 20;
    std::string trickled;
    for (std::uint64_t i = 0; i < kTrickled; ++i)
        trickled += loopback::patternByte(i);
    return {
        {"body silent 5 s", kSmall, ScriptedReply()
                                .send(headFor(kSmall))
                                .sendPattern(0, 16 * 1024)
                                .pause(5s)
                                .sendPattern(16 * 1024, kSmall - 16 * 1024)},
        {"head silent 5 s", kSmall, ScriptedReply().pause(5s).send(headFor(kSmall)).sendPattern(0, kSmall)},
        {"body trickled a byte at a time", kTrickled, ScriptedReply().send(headFor(kTrickled)).sendSpaced(trickled, 2ms)},
        {"256 MiB, signature check, flush and rename", kLarge, ScriptedReply().send(headFor(kLarge)).sendPattern(0, kLarge)},
    };
}

// Base64 of the 64-byte signature over the first size bytes of the pattern.
std::string signPattern(std::uint64_t size, const unsigned char* secretKey)
{
    std::string body(size, '\0');
    for (std::uint64_t i = 0; i < size; ++i)
        body[i] = loopback::patternByte(i);
    unsigned char signature[crypto_sign_BYTES];
    crypto_sign_detached(signature, nullptr, reinterpret_cast<const unsigned char*>(body.data()), body.size(),
                         secretKey);
    char text[sodium_base64_ENCODED_LEN(crypto_sign_BYTES, sodium_base64_VARIANT_ORIGINAL)];
    sodium_bin2base64(text, sizeof text, signature, sizeof signature, sodium_base64_VARIANT_ORIGINAL);
    return text;
}

// The longest time between two passes of the event loop while run() runs.
template <typename Run>
Steady::duration longestWithoutAPass(Run run)
{
    Steady::time_point last = Steady::now();
    Steady::duration longest{};
    QTimer everyPass;
    everyPass.setInterval(0);
    QObject::connect(&everyPass, &QTimer::timeout, [&] {
        const Steady::time_point now = Steady::now();
        longest = std::max(longest, now - last);
        last = now;
    });
    everyPass.start();
    run();
    longest = std::max(longest, Steady::now() - last);
    return longest;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc > 2) {
        std::fprintf(stderr, "usage: velmora-updater-answer-bench [FOLDER]\n");
        return 2;
    }
    if (!std::getenv("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QApplication app(qtArgc, qtArgv);
    if (sodium_init() < 0)
        return 1;

    const std::filesystem::path folder =
        argc == 2 ? std::filesystem::path(argv[1]) : std::filesystem::temp_directory_path() / "velmora-answer-bench";
    std::filesystem::create_directories(folder);
    unsigned char publicKey[crypto_sign_PUBLICKEYBYTES];
    unsigned char secretKey[crypto_sign_SECRETKEYBYTES];
    crypto_sign_keypair(publicKey, secretKey);
    Ed25519PublicKey key{};
    std::copy(std::begin(publicKey), std::end(publicKey), key.begin());

    const std::unique_ptr<Platform> desktop = createDesktopPlatform();
    bench::BenchPlatform platform(*desktop, folder.string());
    bench::PrintingFailureHandler failures;
    WindowRegistry windows(failures);
    const AppContext context{platform, windows, failures, key};
    windows.define(FormKind::Form3, [&] { return std::make_unique<Form3>(context); });
    auto* form = static_cast<Form3*>(windows.show(FormKind::Form3));
    if (!form)
        return 1;

    loopback::LoopbackServer server;
    std::printf("platform: %s\n", QApplication::platformName().toUtf8().constData());
    std::printf("%-44s %12s %10s  %s\n", "row", "longest gap", "seconds", "status");
    int n = 0;
    for (Row& row : rows()) {
        const std::string path = "/archive-" + std::to_string(++n) + ".zip";
        server.script(path, row.reply);
        server.script(path + ".sig", ScriptedReply::response(200, signPattern(row.bodyLength, secretKey)));
        form->Text1().setText(QString::fromStdString(server.url(path)));
        for (int i = 0; i < 10; ++i)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        const Steady::time_point start = Steady::now();
        const Steady::duration gap = longestWithoutAPass([&] { form->Command1().click(); });
        std::printf("%-44s %9.1f ms %10.2f  %s\n", row.name, std::chrono::duration<double, std::milli>(gap).count(),
                    std::chrono::duration<double>(Steady::now() - start).count(),
                    form->Label5().text().toUtf8().constData());
        std::fflush(stdout);
    }
    std::filesystem::remove_all(folder);
    return failures.count > 0 ? 1 : 0;
}
