// velmora-download-driver URL FILE
//
// Runs one download with the real backend, clock and files, as the updater
// window would (with the release check, when the program was built with a
// key), and prints what it saw: the status codes in order, the number
// of progress notifications, the result, the outcome, the bytes, the seconds
// (of the whole call, and up to the end of the body, before the file is
// flushed to the disk and renamed) and the throughput. Exits 0 whatever the download's outcome; non-zero only
// when it could not run.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/files/byte_file.h"
#include "platform/system/clock.h"
#include "platform/http/internet.h"
#include "platform/windows/message_pump.h"
#include "updater/cls_download.h"
#include "updater/release_signature.h"

namespace {

// No window runs here, so there is nothing to dispatch.
class NoWindowsPump final : public velmora::MessagePump {
public:
    void DoEvents() override {}
};

const char* outcomeName(velmora::DownloadOutcome outcome)
{
    switch (outcome) {
    case velmora::DownloadOutcome::None: return "None";
    case velmora::DownloadOutcome::Complete: return "Complete";
    case velmora::DownloadOutcome::CutOff: return "CutOff";
    case velmora::DownloadOutcome::Stopped: return "Stopped";
    case velmora::DownloadOutcome::ConnectFailed: return "ConnectFailed";
    case velmora::DownloadOutcome::RequestFailed: return "RequestFailed";
    case velmora::DownloadOutcome::SignatureRejected: return "SignatureRejected";
    }
    return "?";
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: velmora-download-driver URL FILE\n");
        return 2;
    }
    try {
        const auto internet = velmora::createInternet();
        const auto signatureInternet = velmora::createInternet(velmora::kSignatureLimits);
        NoWindowsPump pump;
        // The program's own key, as the updater window checks with it.
        const std::optional<velmora::Ed25519PublicKey> key = velmora::builtInUpdateKey();
        std::unique_ptr<velmora::SignatureVerifier> verifier;
        std::optional<velmora::ReleaseCheck> check;
        if (key) {
            verifier = velmora::createSignatureVerifier();
            check.emplace(velmora::ReleaseCheck{*key, *verifier, *signatureInternet});
        }
        velmora::Cls_DownLoad downloader(*internet, velmora::systemClock(), pump, velmora::localFileSystem(),
                                         std::move(check));
        std::vector<std::int32_t> statuses;
        std::int64_t notifications = 0;
        std::int64_t bytes = 0;
        // The body has ended at status 9 or 5; what follows is the flush to
        // the disk and the rename, which curl -o does not do.
        std::chrono::steady_clock::time_point bodyEnded{};
        downloader.entDLFileStatus = [&](std::int32_t& code) {
            statuses.push_back(code);
            if (code == velmora::kStatusEndOfData || code == velmora::kStatusStopped)
                bodyEnded = std::chrono::steady_clock::now();
        };
        downloader.entDLFileDowning = [&](std::string&, std::int32_t& downloaded, std::int32_t&, std::int32_t&) {
            ++notifications;
            bytes = downloaded;
        };

        const auto start = std::chrono::steady_clock::now();
        const std::int32_t result = downloader.DLFile(argv[1], argv[2]);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

        std::printf("statuses:");
        for (std::int32_t code : statuses)
            std::printf(" %d", code);
        std::printf("\nprogress notifications: %lld\nresult: %d\noutcome: %s\nbytes: %lld\n",
                    static_cast<long long>(notifications), result, outcomeName(downloader.lastOutcome()),
                    static_cast<long long>(bytes));
        const double bodySeconds =
            bodyEnded == std::chrono::steady_clock::time_point{}
                ? seconds
                : std::chrono::duration<double>(bodyEnded - start).count();
        std::printf("seconds: %.3f\nbody seconds: %.3f\nMB/s: %.1f\n", seconds, bodySeconds,
                    seconds > 0 ? bytes / seconds / 1e6 : 0.0);
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "velmora-download-driver: %s\n", error.what());
        return 1;
    }
}
