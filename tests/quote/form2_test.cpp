// The stock-quote window in-process, on the fake platform.
#include <functional>
#include <string>

#include <QAction>
#include <QApplication>
#include <QVariant>

#include <gtest/gtest.h>

#include "app/form1.h"
#include "base/site.h"
#include "platform/windows/layout_target_qt.h"
#include "quote/form2.h"
#include "tests/support/window_test_fixture.h"

namespace velmora {
namespace {

using test::FakeBrowserPane;

const QRect kDesignBrowser(0, 0, 753, 577);

std::string quotePage()
{
    return "http://" + std::string(kQuoteHost) + "/main.html";
}

class Form2Test : public test::WindowTest {
protected:
    void SetUp() override
    {
        windows.define(FormKind::Form2, [this] { return std::make_unique<Form2>(context); });
    }

    Form2* showForm2() { return static_cast<Form2*>(windows.show(FormKind::Form2)); }

    static QWidget* browserOf(QWidget* form) { return form->findChild<QWidget*>(QStringLiteral("WebBrowser1")); }

    // The pane of the window shown last; panes of closed windows are gone.
    FakeBrowserPane& newestPane() { return *platform.panes.back(); }

    static int openForm2Count()
    {
        int count = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            count += qobject_cast<Form2*>(w) != nullptr && w->isVisible();
        return count;
    }
};

TEST_F(Form2Test, LoadsAtItsDesignLayoutAndRequestsTheQuotePage)
{
    Form2* form = showForm2();
    ASSERT_NE(form, nullptr);
    QCoreApplication::processEvents();

    EXPECT_EQ(form->windowTitle().toStdString(), "股票行情--" + siteCaptionName());
    EXPECT_EQ(form->geometry(), QRect(4, 30, 734, 575));
    EXPECT_TRUE(form->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_TRUE(form->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(browserOf(form)->geometry(), kDesignBrowser);
    EXPECT_TRUE(newestPane().userControls);
    EXPECT_EQ(form->InitScaleWidth(), 11010);
    EXPECT_EQ(form->InitScaleHeight(), 8625);
    EXPECT_EQ(browserOf(form)->property("Tag").toString().toStdString(), "0 0 11295 8655 ");
    EXPECT_EQ(newestPane().navigations, std::vector<std::string>{quotePage()});
    EXPECT_TRUE(failures.reports.empty());
}

TEST_F(Form2Test, KeepsTheBrowserInProportionToTheWindow)
{
    struct Case {
        QSize window;
        QRect browser;
    };
    const Case cases[] = {
        {{1468, 575}, {0, 0, 1506, 577}},  // twice as wide
        {{734, 1150}, {0, 0, 753, 1154}},  // twice as high
        {{367, 575}, {0, 0, 376, 577}},    // 376.5 pixels: the half goes to the even one
        {{1000, 800}, {0, 0, 1026, 803}},
        {{735, 575}, {0, 0, 754, 577}},
        {{734, 575}, kDesignBrowser},
    };
    Form2* form = showForm2();
    for (const Case& c : cases) {
        form->resize(c.window);
        QCoreApplication::processEvents();
        ASSERT_EQ(form->size(), c.window);
        EXPECT_EQ(browserOf(form)->geometry(), c.browser) << c.window.width() << " x " << c.window.height();
    }
    EXPECT_TRUE(failures.reports.empty());
}

TEST_F(Form2Test, MaximisingOrMinimisingAndRestoringReturnsTheBrowserExactly)
{
    Form2* form = showForm2();
    QCoreApplication::processEvents();

    form->showMaximized();
    QCoreApplication::processEvents();
    EXPECT_NE(browserOf(form)->geometry(), kDesignBrowser);
    form->showNormal();
    QCoreApplication::processEvents();
    EXPECT_EQ(browserOf(form)->geometry(), kDesignBrowser);

    form->showMinimized();
    QCoreApplication::processEvents();
    EXPECT_EQ(browserOf(form)->geometry(), QRect(0, 0, 0, 0));
    form->showNormal();
    QCoreApplication::processEvents();
    EXPECT_EQ(browserOf(form)->geometry(), kDesignBrowser);
    EXPECT_TRUE(failures.reports.empty());
}

// A pane's find bar lies over the window and follows its bottom edge by
// itself; the proportional layout leaves it where it put itself.
TEST_F(Form2Test, AnOverlayKeepsItsOwnPlaceThroughEveryResize)
{
    Form2* form = showForm2();
    QCoreApplication::processEvents();
    auto* bar = new QWidget(form);
    markAsOverlay(*bar);
    const QRect placed(0, 540, 734, 35);
    bar->setGeometry(placed);
    bar->show();
    const struct {
        const char* change;
        std::function<void()> does;
    } changes[] = {
        {"wider", [&] { form->resize(1000, 575); }},
        {"minimised", [&] { form->showMinimized(); }},
        {"restored", [&] { form->showNormal(); }},
        {"maximised", [&] { form->showMaximized(); }},
        {"back", [&] { form->showNormal(); }},
    };
    for (const auto& c : changes) {
        SCOPED_TRACE(c.change);
        c.does();
        QCoreApplication::processEvents();
        EXPECT_EQ(bar->geometry(), placed);
    }
    EXPECT_TRUE(failures.reports.empty());
}

TEST_F(Form2Test, ChoosingTheMenuItemTwiceLeavesOneWindowAndOnePageRequest)
{
    windows.define(FormKind::Form1, [this] { return std::make_unique<Form1>(context); });
    auto* main = static_cast<Form1*>(windows.show(FormKind::Form1));
    ASSERT_NE(main, nullptr);
    QAction* gphq = main->menuItem("gphq");
    ASSERT_NE(gphq, nullptr);

    gphq->trigger();
    Form* first = windows.find(FormKind::Form2);
    gphq->trigger();
    QCoreApplication::processEvents();

    EXPECT_EQ(windows.find(FormKind::Form2), first);
    EXPECT_EQ(openForm2Count(), 1);
    EXPECT_EQ(newestPane().navigations, std::vector<std::string>{quotePage()});
}

TEST_F(Form2Test, ClosingAndReopeningLoadsAfreshAtTheDesignLayout)
{
    Form2* first = showForm2();
    first->resize(1468, 1150);
    QCoreApplication::processEvents();
    ASSERT_EQ(browserOf(first)->geometry(), QRect(0, 0, 1506, 1154));
    ASSERT_EQ(newestPane().navigations.size(), 1u);
    first->close();
    flushDeletes();
    ASSERT_EQ(windows.find(FormKind::Form2), nullptr);

    Form2* second = showForm2();
    QCoreApplication::processEvents();
    EXPECT_EQ(second->geometry(), QRect(4, 30, 734, 575));
    EXPECT_EQ(browserOf(second)->geometry(), kDesignBrowser);
    EXPECT_EQ(second->InitScaleWidth(), 11010);
    EXPECT_EQ(newestPane().navigations, std::vector<std::string>{quotePage()});
    EXPECT_EQ(openForm2Count(), 1);
}

TEST_F(Form2Test, AResizeBeforeTheLayoutIsRecordedIsReportedAndMovesNothing)
{
    Form2 form(context);  // never loaded
    form.show();
    QCoreApplication::processEvents();
    ASSERT_FALSE(failures.reports.empty());
    EXPECT_EQ(failures.reports.front().rfind("调整窗口大小|调整控件比例失败：横向比例除以零", 0), 0u)
        << failures.reports.front();
    EXPECT_EQ(browserOf(&form)->geometry(), kDesignBrowser);
}

}  // namespace
}  // namespace velmora
