#include "platform/browser/user_activation_webengine.h"

#include <utility>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include "platform/browser/web_page_webengine.h"

namespace velmora {

namespace {

// As long as a browser lets a page act on a click (Chromium's transient
// activation).
constexpr int kClipboardOpenMs = 5000;

void allowClipboard(QWebEnginePage* page, bool allowed)
{
    page->settings()->setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, allowed);
}

}  // namespace

UserActivation::UserActivation(QWebEnginePage* page) : QObject(page), page_(page)
{
    clipboardOpen_.setSingleShot(true);
    clipboardOpen_.setInterval(kClipboardOpenMs);
    connect(&clipboardOpen_, &QTimer::timeout, this, [this] { allowClipboard(page_, false); });
}

void UserActivation::userActed()
{
    downloadFree_ = true;
    if (!clipboardOpen_.isActive())
        allowClipboard(page_, true);
    clipboardOpen_.start();
}

bool UserActivation::takeDownload()
{
    return std::exchange(downloadFree_, false);
}

UserInputWatch::UserInputWatch()
{
    QCoreApplication::instance()->installEventFilter(this);
}

bool UserInputWatch::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if ((type != QEvent::MouseButtonPress && type != QEvent::KeyPress) || !event->spontaneous()
        || !watched->isWidgetType())
        return false;
    // Escape takes something away; it asks nothing of the page.
    if (type == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
        return false;
    for (auto* widget = static_cast<QWidget*>(watched); widget && !widget->isWindow(); widget = widget->parentWidget()) {
        auto* view = qobject_cast<QWebEngineView*>(widget);
        if (!view)
            continue;
        if (auto* page = qobject_cast<WebPage*>(view->page()))
            page->activation().userActed();
        break;
    }
    return false;
}

}  // namespace velmora
