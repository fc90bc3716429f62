// Every way the server can let the update notice down, through the libcurl
// transfer control against the loopback server: whether the user is asked to
// update, sees nothing and gets the main window, or sees the failure dialog
// with the library's reason (and then the main window all the same); and
// that the fetch comes back, with its memory bounded whatever is sent.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "base/failure.h"
#include "base/failure_digest.h"
#include "base/failure_words.h"
#include "app/update_notice.h"
#include "platform/http/document_text.h"
#include "tests/platform/files/private_mounts.h"
#include "tests/platform/http/fault_matrix.h"
#include "tests/platform/http/proxy_variables.h"
#include "tests/support/child_process.h"
#include "tests/support/test_files.h"
#include "platform/system/platform_error.h"
#include "platform/http/transfer_control.h"

namespace velmora {
namespace {

using loopback::ScriptedReply;

enum class Sees {
    Prompt,   // the update question
    Nothing,  // the main window as usual
    Failure,  // the failure dialog, then the main window
};

struct NoticeRow {
    const char* name;
    std::optional<ScriptedReply> reply;  // nothing: no server listens
    Sees sees;
    std::string reason = {};  // Failure: how the library's reason begins
    FailureClass failureClass = FailureClass::Unclassified;  // Failure: what the user is told
    std::optional<TransferLimits> limits = {};  // the fetch's own when nothing
    const char* address = nullptr;  // the notice's address, if not the server's
    std::chrono::milliseconds within = kCallBound;  // the fetch comes back sooner than this
    // The environment's proxy for the row: HTTP_PROXY names the loopback
    // server ("server") or a port where nothing listens ("closed"), and
    // no_proxy what goes direct. Nothing: no proxy at all.
    std::optional<std::string> proxy = {};
    std::string noProxy = {};
};

void PrintTo(const NoticeRow& row, std::ostream* os) { *os << row.name; }

// The GB18030 bytes of the marker, as Chinese Windows tools save it.
const std::string kMarkerGbk = "\xD3\xD0\xB8\xFC\xD0\xC2";
const std::string kMarkerUtf8{kUpdateMarker};
// What libcurl keeps of a notice at most; the text made of it is at most
// three bytes of UTF-8 for each byte kept.
constexpr std::size_t kNoticeLimit = 64 * 1024;

class NoticeFaultTest : public ::testing::TestWithParam<NoticeRow> {
protected:
    std::string url()
    {
        if (GetParam().address && GetParam().reply && GetParam().proxy == "server") {
            // A proxy is asked for the whole address.
            server_.script(GetParam().address, *GetParam().reply);
            return GetParam().address;
        }
        if (GetParam().address)
            return GetParam().address;
        const std::string path{kNoticePath};
        if (!GetParam().reply)
            return "http://127.0.0.1:" + std::to_string(closedPort()) + path;
        server_.script(path, *GetParam().reply);
        return server_.url(path);
    }

