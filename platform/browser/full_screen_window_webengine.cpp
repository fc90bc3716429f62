#include "platform/browser/full_screen_window_webengine.h"

#include <QCloseEvent>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebEngineView>

#include "platform/browser/browser_texts.h"
#include "platform/system/qt_text.h"
#include "platform/windows/window_keys_qt.h"

namespace velmora {

namespace {

constexpr int kHintShownMs = 3000;
constexpr int kHintTop = 24;

// "按 Esc 键可退出全屏" at the top centre of window's screen for a few
// seconds: a small window of its own above it that never takes the
// keyboard from the page or the mouse from what lies below.
void showLeaveHint(QWidget* window)
{
    auto* hint = new QLabel(qs(kFullScreenHint), window,
                            Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus);
    hint->setWindowTitle(hint->text());
    hint->setAttribute(Qt::WA_ShowWithoutActivating);
    hint->setAttribute(Qt::WA_TransparentForMouseEvents);
    hint->setFocusPolicy(Qt::NoFocus);
    hint->setStyleSheet(QStringLiteral("QLabel { background: #303030; color: #ffffff; padding: 10px 18px; }"));
    hint->adjustSize();
    const QRect screen = window->screen()->geometry();
    hint->move(screen.center().x() - hint->width() / 2, screen.top() + kHintTop);
    QTimer::singleShot(kHintShownMs, hint, &QWidget::hide);
    hint->show();
}

}  // namespace

FullScreenWindow::FullScreenWindow(QWebEngineView* homeView)
    : QWidget(nullptr, Qt::Window | Qt::WindowStaysOnTopHint), view_(new QWebEngineView(this)),
      homeView_(homeView)
{
    setWindowTitle(homeView->window()->windowTitle());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    view_->setPage(homeView->page());

    // The engine leaves the way out to the browser; Escape is what every
    // browser offers, and F11, its own full-screen key, leaves a page's full
    // screen too. The page hears of it and asks to leave full screen, which
    // ends this window.
    addWindowKeys(this, this, {Qt::Key_Escape, Qt::Key_F11}, &FullScreenWindow::leave);
    // Printing (the page's window.print() or Ctrl+P) shows the preview from
    // the window the page came from, as a browser leaves full screen for it.
    addWindowKeys(this, this, {Qt::CTRL | Qt::Key_P}, &FullScreenWindow::leaveToPrint);
    connect(view_, &QWebEngineView::printRequested, this, &FullScreenWindow::leaveToPrint);

    showFullScreen();
    activateWindow();
    view_->setFocus();
    showLeaveHint(this);
}

void FullScreenWindow::leave()
{
    view_->triggerPageAction(QWebEnginePage::ExitFullScreen);
}

void FullScreenWindow::leaveToPrint()
{
    printAsked_ = true;
    leave();
}

void FullScreenWindow::closeEvent(QCloseEvent* event)
{
    // Closed by the window manager (Alt+F4): hidden, it would keep the page
    // where nobody sees it. The page leaves full screen as with Escape, and
    // its answer deletes this window, after this event is done with it.
    event->ignore();
    QMetaObject::invokeMethod(this, &FullScreenWindow::leave, Qt::QueuedConnection);
}

FullScreenWindow::~FullScreenWindow()
{
    if (!homeView_ || !view_->page())
        return;
    homeView_->setPage(view_->page());
    // Once the page has settled back: the home view's printer answers as it
    // does to the page's own request there.
    if (printAsked_)
        QMetaObject::invokeMethod(homeView_, &QWebEngineView::printRequested, Qt::QueuedConnection);
}

}  // namespace velmora
