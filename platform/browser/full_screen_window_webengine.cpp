#include "platform/browser/full_screen_window_webengine.h"

#include <QCloseEvent>
#include <QVBoxLayout>
#include <QWebEngineView>

#include "platform/windows/window_keys_qt.h"

namespace velmora {

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
