// The update check at start with the real notice fetch against the loopback
// server and the program's own failure dialog: for every way the site
// answers, which window the user gets, whether they are asked, what the
// dialog says and hides behind its details button, and that the archive
// already in the program's folder is left alone.
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

#include <QCoreApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include <gtest/gtest.h>

#include "base/dialog_failure_handler.h"
#include "app/form1.h"
#include "app/update_notice.h"
#include "platform/http/transfer_control.h"
#include "tests/support/test_folder.h"
#include "tests/support/window_test_fixture.h"
#include "tools/loopback_server/loopback_server.h"

namespace velmora::test {
namespace {

using loopback::ScriptedReply;
using namespace std::chrono_literals;

const std::string kArchive = "PK\x03\x04 the release that stands in the folder";

struct SiteRow {
    const char* name;
    std::optional<ScriptedReply> notice;  // nothing: nobody listens (an offline site)
    bool asked;                           // the update question comes
    const char* dialog;                   // the failure dialog's text; nullptr: none
    const char* details = nullptr;        // how its details begin
    const char* address = nullptr;        // the notice's address, if not the server's
};

void PrintTo(const SiteRow& row, std::ostream* os) { *os << row.name; }

class UpdateCheckHttpTest : public WindowTest, public ::testing::WithParamInterface<SiteRow> {
protected:
    void SetUp() override
    {
        folder = testPath("velmora-update-check");
        std::filesystem::create_directories(folder);
        std::ofstream(folder / "Velmora1.0.zip", std::ios::binary) << kArchive;
        platform.folder = folder.string();
        const SiteRow& row = GetParam();
        std::string url = row.address ? row.address : "http://127.0.0.1:" + std::to_string(closedPort()) + std::string(kNoticePath);
        if (row.notice) {
            server.emplace();
            server->script(std::string(kNoticePath), *row.notice);
            url = server->url(kNoticePath);
        }
        // Form1 asks for the site's own address; the fetch goes to the test's.
        platform.notice = [this, url](const std::string& asked) {
            EXPECT_NE(asked.find(kNoticePath), std::string::npos);
            return control->OpenURL(url);
        };
        registry.define(FormKind::Form1, [this] { return std::make_unique<Form1>(dialogContext); });
    }
    void TearDown() override
    {
        WindowTest::TearDown();
        std::filesystem::remove_all(folder);
    }

    static std::uint16_t closedPort()
    {
        const loopback::LoopbackServer gone;
        return gone.port();
    }

    std::filesystem::path folder;
    std::optional<loopback::LoopbackServer> server;
    std::unique_ptr<TransferControl> control = createTransferControl();
    DialogFailureHandler dialogs;
    WindowRegistry registry{dialogs};
    AppContext dialogContext{platform, registry, dialogs};
};

TEST_P(UpdateCheckHttpTest, TheUserGetsTheMainWindowAndWordsTheyCanRead)
{
    const SiteRow& row = GetParam();
    platform.messageBoxFake().answers = {IDNO};
    auto* form = static_cast<Form1*>(registry.show(FormKind::Form1));
    QCoreApplication::processEvents();  // the dialog comes from the event loop

    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->windowTitle().toStdString().rfind("VelmoraV1.0--", 0), 0u);
    EXPECT_EQ(platform.messageBoxFake().questions.size(), row.asked ? 1u : 0u);
    QMessageBox* dialog = dialogs.dialog();
    if (!row.dialog) {
        EXPECT_EQ(dialog, nullptr) << dialog->text().toStdString();
        EXPECT_NE(form->Text1().text(), QStringLiteral("Text1")) << "the notice's text is in Text1";
    } else {
        ASSERT_NE(dialog, nullptr);
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(dialog->windowTitle().toStdString(), "Velmora 出错了");
        EXPECT_EQ(dialog->text().toStdString(), row.dialog);
        EXPECT_EQ(dialog->detailedText().toStdString().rfind(row.details, 0), 0u)
            << dialog->detailedText().toStdString();
        std::vector<std::string> captions;
        for (QAbstractButton* button : dialog->buttons())
            captions.push_back(button->text().toStdString());
        std::sort(captions.begin(), captions.end());
        EXPECT_EQ(captions, (std::vector<std::string>{"显示详细信息...", "确定"}));
        EXPECT_EQ(form->Text1().text(), QStringLiteral("Text1"));
    }
    EXPECT_FALSE(form->IsOnTop);
    std::ifstream in(folder / "Velmora1.0.zip", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), kArchive);
}

INSTANTIATE_TEST_SUITE_P(
    SiteAnswers, UpdateCheckHttpTest,
    ::testing::Values(
        SiteRow{"NoNoticePublished", ScriptedReply::error(404), false, nullptr},
        SiteRow{"ServerError", ScriptedReply::error(500), false, nullptr},
        SiteRow{"MarkerOnAnErrorPage", ScriptedReply::response(404, std::string(kUpdateMarker)), true, nullptr},
        SiteRow{"Offline", std::nullopt, false,
                "「检查更新」未能完成：\n获取更新通知失败：服务器拒绝连接，请检查网络连接或稍后再试\n\n程序将继续运行。",
                "获取更新通知失败：Couldn't connect to server"},
        SiteRow{"HostNotFound", std::nullopt, false,
                "「检查更新」未能完成：\n获取更新通知失败：找不到服务器，请检查网络连接\n\n程序将继续运行。",
                "获取更新通知失败：Couldn't resolve host name", "http://velmora.invalid/update/velmora1.0.txt"},
        SiteRow{"ResetBeforeAnswering", ScriptedReply().reset(), false,
                "「检查更新」未能完成：\n获取更新通知失败：与服务器的连接意外断开，请稍后再试\n\n程序将继续运行。",
                "获取更新通知失败：Failure when receiving data from the peer"}),
    [](const auto& info) { return std::string(info.param.name); });

// The one real wait of the notice fetch: a site that accepts the connection
// and never answers holds the start for the stall limit, not for ever.
TEST_F(WindowTest, ASilentSiteHoldsTheStartOnlyForTheNoticeLimits)
{
    loopback::LoopbackServer server;
    server.script(std::string(kNoticePath), ScriptedReply().pause(std::chrono::minutes(5)));
    const auto control = createTransferControl();
    platform.notice = [&](const std::string&) { return control->OpenURL(server.url(kNoticePath)); };
    windows.define(FormKind::Form1, [this] { return std::make_unique<Form1>(context); });

    const auto started = std::chrono::steady_clock::now();
    auto* form = static_cast<Form1*>(windows.show(FormKind::Form1));
    const auto waited = std::chrono::steady_clock::now() - started;

    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(form->isVisible());
    ASSERT_EQ(failures.received.size(), 1u);
    EXPECT_EQ(failures.received[0].failureClass, FailureClass::TimedOut) << failures.received[0].detail;
    EXPECT_GE(waited, kNoticeLimits.stall);
    EXPECT_LT(waited, kNoticeLimits.total + 1s);
}

}  // namespace
}  // namespace velmora::test
