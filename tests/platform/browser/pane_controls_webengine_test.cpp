// A pane's controls with the real engine: what the find bar shows and how
// far the wheel zooms.
#include <functional>
#include <vector>

#include <QApplication>
#include <QDeadlineTimer>
#include <QLabel>
#include <QLineEdit>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include "platform/browser/browser_pane_webengine.h"
#include "platform/browser/browser_webengine.h"
#include "platform/browser/find_bar_webengine.h"
#include "platform/browser/pane_controls_webengine.h"
#include "platform/windows/layout_target_qt.h"
#include "tests/platform/browser/engine_in_process.h"

namespace velmora {
namespace {

const bool kEnginePrepared = prepareEngineInProcess();

bool spinUntil(const std::function<bool()>& condition)
{
    const QDeadlineTimer deadline(20000);
    while (!condition() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return condition();
}

// Starts a load with start and waits for its load event.
bool loads(QWebEngineView& view, const std::function<void()>& start)
{
    bool finished = false;
    const auto connection = QObject::connect(&view, &QWebEngineView::loadFinished, [&] { finished = true; });
    start();
    const bool loaded = spinUntil([&] { return finished; });
    QObject::disconnect(connection);
    return loaded;
}

// A shown window whose pane has loaded html.
struct PaneWindow {
    explicit PaneWindow(const QString& html) : view(new QWebEngineView(&window))
    {
        window.resize(640, 400);
        view->resize(640, 400);
        window.show();
        loaded = loads(*view, [&] { view->setHtml(html); });
    }
    QWidget window;
    QWebEngineView* view;  // owned by window
    bool loaded;
};

TEST(FindBar, ClearsItsCountWhenThePageChangesAndStaysOpen)
{
    ASSERT_TRUE(kEnginePrepared);
    const QString matches = QStringLiteral("<p>星河 一 星河 二 星河</p>");
    const struct {
        const char* name;
        std::function<void(QWebEngineView&)> change;
    } changes[] = {
        {"another page", [](QWebEngineView& view) { view.setHtml(QStringLiteral("<p>别的页面</p>")); }},
        {"a reload", [](QWebEngineView& view) { view.reload(); }},
    };
    for (const auto& change : changes) {
        SCOPED_TRACE(change.name);
        PaneWindow pane(matches);
        ASSERT_TRUE(pane.loaded);
        QWebEngineView& view = *pane.view;
        auto* bar = new FindBar(&view);  // a child of the window
        bar->open();
        EXPECT_TRUE(isOverlay(*bar)) << "a window's layout would take it for one of its controls";
        bar->findChild<QLineEdit*>(QStringLiteral("findText"))->setText(QStringLiteral("星河"));
        const auto* count = bar->findChild<QLabel*>(QStringLiteral("findCount"));
        ASSERT_TRUE(spinUntil([&] { return count->text() == QStringLiteral("第 1 个，共 3 个"); }))
            << count->text().toStdString();

        ASSERT_TRUE(loads(view, [&] { change.change(view); }));
        EXPECT_EQ(count->text().toStdString(), "");
        EXPECT_TRUE(bar->isVisible());
    }
}

// Ctrl+wheel in the widget the engine renders the page into, turned by
// angle in eighths of a degree (120 is one notch of a common wheel).
void turnWheel(QWebEngineView& view, int angle)
{
    QWidget* page = view.focusProxy();
    ASSERT_NE(page, nullptr);
    const QPointF at(10, 10);
    QWheelEvent wheel(at, page->mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton, Qt::ControlModifier,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(page, &wheel);
}

TEST(PaneControls, ZoomOneStepPerNotchHoweverTheWheelSendsIt)
{
    ASSERT_TRUE(kEnginePrepared);
    const struct {
        const char* wheel;
        std::vector<int> angles;
        int zoom;
    } rows[] = {
        {"a notch up", {120}, 110},
        {"a notch down", {-120}, 90},
        {"two notches in one event", {240}, 125},
        {"a touchpad's notch in parts", {15, 15, 15, 15, 15, 15, 15, 15}, 110},
        {"two thirds of a notch", {40, 40}, 100},
        {"parts turned back before a notch", {60, -60, 60}, 100},
        {"a notch and a half, then half", {180, 60}, 125},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.wheel);
        PaneWindow pane(QStringLiteral("<p>缩放</p>"));
        ASSERT_TRUE(pane.loaded);
        new PaneControls(pane.view);
        for (const int angle : row.angles)
            turnWheel(*pane.view, angle);
        EXPECT_EQ(qRound(pane.view->zoomFactor() * 100), row.zoom);
    }
}

// The banner pane's silence: muted once, a pane stays so on every page it
// loads afterwards; a pane left alone keeps its sound.
TEST(BrowserPane, AMutedPaneStaysMutedOnEveryPageItLoads)
{
    ASSERT_TRUE(kEnginePrepared);
    WebEngineBrowser browser;
    QWidget window;  // deleted first, with the panes' views
    for (const bool mute : {true, false}) {
        SCOPED_TRACE(mute ? "muted" : "left alone");
        const std::unique_ptr<BrowserPane> pane = createWebEnginePane(browser, &window);
        auto* view = qobject_cast<QWebEngineView*>(pane->widget());
        ASSERT_NE(view, nullptr);
        if (mute)
            pane->muteAudio();
        for (const char* html : {"<p>广告一</p>", "<p>广告二</p>"})
            ASSERT_TRUE(loads(*view, [&] { view->setHtml(QString::fromUtf8(html)); }));
        EXPECT_EQ(view->page()->isAudioMuted(), mute);
    }
}

}  // namespace
}  // namespace velmora
