// The updater window on the real HTTP backend, clock, pump and files against
// a loopback server: how real endings of a transfer come out on its labels.
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QPointer>
#include <QTimer>

#include <gtest/gtest.h>

#include "platform/http/internet.h"
#include "tests/support/test_files.h"
#include "tests/support/test_folder.h"
#include "tests/support/window_test_fixture.h"
#include "tools/loopback_server/loopback_server.h"
#include "updater/cls_download.h"
#include "updater/form3.h"

namespace velmora::test {
namespace {

using loopback::ScriptedReply;

struct ServerCase {
    const char* id;
    ScriptedReply reply;
    const char* status;
    const char* firstProgressLine;
    bool archiveArrives;
};

void PrintTo(const ServerCase& c, std::ostream* os)
{
    *os << c.id;
}

std::vector<ServerCase> serverCases()
{
    const std::string bytes = patternBytes(0, 5000);
    const std::string head5000 = loopback::responseHead(200, {{"Content-Length", "5000"}});
    return {
        {"Whole", ScriptedReply::response(200, bytes), "连接状态： 下载完成", "下载进度： 100.0 %", true},
        {"CloseDelimited", ScriptedReply::closeDelimited(200, bytes), "连接状态： 下载完成", "下载进度： 0.0 %",
         true},
        // Held until the window's first yield: the cut comes in the middle
        // of the body, after the response has begun.
        {"CutOff", ScriptedReply().send(head5000 + bytes.substr(0, 2000)).hold().close(), "连接状态： 下载被中止",
         "下载进度： 40.0 %", false},
        {"Reset", ScriptedReply().send(head5000 + bytes.substr(0, 1024)).hold().reset(), "连接状态： 下载被中止",
         "下载进度： 20.0 %", false},
        {"NotFound", ScriptedReply::error(404), "连接状态： 发送请求失败", nullptr, false},
    };
}

// The updater window on the real backend, against a server of the test's own,
// downloading into a folder of the test's own.
class LoopbackWindowTest : public WindowTest {
protected:
    void prepare(const std::string& id)
    {
        folder = std::filesystem::temp_directory_path()
               / ("velmora-form3-" + std::to_string(::getpid()) + "-" + id);
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        platform.folder = folder.string();
        platform.useFileSystem(localFileSystem());
        platform.useClock(systemClock());
        platform.makeInternet = [] { return createInternet(); };
        windows.define(FormKind::Form3, [this] { return std::make_unique<Form3>(context); });
    }
    void TearDown() override
    {
        WindowTest::TearDown();
        std::filesystem::remove_all(folder);
    }

