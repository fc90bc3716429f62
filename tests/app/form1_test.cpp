// The main window in-process, on Qt's offscreen platform with fake panes.
#include <QAction>
#include <QLineEdit>
#include <QMenuBar>

#include <gtest/gtest.h>

#include "app/form1.h"
#include "app/menu_table.h"
#include "base/site.h"
#include "platform/windows/message_box.h"
#include "tests/support/window_test_fixture.h"

namespace velmora {
namespace {

using test::FakeBrowserPane;

class Form1Test : public test::WindowTest {
protected:
    void SetUp() override
    {
        windows.define(FormKind::Form1, [this] { return std::make_unique<Form1>(context); });
        windows.define(FormKind::Form2, [this] {
            ++quoteWindowsCreated;
            auto form = std::make_unique<Form>();
            form->setWindowTitle("Form2");
            return form;
        });
    }

    Form1* start()
    {
        return static_cast<Form1*>(windows.show(FormKind::Form1));
    }

    FakeBrowserPane& contentPane() { return *platform.panes.at(0); }
    FakeBrowserPane& bannerPane() { return *platform.panes.at(1); }

    int quoteWindowsCreated = 0;
};

TEST_F(Form1Test, LoadStepPointsBothPanesAtTheSiteAndFetchesTheNotice)
{
    Form1* form = start();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(contentPane().navigations, std::vector<std::string>{siteAddress("/tiaozhuan/index1.html")});
    EXPECT_EQ(bannerPane().navigations, std::vector<std::string>{siteAddress("/gg/01.html")});
    // The user's keys reach the pane the user reads, not the hidden banner.
    EXPECT_TRUE(contentPane().userControls);
    EXPECT_FALSE(bannerPane().userControls);
    // Sound is for the pane the user reads; the hidden banner plays silent.
    EXPECT_FALSE(contentPane().muted);
    EXPECT_TRUE(bannerPane().muted);
    EXPECT_EQ(platform.fetchedUrls, std::vector<std::string>{siteAddress("/update/velmora1.0.txt")});
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(form->IsOnTop);
    EXPECT_EQ(form->menuItem("ckzd")->text(), QStringLiteral("窗口置顶"));
    EXPECT_EQ(form->windowTitle().toStdString(), "VelmoraV1.0--" + siteCaptionName());
    EXPECT_TRUE(failures.reports.empty());
}

TEST_F(Form1Test, MenuBarHoldsTheElevenItemsInOrder)
{
    // Written out here rather than taken from the program's own table, so a
    // wrong character in the table shows.
    const std::vector<std::string> kCaptions{"主页",     "网络电视", "高清电影", "高清剧场", "动漫天地", "高清MTV",
                                             "电台广播", "免费电话", "股票行情", "留言建议", "窗口置顶"};
    ASSERT_EQ(kCaptions.size(), kMenuItems.size());
    Form1* form = start();
    const QList<QAction*> actions = form->findChild<QMenuBar*>()->actions();
    ASSERT_EQ(actions.size(), static_cast<qsizetype>(kMenuItems.size()));
    for (std::size_t i = 0; i < kMenuItems.size(); ++i) {
        SCOPED_TRACE(std::string(kMenuItems[i].name));
        EXPECT_EQ(actions[static_cast<qsizetype>(i)]->objectName().toStdString(), kMenuItems[i].name);
        EXPECT_EQ(actions[static_cast<qsizetype>(i)]->text().toStdString(), kCaptions[i]);
        EXPECT_TRUE(actions[static_cast<qsizetype>(i)]->isEnabled());
        EXPECT_FALSE(actions[static_cast<qsizetype>(i)]->menu());
        EXPECT_FALSE(actions[static_cast<qsizetype>(i)]->isCheckable());
    }
}

struct NavigationCase {
    const char* item;
    const char* path;
};

class Form1NavigationTest : public Form1Test, public ::testing::WithParamInterface<NavigationCase> {};

TEST_P(Form1NavigationTest, ItemLoadsItsPageIntoTheContentPaneEveryTime)
{
    Form1* form = start();
    form->menuItem(GetParam().item)->trigger();
    form->menuItem(GetParam().item)->trigger();
    const std::string page = siteAddress(GetParam().path);
    EXPECT_EQ(contentPane().navigations,
              (std::vector<std::string>{siteAddress("/tiaozhuan/index1.html"), page, page}));
    EXPECT_EQ(bannerPane().navigations.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(NineItems, Form1NavigationTest,
                         ::testing::Values(NavigationCase{"zhuy", "/tiaozhuan/index1.html"},
                                           NavigationCase{"Add", "/tiaozhuan/tv.html"},
                                           NavigationCase{"dy", "/tiaozhuan/movie.html"},
                                           NavigationCase{"juc", "/tiaozhuan/juchang.html"},
                                           NavigationCase{"dongm", "/tiaozhuan/dongman.html"},
                                           NavigationCase{"mtv", "/tiaozhuan/mtv.html"},
                                           NavigationCase{"Min", "/tiaozhuan/dtgb.html"},
                                           NavigationCase{"mfdh", "/tiaozhuan/mfdh.html"},
                                           NavigationCase{"liuy", "/tiaozhuan/book.htm"}),
                         [](const auto& info) { return std::string(info.param.item); });

class Form1OnTopTest : public Form1Test, public ::testing::WithParamInterface<bool> {};

TEST_P(Form1OnTopTest, ToggleFlipsFlagAndCaptionTogetherWhateverTheCallAnswers)
{
    platform.stacking.succeeds = GetParam();
    Form1* form = start();
    const QRect before = form->geometry();
    QAction* ckzd = form->menuItem("ckzd");

    ckzd->trigger();
    EXPECT_TRUE(form->IsOnTop);
    EXPECT_EQ(ckzd->text(), QStringLiteral("取消置顶"));
    ckzd->trigger();
    EXPECT_FALSE(form->IsOnTop);
    EXPECT_EQ(ckzd->text(), QStringLiteral("窗口置顶"));

    ASSERT_EQ(platform.stacking.calls.size(), 2u);
    EXPECT_EQ(platform.stacking.calls[0].insertAfter, HWND_TOPMOST);
    EXPECT_EQ(platform.stacking.calls[1].insertAfter, HWND_NOTOPMOST);
    for (const auto& call : platform.stacking.calls)
        EXPECT_EQ(call.flags, 3u);
    EXPECT_EQ(form->geometry(), before);
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(failures.reports.empty());
}

INSTANTIATE_TEST_SUITE_P(CallSucceedsOrFails, Form1OnTopTest, ::testing::Bool());

TEST_F(Form1Test, PanesAndNoticeHolderSitAsDesignedWithOnlyTheContentPaneInView)
{
    Form1* form = start();
    QWidget* client = contentPane().widget()->parentWidget();
    EXPECT_EQ(client->size(), QSize(776, 455));
    EXPECT_EQ(contentPane().widget()->geometry(), QRect(0, 0, 777, 457));
    EXPECT_EQ(bannerPane().widget()->geometry(), QRect(0, 472, 785, 121));
    EXPECT_EQ(form->Text1().geometry(), QRect(152, 560, 65, 33));
    const QRect visible = client->rect();
    EXPECT_FALSE(visible.intersects(bannerPane().widget()->geometry()));
    EXPECT_FALSE(visible.intersects(form->Text1().geometry()));
    // The window keeps its designed size: a larger one would show them.
    EXPECT_EQ(form->minimumSize(), form->maximumSize());
    EXPECT_FALSE(form->windowFlags() & Qt::WindowMaximizeButtonHint);
}

TEST_F(Form1Test, QuoteItemKeepsOneWindowAndMakesANewOneAfterItWasClosed)
{
    Form1* form = start();
    form->menuItem("gphq")->trigger();
    form->menuItem("gphq")->trigger();
    EXPECT_EQ(quoteWindowsCreated, 1);
    Form* quote = windows.find(FormKind::Form2);
    ASSERT_NE(quote, nullptr);
    EXPECT_TRUE(quote->isVisible());

    quote->close();
    flushDeletes();
    EXPECT_EQ(windows.find(FormKind::Form2), nullptr);
    form->menuItem("gphq")->trigger();
    EXPECT_EQ(quoteWindowsCreated, 2);
    EXPECT_EQ(contentPane().navigations.size(), 1u);
}

}  // namespace
}  // namespace velmora
