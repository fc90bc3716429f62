#include "platform/browser/notification_boxes_webengine.h"

#include <algorithm>

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebEngineNotification>
#include <QWebEnginePage>
#include <QWebEngineView>

#include "platform/browser/browser_texts.h"
#include "platform/browser/page_dialogs_webengine.h"

namespace velmora {

namespace {

constexpr int kShownMs = 10000;
constexpr std::size_t kMostShown = 3;
constexpr int kWidth = 320;
constexpr int kMargin = 12;  // from the screen's edges and between boxes

bool sameOrigin(const QUrl& a, const QUrl& b)
{
    return a.scheme() == b.scheme() && a.host() == b.host() && a.port() == b.port();
}

// Forward as it is: a window the user minimised comes back to the state it
// was in, a maximised one stays maximised.
void bringForward(QWidget* window)
{
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->raise();
    window->activateWindow();
}

// The window that shows a page of origin, the active one first.
QWidget* windowShowing(const QUrl& origin)
{
    QWidget* found = nullptr;
    for (QWidget* widget : QApplication::allWidgets()) {
        auto* view = qobject_cast<QWebEngineView*>(widget);
        if (!view || !view->page() || !view->isVisible() || !sameOrigin(view->page()->url(), origin))
            continue;
        if (view->window()->isActiveWindow())
            return view->window();
        if (!found)
            found = view->window();
    }
    return found;
}

}  // namespace

// One notification: its site as the caption, the page's title and text
// below it. It answers the mouse but never the keyboard. Closed, it tells
// its owner, which deletes it.
class NotificationBox final : public QWidget {
public:
    NotificationBox(NotificationBoxes& owner, std::unique_ptr<QWebEngineNotification> notification)
        : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint
                               | Qt::WindowDoesNotAcceptFocus),
          owner_(owner), notification_(std::move(notification))
    {
        setAttribute(Qt::WA_ShowWithoutActivating);
        setFocusPolicy(Qt::NoFocus);
        const QString site = QString::fromStdString(
            pageNotificationTitle(originName(notification_->origin()).toStdString()));
        setWindowTitle(site);
        setObjectName(QStringLiteral("notificationBox"));
        setStyleSheet(QStringLiteral("#notificationBox { background: #ffffff; border: 1px solid #8c8c8c; }"));
        setCursor(Qt::PointingHandCursor);
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(14, 10, 14, 12);
        addLine(layout, site, QStringLiteral("color: #666666;"));
        addLine(layout, notification_->title(), QStringLiteral("font-weight: bold;"));
        addLine(layout, notification_->message(), QString());
        setFixedWidth(kWidth);
        QTimer::singleShot(kShownMs, this, &QWidget::close);
        notification_->show();
        connect(notification_.get(), &QWebEngineNotification::closed, this, &QWidget::close);
    }

    ~NotificationBox() override
    {
        notification_->disconnect(this);
        if (!replaced_)
            notification_->close();
    }

    const QWebEngineNotification& notification() const { return *notification_; }
    // Another notification of the same tag takes this one's place: this one
    // goes without telling its page it was closed.
    void replace() { replaced_ = true; }
    bool closed() const { return closed_; }

protected:
    void closeEvent(QCloseEvent* event) override
    {
        QWidget::closeEvent(event);
        closed_ = true;
        owner_.boxClosed();
    }

    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (event->button() != Qt::LeftButton)
            return;
        if (QWidget* window = windowShowing(notification_->origin()))
            bringForward(window);
        notification_->click();
        close();
    }

private:
    void addLine(QVBoxLayout* layout, const QString& text, const QString& style)
    {
        if (text.isEmpty())
            return;
        auto* line = new QLabel(text, this);
        line->setTextFormat(Qt::PlainText);
        line->setWordWrap(true);
        line->setStyleSheet(style);
        layout->addWidget(line);
    }

    NotificationBoxes& owner_;
    std::unique_ptr<QWebEngineNotification> notification_;
    bool replaced_ = false;
    bool closed_ = false;
};

NotificationBoxes::NotificationBoxes() = default;

NotificationBoxes::~NotificationBoxes() = default;

void NotificationBoxes::present(std::unique_ptr<QWebEngineNotification> notification)
{
    std::erase_if(boxes_, [](const std::unique_ptr<NotificationBox>& box) { return box->closed(); });
    auto box = std::make_unique<NotificationBox>(*this, std::move(notification));
    // As tall as its lines need at its width, the wrapped ones included.
    box->ensurePolished();
    const int height = box->heightForWidth(kWidth);
    box->setFixedHeight(height > 0 ? height : box->sizeHint().height());
    NotificationBox* shown = box.get();
    // Notifications without a tag are each their own.
    const auto same = std::find_if(boxes_.begin(), boxes_.end(), [&](const std::unique_ptr<NotificationBox>& old) {
        return !shown->notification().tag().isEmpty() && old->notification().matches(&shown->notification());
    });
    if (same != boxes_.end()) {
        (*same)->replace();
        *same = std::move(box);
    } else {
        boxes_.push_back(std::move(box));
        if (boxes_.size() > kMostShown)
            boxes_.erase(boxes_.begin());
    }
    tidy();
    shown->show();
}

void NotificationBoxes::boxClosed()
{
    QMetaObject::invokeMethod(this, &NotificationBoxes::tidy, Qt::QueuedConnection);
}

void NotificationBoxes::tidy()
{
    std::erase_if(boxes_, [](const std::unique_ptr<NotificationBox>& box) { return box->closed(); });
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    int bottom = area.bottom() - kMargin;
    for (const std::unique_ptr<NotificationBox>& box : boxes_) {
        box->move(area.right() - kMargin - box->width() + 1, bottom - box->height() + 1);
        bottom -= box->height() + kMargin;
    }
}

}  // namespace velmora