    std::filesystem::path folder;
    loopback::LoopbackServer server;
};

class Form3LoopbackTest : public LoopbackWindowTest, public ::testing::WithParamInterface<ServerCase> {
protected:
    void SetUp() override { prepare(GetParam().id); }
};

TEST_P(Form3LoopbackTest, TheStatusLineNamesTheRealEnding)
{
    const ServerCase& c = GetParam();
    server.script("/velmora.zip", c.reply);
    auto* f = static_cast<Form3*>(windows.show(FormKind::Form3));
    ASSERT_NE(f, nullptr);
    f->Text1().setText(QString::fromStdString(server.url("/velmora.zip")));
    QTimer::singleShot(0, f, [this] { server.releaseHeld(); });
    f->Command1().click();

    EXPECT_EQ(f->Label5().text().toStdString(), c.status);
    const std::string progress = f->Label4().text().toStdString();
    EXPECT_EQ(progress.substr(0, progress.find('\r')), c.firstProgressLine ? c.firstProgressLine : "准备：");
    const std::filesystem::path archive = folder / "Velmora1.0.zip";
    ASSERT_EQ(std::filesystem::exists(archive), c.archiveArrives);
    if (c.archiveArrives) {
        std::ifstream in(archive, std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), patternBytes(0, 5000));
    }
    EXPECT_TRUE(failures.reports.empty());
}

INSTANTIATE_TEST_SUITE_P(Replies, Form3LoopbackTest, ::testing::ValuesIn(serverCases()),
                         [](const auto& info) { return std::string(info.param.id); });

// A Stop click or a close that reaches the window while a block is reported
// is dispatched in the yield after that block, so the download ends after
// one more block, on the real pump as on the fake. One that comes while the
// server is silent ends the wait at once, with the window showing every
// byte that came before the silence.
struct InterruptCase {
    const char* id;
    void (*interrupt)(Form3&);
    bool closes;
    bool inSilence;
};

void PrintTo(const InterruptCase& c, std::ostream* os)
{
    *os << c.id;
}

class Form3InterruptTest : public LoopbackWindowTest, public ::testing::WithParamInterface<InterruptCase> {
protected:
    void SetUp() override { prepare(GetParam().id); }
};

TEST_P(Form3InterruptTest, EndsOneBlockAfterTheBlockItArrivedDuringOrAtOnceInASilence)
{
    constexpr std::int32_t kArrivesDuringBlock = 40;
    constexpr std::int32_t kBlocksBeforeSilence = 32;
    const InterruptCase& c = GetParam();
    const std::string body = patternBytes(0, 1 << 20);
    server.script("/velmora.zip",
                  c.inSilence ? ScriptedReply()
                                    .send(loopback::responseHead(200, {{"Content-Length", std::to_string(body.size())}})
                                          + body.substr(0, kBlocksBeforeSilence * 512))
                                    .pause(std::chrono::seconds(10))
                                    .send(body.substr(kBlocksBeforeSilence * 512))
                              : ScriptedReply::response(200, body));
    auto* f = static_cast<Form3*>(windows.show(FormKind::Form3));
    ASSERT_NE(f, nullptr);
    const QPointer<Form3> alive(f);
    f->Text1().setText(QString::fromStdString(server.url("/velmora.zip")));
    Cls_DownLoad& dl = *f->downloader();
    const auto showProgress = dl.entDLFileDowning;
    std::string shownWhenInterrupted;
    const auto interrupt = [&] {
        shownWhenInterrupted = f->Label4().text().toStdString();
        c.interrupt(*f);
    };
    dl.entDLFileDowning = [&](std::string& url, std::int32_t& done, std::int32_t& size, std::int32_t& speed) {
        showProgress(url, done, size, speed);
        if (!c.inSilence && done == kArrivesDuringBlock * 512)
            QMetaObject::invokeMethod(f, interrupt, Qt::QueuedConnection);
        if (c.inSilence && done == kBlocksBeforeSilence * 512)
            QTimer::singleShot(500, f, interrupt);
    };
    const auto started = std::chrono::steady_clock::now();
    f->Command1().click();

    EXPECT_EQ(dl.lastOutcome(), DownloadOutcome::Stopped);
    const std::int32_t kept = c.inSilence ? kBlocksBeforeSilence : kArrivesDuringBlock + 1;
    EXPECT_EQ(std::filesystem::file_size(folder / "Velmora1.0.zip.part"), static_cast<std::uintmax_t>(kept * 512));
    if (c.inSilence) {
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(3));
        EXPECT_NE(shownWhenInterrupted.find("下载大小： 16\r\n"), std::string::npos) << shownWhenInterrupted;
    }
    EXPECT_EQ(!alive.isNull() && alive->isVisible(), !c.closes);
    EXPECT_TRUE(failures.reports.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Interrupts, Form3InterruptTest,
    ::testing::Values(InterruptCase{"StopClicked", [](Form3& f) { f.Command2().click(); }, false, false},
                      InterruptCase{"CloseAsked", [](Form3& f) { f.close(); }, true, false},
                      InterruptCase{"StopClickedInASilence", [](Form3& f) { f.Command2().click(); }, false, true},
                      InterruptCase{"CloseAskedInASilence", [](Form3& f) { f.close(); }, true, true}),
    [](const auto& info) { return std::string(info.param.id); });

// A server that stops sending in the middle of the archive: the read gives up
// after the stall limit (a short one here), the download ends as a cut-off,
// the archive in the folder stays as it was, and the window works again.
TEST_F(WindowTest, AStalledDownloadEndsAndTheWindowWorksAgain)
{
    const std::filesystem::path folder = testPath("velmora-form3-stall");
    std::filesystem::create_directories(folder);
    const std::string oldArchive = "PK\x03\x04 the release already here";
    std::ofstream(folder / "Velmora1.0.zip", std::ios::binary) << oldArchive;
    platform.folder = folder.string();
    platform.useFileSystem(localFileSystem());
    TransferLimits limits = kDownloadLimits;
    limits.stall = std::chrono::seconds(1);
    platform.makeInternet = [limits] { return createInternet(limits); };
    windows.define(FormKind::Form3, [this] { return std::make_unique<Form3>(context); });

    loopback::LoopbackServer server;
    const std::string bytes = patternBytes(0, 5000);
    server.script("/stalls", ScriptedReply()
                                 .send(loopback::responseHead(200, {{"Content-Length", "5000"}}) + bytes.substr(0, 2000))
                                 .pause(std::chrono::minutes(5)));
    server.script("/whole", ScriptedReply::response(200, bytes));
    auto* f = static_cast<Form3*>(windows.show(FormKind::Form3));
    ASSERT_NE(f, nullptr);
    f->Text1().setText(QString::fromStdString(server.url("/stalls")));
    f->Command1().click();

    EXPECT_EQ(f->Label5().text().toStdString(), "连接状态： 下载被中止");
    const auto readArchive = [&] { return fileBytes(folder / "Velmora1.0.zip"); };
    EXPECT_EQ(readArchive(), oldArchive);
    EXPECT_TRUE(f->Command1().isEnabled());
    EXPECT_TRUE(failures.reports.empty());

    f->Text1().setText(QString::fromStdString(server.url("/whole")));
    f->Command1().click();
    EXPECT_EQ(f->Label5().text().toStdString(), "连接状态： 下载完成");
    EXPECT_EQ(readArchive(), bytes);
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace velmora::test
