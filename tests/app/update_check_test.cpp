// The update check at start: the notice decides whether the user is asked,
// and Yes hands over to the updater before the main window is ever shown.
#include <QEvent>
#include <QLineEdit>

#include <gtest/gtest.h>

#include "app/form1.h"
#include "base/site.h"
#include "app/update_notice.h"
#include "platform/windows/message_box.h"
#include "tests/support/window_test_fixture.h"

namespace velmora {
namespace {

// Counts how often a watched window is shown.
class ShowCounter final : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Show)
            ++shows;
        return false;
    }
    int shows = 0;
};

// Stands in for the updater window: its load step closes the main window.
class HandOverForm final : public Form {
public:
    explicit HandOverForm(WindowRegistry& windows) : windows_(windows) {}
    void Form_Load() override { windows_.unload(FormKind::Form1); }

private:
    WindowRegistry& windows_;
};

class UpdateCheckTest : public test::WindowTest {
protected:
    void SetUp() override
    {
        windows.define(FormKind::Form1, [this] {
            auto form = std::make_unique<Form1>(context);
            form->installEventFilter(&mainWindowShows);
            return form;
        });
        windows.define(FormKind::Form3, [this] {
            ++updaterWindowsCreated;
            return std::make_unique<HandOverForm>(windows);
        });
    }

    void startWithNotice(std::string notice)
    {
        platform.notice = [notice](const std::string&) { return notice; };
        windows.show(FormKind::Form1);
    }

    ShowCounter mainWindowShows;
    int updaterWindowsCreated = 0;
};

class NoticeWithoutMarkerTest : public UpdateCheckTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(NoticeWithoutMarkerTest, StartsAsUsualWithoutAsking)
{
    startWithNotice(GetParam());
    EXPECT_TRUE(platform.messageBoxFake().questions.empty());
    EXPECT_EQ(mainWindowShows.shows, 1);
    EXPECT_EQ(updaterWindowsCreated, 0);
    EXPECT_TRUE(failures.reports.empty());
}

INSTANTIATE_TEST_SUITE_P(AnythingButTheMarker, NoticeWithoutMarkerTest,
                         ::testing::Values("", "有更新\r\n", "有更新\n", "有更新 ", " 有更新", "有更新　",
                                           "有更", "有更新有更新", "<html><body>404 Not Found</body></html>",
                                           "Text1"));

TEST_F(UpdateCheckTest, MarkerAsksOnceBeforeAnyWindowIsShown)
{
    platform.messageBoxFake().answers = {IDNO};
    platform.notice = [this](const std::string&) {
        EXPECT_EQ(mainWindowShows.shows, 0);
        return std::string(kUpdateMarker);
    };
    windows.show(FormKind::Form1);
    EXPECT_EQ(platform.messageBoxFake().questions,
              std::vector<std::string>{"更新提示|发现新的软件可以更新，请问是否更新"});
}

TEST_F(UpdateCheckTest, NoShowsTheMainWindowAsIfNothingHadCome)
{
    platform.messageBoxFake().answers = {IDNO};
    startWithNotice(std::string(kUpdateMarker));
    EXPECT_EQ(mainWindowShows.shows, 1);
    EXPECT_EQ(updaterWindowsCreated, 0);
    ASSERT_NE(windows.find(FormKind::Form1), nullptr);
}

TEST_F(UpdateCheckTest, YesHandsOverAndTheMainWindowIsNeverShown)
{
    platform.messageBoxFake().answers = {IDYES};
    startWithNotice(std::string(kUpdateMarker));
    EXPECT_EQ(updaterWindowsCreated, 1);
    EXPECT_EQ(windows.find(FormKind::Form1), nullptr);
    ASSERT_NE(windows.find(FormKind::Form3), nullptr);
    EXPECT_TRUE(windows.find(FormKind::Form3)->isVisible());
    flushDeletes();
    EXPECT_EQ(mainWindowShows.shows, 0);
    EXPECT_TRUE(failures.reports.empty());
}

TEST_F(UpdateCheckTest, FailedFetchIsReportedAndTheMainWindowStillAppears)
{
    platform.notice = test::refuseNotice;
    auto* form = static_cast<Form1*>(windows.show(FormKind::Form1));
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(failures.reports.size(), 1u);
    EXPECT_NE(failures.reports.at(0).find("Couldn't connect to server"), std::string::npos);
    EXPECT_EQ(form->Text1().text(), QStringLiteral("Text1"));
    EXPECT_FALSE(form->IsOnTop);
    EXPECT_EQ(mainWindowShows.shows, 1);
    // The panes were told to load before the fetch failed.
    EXPECT_EQ(platform.panes.at(0)->navigations.size(), 1u);
    EXPECT_EQ(platform.panes.at(1)->navigations.size(), 1u);
}

}  // namespace
}  // namespace velmora
