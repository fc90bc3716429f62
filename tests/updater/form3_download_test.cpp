// Downloads through the updater window on scripted HTTP: the status line and
// the progress lines after each kind of ending, and what Stop, a second
// Download and closing the window do while a download runs.
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include <gtest/gtest.h>

#include "tests/updater/form3_fixture.h"
#include "updater/resume_record.h"

namespace velmora::test {
namespace {

std::string progressLines(const char* percent, const char* size, const char* done, const char* speed)
{
    return std::string("下载进度： ") + percent + " %\r\n软件大小： " + size + "\r\n下载大小： " + done
         + "\r\n下载速度： " + speed;
}

std::vector<std::string> statusLines(std::initializer_list<const char*> texts)
{
    std::vector<std::string> lines;
    for (const char* text : texts)
        lines.push_back(std::string("连接状态： ") + text);
    return lines;
}

FakeResponse body(std::optional<std::string> length, std::vector<FakeRead> reads)
{
    return {false, std::move(length), std::move(reads)};
}

enum class Stop { Never, BeforeDownload, AtFirstYield };

struct EndingCase {
    const char* id;
    FakeResponse response;
    bool sessionFails;
    Stop stop;
    std::vector<std::string> statuses;  // Label5 after each status
    std::string progress;               // Label4 at the end
    int bar;                            // the bar's value at the end (-1: empty)
    std::optional<std::string> archive; // what stands at the target at the end
};

void PrintTo(const EndingCase& c, std::ostream* os)
{
    *os << c.id;
}

std::vector<EndingCase> endingCases()
{
    const std::string a(512, 'a'), b(488, 'b'), c(512, 'c');
    const auto started = {"连接服务器...", "发送请求...", "获取远程文件信息...", "下载数据..."};
    auto then = [&](std::initializer_list<const char*> ending) {
        std::vector<std::string> all = statusLines(started);
        for (const std::string& line : statusLines(ending))
            all.push_back(line);
        return all;
    };
    return {
        {"WholeWithLength", body("1000", {FakeRead::data(a), FakeRead::data(b)}), false, Stop::Never,
         then({"连接服务器", "下载完成"}), progressLines("100.0", "0.9765625", "0.9765625", "1.0009765625"), 100,
         a + b},
        {"WholeWithoutLength", body(std::nullopt, {FakeRead::data(a), FakeRead::data("xyz")}), false,
         Stop::Never, then({"连接服务器", "下载完成"}), progressLines("0.0", "0", "0.5029296875", "1.0009765625"),
         100, a + "xyz"},
        {"ReadFails", body("1000", {FakeRead::data(a), FakeRead::failure()}), false, Stop::Never,
         then({"连接服务器", "下载被中止"}), progressLines("51.0", "0.9765625", "0.5", "1.0009765625"), 51,
         std::nullopt},
        {"ShorterThanAnnounced", body("1000", {FakeRead::data(a)}), false, Stop::Never,
         then({"连接服务器", "下载被中止"}), progressLines("51.0", "0.9765625", "0.5", "1.0009765625"), 51,
         std::nullopt},
        {"CutOffWithoutLength", body(std::nullopt, {FakeRead::data(a), FakeRead::failure()}), false,
         Stop::Never, then({"连接服务器", "下载被中止"}), progressLines("0.0", "0", "0.5", "1.0009765625"), -1,
         std::nullopt},
        {"StopDuring", body("1536", {FakeRead::data(a), FakeRead::data(c), FakeRead::data(a)}), false,
         Stop::AtFirstYield, then({"停止下载", "停止下载"}), progressLines("67.0", "1.5", "1", "1.0009765625"), 67,
         std::nullopt},
        {"StopBefore", body("1536", {FakeRead::data(a), FakeRead::data(c), FakeRead::data(a)}), false,
         Stop::BeforeDownload, then({"停止下载", "停止下载"}), progressLines("33.0", "1.5", "0.5", "1.0009765625"),
         33, std::nullopt},
        {"RequestRefused", FakeResponse{true, std::nullopt, {}}, false, Stop::Never,
         statusLines({"连接服务器...", "发送请求...", "发送请求失败", "发送请求失败"}), "准备：", -1, std::nullopt},
        {"NoSession", body("1", {FakeRead::data("z")}), true, Stop::Never,
         statusLines({"连接服务器...", "连接服务器失败"}), "准备：", -1, std::nullopt},
    };
}

class Form3EndingTest : public Form3Test, public ::testing::WithParamInterface<EndingCase> {};

TEST_P(Form3EndingTest, TheLabelsNameHowTheDownloadEnded)
{
    const EndingCase& c = GetParam();
    Form3& f = open();
    net->respond(archiveUrl(), c.response);
    net->sessionFails = c.sessionFails;
    if (c.stop == Stop::BeforeDownload)
        f.Command2().click();
    pump.onDoEvents = [&](int call) {
        if (call == 1 && c.stop == Stop::AtFirstYield)
            f.Command2().click();
    };
    f.Command1().click();

    EXPECT_EQ(statusLabels, c.statuses);
    EXPECT_EQ(f.Label5().text().toStdString(), c.statuses.back());
    EXPECT_EQ(f.Label4().text().toStdString(), c.progress);
    EXPECT_EQ(f.ProgressBar1().value(), c.bar);
    EXPECT_EQ(f.ProgressBar1().maximum(), 100);
    const auto archive = files.files.find(kTargetPath);
    EXPECT_EQ(archive == files.files.end() ? std::nullopt : std::optional(archive->second), c.archive);
    EXPECT_TRUE(f.Command1().isEnabled());
    EXPECT_TRUE(failures.reports.empty());
}

INSTANTIATE_TEST_SUITE_P(Endings, Form3EndingTest, ::testing::ValuesIn(endingCases()),
                         [](const auto& info) { return std::string(info.param.id); });

TEST_F(Form3Test, EveryBlockComputesItsCaptionAndTheFirstIsShownAtOnce)
{
    Form3& f = open();
    net->respond(archiveUrl(), body("4096", {FakeRead::block(512), FakeRead::block(512), FakeRead::block(512)}));
    std::vector<std::string> computed;
    pump.onDoEvents = [&](int call) {
        computed.push_back(f.progressCaptionText());
        if (call == 1) {
            EXPECT_EQ(f.Label4().text().toStdString(), f.progressCaptionText());
            EXPECT_EQ(f.ProgressBar1().value(), 12);
        }
    };
    f.Command1().click();
    EXPECT_EQ(computed, (std::vector<std::string>{progressLines("12.0", "4", "0.5", "1.0009765625"),
                                                   progressLines("25.0", "4", "1", "1.0009765625"),
                                                   progressLines("38.0", "4", "1.5", "1.0009765625")}));
    EXPECT_EQ(f.Label4().text().toStdString(), computed.back());
}

// A download that goes on from 12.3 MB an earlier one left: the window says
// so where it would say 下载数据..., in full within the status line, and the
// first progress already counts the kept bytes against the whole length.
TEST_F(Form3Test, ADownloadThatGoesOnSaysHowMuchItHasAlready)
{
    Form3& f = open();
    constexpr std::int32_t kKept = 12897485;  // 12.3 MiB
    constexpr std::int32_t kTotal = kKept + 1024;
    files.files[kTargetPath + ".part"] = std::string(kKept, 'k');
    files.files[kTargetPath + ".part.resume"] = recordText({archiveUrl(), "\"v1\"", kTotal});
    FakeResponse rest = body("1024", {FakeRead::block(512), FakeRead::block(512)});
    rest.headers = {{HTTP_QUERY_STATUS_CODE, "206"},
                    {HTTP_QUERY_CONTENT_RANGE, "bytes 12897485-12898508/12898509"},
                    {HTTP_QUERY_ETAG, "\"v1\""}};
    net->respond(archiveUrl(), rest);

    f.Command1().click();

    ASSERT_EQ(statusLabels.size(), 6u);
    EXPECT_EQ(statusLabels[3], "连接状态： 继续下载（已有 12.3 MB）");
    f.Label5().setText(QString::fromStdString(statusLabels[3]));
    EXPECT_LE(f.Label5().fontMetrics().horizontalAdvance(f.Label5().text()), f.Label5().width());
    EXPECT_EQ(statusLabels.back(), "连接状态： 下载完成");
    EXPECT_EQ(net->urlHeaders.at(0), "Range: bytes=12897485-\r\nIf-Range: \"v1\"\r\n");
    EXPECT_EQ(files.files[kTargetPath].size(), static_cast<std::size_t>(kTotal));
}

TEST_F(Form3Test, ASpeedOfZeroIsShownAsTenAndHandedBackSo)
{
    clock.script({100.0, 103.0});  // the start, then one byte three seconds later
    Form3& f = open();
    net->respond(archiveUrl(), body("1", {FakeRead::data("z")}));
    Cls_DownLoad& cdf = *f.downloader();
    auto shown = cdf.entDLFileDowning;
    std::vector<std::int32_t> speedsAfter;
    cdf.entDLFileDowning = [&](std::string& url, std::int32_t& done, std::int32_t& size, std::int32_t& speed) {
        shown(url, done, size, speed);
        speedsAfter.push_back(speed);
    };
    f.Command1().click();
    EXPECT_EQ(speedsAfter, std::vector<std::int32_t>{10});
    EXPECT_EQ(f.Label4().text().toStdString(),
              progressLines("100.0", "0.0009765625", "0.0009765625", "0.009765625"));
}

TEST_F(Form3Test, WithoutALengthTheBarIsBusyWhileTheDownloadRuns)
{
    Form3& f = open();
    net->respond(archiveUrl(), body(std::nullopt, {FakeRead::block(512), FakeRead::block(512)}));
    std::vector<std::pair<int, int>> ranges;
    pump.onDoEvents = [&](int) { ranges.emplace_back(f.ProgressBar1().minimum(), f.ProgressBar1().maximum()); };
    f.Command1().click();
    ASSERT_FALSE(ranges.empty());
    EXPECT_EQ(ranges.front(), std::make_pair(0, 0));
    EXPECT_EQ(f.ProgressBar1().maximum(), 100);
    EXPECT_EQ(f.ProgressBar1().value(), 100);
}

TEST_F(Form3Test, DownloadFetchesTheAddressInTheBoxAtTheClickIntoTheProgramFolder)
{
    Form3& f = open();
    const std::string typed = "http://127.0.0.1:9/其他/velmora2.zip";
    f.Text1().setText(QString::fromStdString(typed));
    net->respond(typed, body("3", {FakeRead::data("new")}));
    f.Command1().click();
    EXPECT_EQ(net->urlsOpened, std::vector<std::string>{typed});
    EXPECT_EQ(files.files[kTargetPath], "new");
    EXPECT_EQ(f.Label5().text(), QStringLiteral("连接状态： 下载完成"));
}

// The program's folder when this user can write it; otherwise the user's own
// folder, which the last status names once the archive stands there.
TEST_F(Form3Test, TheArchiveGoesWhereThisUserCanWrite)
{
    const std::string userTarget = "/home/user/.local/share/velmora/Velmora1.0.zip";
    const struct {
        const char* name;
        bool programFolderWritable;
        bool stopped;
        std::string target;
        const char* last;
    } cases[] = {
        {"Portable", true, false, kTargetPath, "连接状态： 下载完成"},
        {"Installed", false, false, userTarget, "连接状态： 下载完成，保存在 ~/.local/share/velmora"},
        {"InstalledStopped", false, true, userTarget + ".part", "连接状态： 停止下载"},
    };
    Form3& f = open();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        files.files.clear();
        platform.foldersMade.clear();
        platform.folderWritable = c.programFolderWritable;
        net->respond(archiveUrl(), body("3", {FakeRead::data("new")}));
        if (c.stopped)
            f.Command2().click();
        f.Command1().click();
        EXPECT_EQ(files.files.count(c.target), 1u);
        EXPECT_EQ(f.Label5().text().toStdString(), c.last);
        EXPECT_EQ(platform.foldersMade.count(platform.user.path), c.programFolderWritable ? 0u : 1u)
            << "the user's folder is made only where the program's cannot be written";
    }
}

TEST_F(Form3Test, DownloadIsRefusedWhileOneRuns)
{
    Form3& f = open();
    net->respond(archiveUrl(), body("1024", {FakeRead::block(512, 'a'), FakeRead::block(512, 'b')}));
    pump.onDoEvents = [&](int call) {
        if (call != 1)
            return;
        EXPECT_FALSE(f.Command1().isEnabled());
        // Not the address box, where the next key typed would replace it.
        EXPECT_EQ(f.focusWidget(), &f.Command2());
        f.Command1().click();  // a disabled button does nothing
        EXPECT_THROW(f.Command1_Click(), DownloadError);
        EXPECT_FALSE(f.Command1().isEnabled()) << "the refusal leaves the running download's state";
    };
    f.Command1().click();
    EXPECT_EQ(net->urlsOpened.size(), 1u);
    EXPECT_EQ(files.opened.size(), 1u);
    EXPECT_EQ(files.files[kTargetPath], std::string(512, 'a') + std::string(512, 'b'));
    EXPECT_EQ(f.Label5().text(), QStringLiteral("连接状态： 下载完成"));
    EXPECT_TRUE(f.Command1().isEnabled());
    EXPECT_EQ(f.focusWidget(), &f.Command1()) << "Download takes its focus back";
    EXPECT_TRUE(failures.reports.empty());
}

TEST_F(Form3Test, AFailureThatEndsTheDownloadIsReportedAndDownloadWorksAgain)
{
    Form3& f = open();
    net->respond(archiveUrl(), body("1024", {FakeRead::block(512), FakeRead::block(512)}));
    files.failWriteNumber = 2;
    f.Command1().click();
    ASSERT_EQ(failures.reports.size(), 1u);
    EXPECT_EQ(failures.reports[0].rfind("下载更新|写入文件", 0), 0u) << failures.reports[0];
    EXPECT_EQ(f.Label5().text(), QStringLiteral("连接状态： 下载数据..."));
    EXPECT_EQ(f.Label4().text().toStdString(), progressLines("50.0", "1", "0.5", "1.0009765625"));
    EXPECT_TRUE(f.Command1().isEnabled());

    files.failWriteNumber = 0;
    net->respond(archiveUrl(), body("3", {FakeRead::data("abc")}));
    f.Command1().click();
    EXPECT_EQ(files.files[kTargetPath], "abc");
    EXPECT_EQ(failures.reports.size(), 1u);
}

// Closing by the window's own close button and by the registry (as the
// main window is closed) take the same way.
class Form3CloseTest : public Form3Test, public ::testing::WithParamInterface<bool> {
protected:
    void closeForm()
    {
        if (GetParam())
            windows.unload(FormKind::Form3);
        else
            form->close();
    }
};

TEST_P(Form3CloseTest, ClosingDuringADownloadStopsItAndClosesOnceItHasEnded)
{
    Form3& f = open();
    net->respond(archiveUrl(), body("2048", {FakeRead::block(512), FakeRead::block(512), FakeRead::block(512),
                                             FakeRead::block(512)}));
    int notificationsWhileGone = 0;
    auto shown = f.downloader()->entDLFileDowning;
    f.downloader()->entDLFileDowning = [&](std::string& u, std::int32_t& d, std::int32_t& s, std::int32_t& v) {
        if (!form)
            ++notificationsWhileGone;
        else
            shown(u, d, s, v);
    };
    pump.onDoEvents = [&](int call) {
        if (call != 1)
            return;
        closeForm();
        // What the event loop would do with a window closed now.
        flushDeletes();
        ASSERT_FALSE(form.isNull()) << "the window must outlive the running download";
        EXPECT_TRUE(form->isVisible());
    };
    f.Command1().click();

    EXPECT_EQ(notificationsWhileGone, 0);
    ASSERT_FALSE(form.isNull());
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(statusLabels.back(), "连接状态： 停止下载");
    EXPECT_EQ(net->readSizes.size(), 2u) << "one more block after the close, then the stop";
    EXPECT_EQ(net->openHandleCount(), 0u);
    flushDeletes();
    EXPECT_TRUE(form.isNull());
    EXPECT_EQ(windows.find(FormKind::Form3), nullptr);
    EXPECT_TRUE(failures.reports.empty());
}

TEST_P(Form3CloseTest, ClosingWhileIdleClosesAtOnce)
{
    open();
    closeForm();
    flushDeletes();
    EXPECT_TRUE(form.isNull());
    EXPECT_EQ(windows.find(FormKind::Form3), nullptr);
}

INSTANTIATE_TEST_SUITE_P(ByButtonAndByRegistry, Form3CloseTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Unload" : "CloseButton"; });

}  // namespace
}  // namespace velmora::test
