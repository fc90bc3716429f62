#include "platform/browser/popup_window_webengine.h"

#include <QScreen>
#include <QVBoxLayout>
#include <QWebEngineView>

#include "platform/browser/browser_webengine.h"
#include "platform/browser/pane_controls_webengine.h"
#include "platform/browser/web_page_webengine.h"
#include "platform/windows/enter_clicks_button_qt.h"

namespace velmora {

namespace {

// A new window's page area when the page names no size: that of the main
// window's content pane, which the site's pages are made for.
constexpr QSize kDefaultPageSize{776, 455};

}  // namespace

PopupWindow::PopupWindow(WebEngineBrowser& browser, const QWidget* opener)
    : QWidget(nullptr, Qt::Window), view_(browser.createView(this)),
      page_(static_cast<WebPage*>(view_->page()))
{
    setAttribute(Qt::WA_DeleteOnClose);
    new EnterClicksButton(this);
    new PaneControls(view_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);

    // An empty title is the page's address, as a browser shows it.
    connect(page_, &QWebEnginePage::titleChanged, this, [this](const QString& title) {
        setWindowTitle(title.isEmpty() ? page_->url().toDisplayString() : title);
    });
    connect(page_, &QWebEnginePage::urlChanged, this, [this](const QUrl& url) {
        if (page_->title().isEmpty())
            setWindowTitle(url.toDisplayString());
    });
    connect(page_, &QWebEnginePage::windowCloseRequested, this, &QWidget::close);
    connect(page_, &QWebEnginePage::geometryChangeRequested, this, &PopupWindow::placeAsAsked);
    placeAtDefaultSize(opener);
}

void PopupWindow::placeAtDefaultSize(const QWidget* opener)
{
    constexpr QPoint kCascade{32, 32};
    const QRect screen = this->screen()->availableGeometry();
    QRect area(QPoint(0, 0), kDefaultPageSize.boundedTo(screen.size()));
    if (opener)
        area.moveTopLeft(opener->geometry().topLeft() + kCascade);
    if (!opener || !screen.contains(area))
        area.moveCenter(screen.center());
    setGeometry(area);
}

void PopupWindow::placeAsAsked(const QRect& pageGeometry)
{
    const QRect screen = this->screen()->availableGeometry();
    QRect wanted = pageGeometry;
    wanted.setSize(pageGeometry.size().boundedTo(screen.size()).expandedTo(QSize(100, 100)));
    // A place off the screen would leave the window out of reach.
    if (!screen.contains(wanted))
        wanted.moveCenter(screen.center());
    setGeometry(wanted);
}

}  // namespace velmora
