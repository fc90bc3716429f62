// A page's own boxes when their window or the page goes away while they are
// open: they end without an answer, and the program stays up.
#include <functional>

#include <QApplication>
#include <QAuthenticator>
#include <QDeadlineTimer>
#include <QDialog>
#include <QDir>
#include <QKeyEvent>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <gtest/gtest.h>

#include "platform/browser/browser_webengine.h"
#include "platform/browser/file_chooser_webengine.h"
#include "platform/browser/page_dialogs_webengine.h"
#include "platform/browser/web_page_webengine.h"
#include "tests/platform/browser/engine_in_process.h"

namespace velmora {
namespace {

const bool kEnginePrepared = prepareEngineInProcess();

// The window deleted at once, or closed (and deleted later, as the program's
// windows are), or the page deleted, after which the user presses Return
// (OK) in the box, which still stands.
enum class GoesAway { Window, WindowClosed, PageThenUserSaysOk };

// A page's box shown now; they are modal to their page only.
QWidget* openBox()
{
    for (QWidget* window : QApplication::topLevelWidgets())
        if (qobject_cast<QDialog*>(window) && window->isVisible())
            return window;
    return nullptr;
}

// Once a box is up, takes away what what says.
void whileABoxIsOpen(GoesAway what, QPointer<QWidget>& window, QPointer<QWebEnginePage>& page)
{
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, what, &window, &page] {
        QWidget* box = openBox();
        if (!box)
            return;
        poll->deleteLater();
        if (what == GoesAway::Window) {
            delete window.data();
            return;
        }
        if (what == GoesAway::WindowClosed) {
            window->setAttribute(Qt::WA_DeleteOnClose);
            window->close();
            return;
        }
        delete page.data();
        QCoreApplication::postEvent(box, new QKeyEvent(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier));
    });
    poll->start(20);
}

TEST(PageDialogs, EndWithoutAnAnswerWhenTheirWindowOrPageGoesAway)
{
    ASSERT_TRUE(kEnginePrepared);
    const QUrl origin(QStringLiteral("http://127.0.0.1/"));
    QString typed = QStringLiteral("untouched");
    QAuthenticator signIn;
    const struct {
        const char* name;
        std::function<bool(PageDialogs&)> ask;  // true: the page was answered
        bool engineWaits = false;  // the engine waits in its call into the page meanwhile
    } dialogs[] = {
        {"alert", [&](PageDialogs& boxes) { boxes.alert(origin, QStringLiteral("你好")); return false; }},
        {"confirm", [&](PageDialogs& boxes) { return boxes.confirm(origin, QStringLiteral("继续？")); }},
        {"prompt",
         [&](PageDialogs& boxes) {
             return boxes.prompt(origin, QStringLiteral("名字？"), QStringLiteral("小明"), &typed);
         }},
        {"sign-in",
         [&](PageDialogs& boxes) {
             signIn.setUser(QStringLiteral("zhang"));
             boxes.signIn(QStringLiteral("登录"), &signIn);
             return !signIn.isNull();
         }},
        // The page's own script asks, through the program's page: the engine
        // waits inside its call into the page while the page goes away.
        {"the page's confirm()",
         [&](PageDialogs& boxes) {
             const QPointer<QWebEnginePage> asking = static_cast<QWebEnginePage*>(boxes.parent());
             QWebEnginePage* page = asking;
             page->setHtml(QStringLiteral("<script>confirm('继续？')</script>"), origin);
             QDeadlineTimer limit(10000);
             while (asking && !limit.hasExpired())
                 QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
             return false;  // nobody is left to answer
         },
         true},
        // The chooser of the page's file field: the page outlives it, as
        // the engine that asked for it waits below.
        {"the file chooser",
         [&](PageDialogs& boxes) {
             const QPointer<QWebEnginePage> asking = static_cast<QWebEnginePage*>(boxes.parent());
             const QStringList chosen =
                 choosePageFiles(asking, QWebEnginePage::FileSelectOpen, {}, {}, QDir::tempPath());
             EXPECT_TRUE(asking) << "the page was deleted under the chooser";
             return !chosen.isEmpty();
         },
         true},
    };
    WebEngineBrowser browser;
    for (const GoesAway what : {GoesAway::Window, GoesAway::WindowClosed, GoesAway::PageThenUserSaysOk})
        for (const auto& dialog : dialogs) {
            // While the engine waits in its call into the page, the program
            // only ever takes the page away by closing its window.
            if (dialog.engineWaits && what != GoesAway::WindowClosed)
                continue;
            SCOPED_TRACE(std::string(dialog.name) + ", " + std::to_string(static_cast<int>(what)));
            QPointer<QWidget> window = new QWidget;
            QPointer<QWebEnginePage> page = browser.createView(window)->page();
            window->show();
            whileABoxIsOpen(what, window, page);
            EXPECT_FALSE(dialog.ask(static_cast<WebPage*>(page.data())->dialogs()));
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            EXPECT_FALSE(page) << "the box ended before anything went away";
            EXPECT_EQ(openBox(), nullptr) << "a box outlived its page";
            EXPECT_EQ(typed, QStringLiteral("untouched"));
            delete window.data();
        }
}

// The chooser's filters for a page's accept="..." list: the accepted files
// first, each pattern once, then all files.
TEST(FileChooser, OffersWhatThePageAcceptsThenAllFiles)
{
    const struct {
        const char* name;
        QStringList accepted;
        QStringList patterns;  // in the first filter; none: all files is the only filter
    } cases[] = {
        {"nothing named", {}, {}},
        {"a file name ending", {QStringLiteral(".pdf")}, {QStringLiteral("*.pdf")}},
        {"a MIME type", {QStringLiteral("text/csv")}, {QStringLiteral("*.csv")}},
        {"a family of types", {QStringLiteral("image/*")}, {QStringLiteral("*.png"), QStringLiteral("*.jpg")}},
        {"the same twice", {QStringLiteral(".csv"), QStringLiteral("text/csv")}, {QStringLiteral("*.csv")}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QStringList filters = uploadNameFilters(c.accepted);
        if (c.patterns.isEmpty()) {
            EXPECT_EQ(filters, QStringList{QStringLiteral("所有文件 (*)")});
            continue;
        }
        ASSERT_EQ(filters.size(), 2);
        EXPECT_TRUE(filters[0].startsWith(QStringLiteral("网页接受的文件 ("))) << filters[0].toStdString();
        const QString inside = filters[0].section(QLatin1Char('('), 1).chopped(1);
        const QStringList offered = inside.split(QLatin1Char(' '));
        for (const QString& pattern : c.patterns)
            EXPECT_EQ(offered.count(pattern), 1) << pattern.toStdString() << " in " << filters[0].toStdString();
        EXPECT_EQ(filters[1], QStringLiteral("所有文件 (*)"));
    }
}

}  // namespace
}  // namespace velmora
