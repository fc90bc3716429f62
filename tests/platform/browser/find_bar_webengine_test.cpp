// Find in page with the real engine: the count the bar shows belongs to the
// page it was taken on.
#include <functional>

#include <QApplication>
#include <QDeadlineTimer>
#include <QLabel>
#include <QLineEdit>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <gtest/gtest.h>

#include "platform/browser/find_bar_webengine.h"
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

// Loads html and waits for its load event.
bool load(QWebEngineView& view, const QString& html)
{
    bool finished = false;
    const auto connection = QObject::connect(&view, &QWebEngineView::loadFinished, [&] { finished = true; });
    view.setHtml(html);
    const bool loaded = spinUntil([&] { return finished; });
    QObject::disconnect(connection);
    return loaded;
}

TEST(FindBar, ClearsItsCountWhenThePageChangesAndStaysOpen)
{
    ASSERT_TRUE(kEnginePrepared);
    const QString matches = QStringLiteral("<p>星河 一 星河 二 星河</p>");
    const struct {
        const char* name;
        std::function<void(QWebEngineView&)> change;
    } changes[] = {
        {"another page", [](QWebEngineView& view) { load(view, QStringLiteral("<p>别的页面</p>")); }},
        {"a reload", [](QWebEngineView& view) {
             bool finished = false;
             QObject::connect(&view, &QWebEngineView::loadFinished, &view, [&] { finished = true; },
                              Qt::SingleShotConnection);
             view.reload();
             spinUntil([&] { return finished; });
         }},
    };
    for (const auto& change : changes) {
        SCOPED_TRACE(change.name);
        QWidget window;
        window.resize(640, 400);
        QWebEngineView view(&window);
        view.resize(640, 400);
        window.show();
        ASSERT_TRUE(load(view, matches));
        auto* bar = new FindBar(&view);
        bar->open();
        bar->findChild<QLineEdit*>(QStringLiteral("findText"))->setText(QStringLiteral("星河"));
        const auto* count = bar->findChild<QLabel*>(QStringLiteral("findCount"));
        ASSERT_TRUE(spinUntil([&] { return count->text() == QStringLiteral("第 1 个，共 3 个"); }))
            << count->text().toStdString();

        change.change(view);
        EXPECT_EQ(count->text().toStdString(), "");
        EXPECT_TRUE(bar->isVisible());
        delete bar;
    }
}

}  // namespace
}  // namespace velmora