    loopback::LoopbackServer server_;
};

TEST_P(NoticeFaultTest, AsksOnlyForTheMarkerAndReportsWhatFailed)
{
    const NoticeRow& row = GetParam();
    std::optional<std::string> proxy = row.proxy;
    if (proxy == "server")
        proxy = server_.url("");
    else if (proxy == "closed")
        proxy = "http://127.0.0.1:" + std::to_string(closedPort());
    const ProxyEnvironment environment(proxy, row.noProxy);
    const auto control = createTransferControl(row.limits.value_or(kNoticeLimits));

    const auto started = std::chrono::steady_clock::now();
    std::optional<std::string> text;
    std::optional<PlatformError> failure;
    std::exception_ptr thrown;
    try {
        text = control->OpenURL(url());
    } catch (const PlatformError& e) {
        failure = e;
        thrown = std::current_exception();
    }
    EXPECT_LT(std::chrono::steady_clock::now() - started, row.within);

    const Sees sees = failure ? Sees::Failure : isUpdateMarker(*text) ? Sees::Prompt : Sees::Nothing;
    ASSERT_EQ(sees, row.sees) << (failure ? failure->what() : "text of " + std::to_string(text->size()) + " bytes");
    if (failure) {
        EXPECT_EQ(failure->action(), "获取更新通知失败");
        EXPECT_EQ(failure->reason().substr(0, row.reason.size()), row.reason) << failure->reason();
        EXPECT_EQ(failure->failureClass(), row.failureClass) << failure->reason();
        // The update check is what fails, as the main window's load step
        // reports it; the dialog says so in the user's words, with
        // libcurl's text behind the details button.
        FailureDigest dialog;
        dialog.add(failureOf("加载窗口", std::make_exception_ptr(StepFailure(kUpdateCheckStep, thrown))));
        EXPECT_EQ(dialog.text(), "「检查更新」未能完成：\n获取更新通知失败：" + std::string(failureWords(row.failureClass))
                                     + "\n\n程序将继续运行。");
        EXPECT_EQ(dialog.details(), "获取更新通知失败：" + failure->reason() + "\n");
        return;
    }
    EXPECT_LE(text->size(), 3 * kNoticeLimit);
    EXPECT_TRUE(isValidUtf8(*text));
}

std::string head(const std::string& length)
{
    return loopback::responseHead(200, {{"Content-Length", length}});
}

ScriptedReply byteByByte(const std::string& body)
{
    return ScriptedReply().send(head(std::to_string(body.size()))).sendSpaced(body, std::chrono::milliseconds(50));
}

std::string garbage()
{
    std::string bytes;
    for (int round = 0; round < 4; ++round) {
        for (int b = 0; b < 256; ++b)
            bytes += static_cast<char>(b ^ (round * 0x5B));
    }
    return bytes;
}

// Bytes spaced out so that none of them is late enough for the stall limit,
// while the whole takes longer than the fetch may.
ScriptedReply trickle(const std::string& body, std::chrono::milliseconds gap)
{
    return ScriptedReply().send(head(std::to_string(body.size()))).sendSpaced(body, gap);
}

// A response head sent a byte at a time, each in time for the stall limit.
ScriptedReply trickledHead(std::chrono::milliseconds gap)
{
    return ScriptedReply().sendSpaced(head("6"), gap).send(kMarkerGbk);
}

// A redirect back to the notice, each hop answered only after a while.
ScriptedReply slowHop(std::chrono::milliseconds wait)
{
    return ScriptedReply()
        .pause(wait)
        .send(loopback::responseHead(302, {{"Location", std::string(kNoticePath)}, {"Content-Length", "0"}}))
        .close();
}

// Limits a test can wait for: a second without a byte, three in all.
constexpr TransferLimits kShortLimits{std::chrono::seconds(1), std::chrono::seconds(1), std::chrono::seconds(3)};

constexpr std::uint64_t kGigabyte = 1ull << 30;
const std::string kReset = "Failure when receiving data from the peer（Recv failure: Connection reset by peer）";

INSTANTIATE_TEST_SUITE_P(
    FaultMatrix, NoticeFaultTest,
    ::testing::Values(
        NoticeRow{"ServerRefuses", std::nullopt, Sees::Failure,
                  "Couldn't connect to server（Failed to connect to 127.0.0.1 port", FailureClass::Refused},
        NoticeRow{.name = "HostNotFound", .reply = std::nullopt, .sees = Sees::Failure,
                  .reason = "Couldn't resolve host name", .failureClass = FailureClass::HostNotFound,
                  .address = "http://velmora.invalid/update/velmora1.0.txt"},
        NoticeRow{"ResetBeforeHeaders", ScriptedReply().reset(), Sees::Failure, kReset, FailureClass::Reset},
        NoticeRow{"ResetMidBody", ScriptedReply().send(head("100") + "0123456789").pause(kStall).reset(),
                  Sees::Failure, kReset, FailureClass::Reset},
        // A site without a notice answers with an error page: text, no marker.
        NoticeRow{"NotFound", ScriptedReply::error(404), Sees::Nothing},
        NoticeRow{"ServerError", ScriptedReply::error(500), Sees::Nothing},
        NoticeRow{"MarkerWithAnErrorStatus", ScriptedReply::response(503, kMarkerUtf8), Sees::Prompt},
        // Accepts and never answers, or stops in the middle, or trickles:
        // the fetch gives up within its limits (short ones here).
        // No byte at all: the stall limit, well before the whole limit.
        NoticeRow{"SilentAfterAccepting", ScriptedReply().pause(std::chrono::minutes(5)), Sees::Failure,
                  "Timeout was reached", FailureClass::TimedOut, kShortLimits, nullptr, std::chrono::milliseconds(2500)},
        NoticeRow{"SilentInTheBody", ScriptedReply().send(head("6") + kMarkerGbk.substr(0, 3)).pause(std::chrono::minutes(5)),
                  Sees::Failure, "Timeout was reached", FailureClass::TimedOut, kShortLimits},
        NoticeRow{"TricklesPastTheWholeLimit", trickle(std::string(40, 'x'), std::chrono::milliseconds(200)),
                  Sees::Failure, "Timeout was reached（Operation timed out after 3", FailureClass::TimedOut, kShortLimits},
        // Before the first byte of the body the fetch's own limits hold as
        // well: five seconds over redirect hops that each keep within the
        // stall limit, and a head that comes in a byte at a time.
        NoticeRow{"SlowRedirectHops", slowHop(std::chrono::milliseconds(2000)), Sees::Failure,
                  "Timeout was reached（Operation timed out after ", FailureClass::TimedOut, std::nullopt, nullptr,
                  std::chrono::milliseconds(6000)},
        NoticeRow{"HeadTrickledPastTheWholeLimit", trickledHead(std::chrono::milliseconds(200)), Sees::Failure,
                  "Timeout was reached", FailureClass::TimedOut, std::nullopt, nullptr,
                  std::chrono::milliseconds(6000)},
        NoticeRow{"StallsThenResumes",
                  ScriptedReply().send(head("6") + kMarkerGbk.substr(0, 3)).pause(kStall).send(kMarkerGbk.substr(3)),
                  Sees::Prompt},
        NoticeRow{"ByteByByte", byteByByte(kMarkerUtf8), Sees::Prompt},
        NoticeRow{"LengthLongerThanBody", ScriptedReply().send(head("20") + kMarkerUtf8).close(), Sees::Failure,
                  "Transferred a partial file（transfer closed with 11 bytes remaining to read）", FailureClass::CutOff},
        // The length is all the client can know: the bytes past it are not the notice.
        NoticeRow{"LengthShorterThanBody", ScriptedReply().send(head("9") + kMarkerUtf8 + "\r\n").close(),
                  Sees::Prompt},
        NoticeRow{"LengthNotANumber", ScriptedReply().send(head("zwei") + kMarkerUtf8).close(), Sees::Failure,
                  "Weird server reply（Invalid Content-Length: value）", FailureClass::BadResponse},
        NoticeRow{"LengthBeyond32Bits", ScriptedReply().send(head("4294967296") + kMarkerUtf8).close(),
                  Sees::Failure, "Transferred a partial file（transfer closed with 4294967287 bytes remaining to read）",
                  FailureClass::CutOff},
        NoticeRow{"RedirectLoop", ScriptedReply::redirect(302, std::string(kNoticePath)), Sees::Failure,
                  "Number of redirects hit maximum amount（Maximum (10) redirects followed）", FailureClass::BadResponse},
        NoticeRow{"RedirectToAnotherScheme", ScriptedReply::redirect(302, "file:///etc/passwd"), Sees::Failure,
                  "Unsupported protocol（Protocol \"file\" not supported or disabled in libcurl）",
                  FailureClass::BadResponse},
        NoticeRow{"OneGigabyte", ScriptedReply().send(head(std::to_string(kGigabyte))).sendPattern(0, kGigabyte),
                  Sees::Nothing},
        NoticeRow{"BinaryGarbage", ScriptedReply::response(200, garbage()), Sees::Nothing},
        // The proxy the browser panes use, named in upper case as well; one
        // that cannot be reached is named, not the site; no_proxy goes direct.
        NoticeRow{.name = "ThroughTheProxy", .reply = ScriptedReply::response(200, kMarkerUtf8), .sees = Sees::Prompt,
                  .address = "http://velmora.invalid/update/velmora1.0.txt", .proxy = "server"},
        NoticeRow{.name = "ProxyCannotBeReached", .reply = std::nullopt, .sees = Sees::Failure,
                  .reason = "无法连接到代理服务器 127.0.0.1:", .failureClass = FailureClass::ProxyUnreachable,
                  .address = "http://velmora.invalid/update/velmora1.0.txt", .proxy = "closed"},
        NoticeRow{.name = "NoProxyGoesDirect", .reply = ScriptedReply::response(200, kMarkerUtf8),
                  .sees = Sees::Prompt, .proxy = "closed", .noProxy = "localhost, 127.0.0.1"}),
    [](const auto& info) { return std::string(info.param.name); });

// The notice over TLS, as from a site built with VELMORA_SITE_SCHEME https:
// libcurl checks the server's certificate against the system's store, which
// in this test's own mount namespace holds only a certificate authority the
// test made (Debian's libcurl reads /etc/ssl/certs: curl-config --ca).
TEST(NoticeOverTls, ComesFromASiteWhoseCertificateTheSystemsStoreVouchesFor)
{
    if (const std::string reason = enterPrivateMountNamespace(); !reason.empty())
        GTEST_SKIP() << "this system lets the test mount no file system of its own: " << reason;
    namespace fs = std::filesystem;
    const fs::path folder = makeScratchFolder("velmora-notice-tls-");
    fs::create_directories(folder / "site/update");
    std::ofstream(folder / "site/update/velmora1.0.txt") << kMarkerUtf8;
    const std::string port = std::to_string(closedPort());
    const test::ChildProcess site({"sh", VELMORA_TLS_NOTICE_SITE, folder.string(), port}, {}, (folder / "site.log").string());
    ASSERT_TRUE(waitUntil([&] { return fileBytes(folder / "site.log").value_or("").find("ACCEPT") != std::string::npos; },
                          std::chrono::seconds(10), std::chrono::milliseconds(10)));
    const fs::path store = "/etc/ssl/certs";
    mountTmpfs(store, 1 << 20);
    fs::copy_file(folder / "ca.pem", store / "ca-certificates.crt");
    std::string text;
    EXPECT_NO_THROW(text = createTransferControl(kNoticeLimits)->OpenURL("https://127.0.0.1:" + port + std::string(kNoticePath)));
    unmount(store);
    EXPECT_TRUE(isUpdateMarker(text)) << text;
    fs::remove_all(folder);
}

}  // namespace
}  // namespace velmora
