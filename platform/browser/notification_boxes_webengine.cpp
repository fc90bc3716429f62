#include "platform/browser/notification_boxes_webengine.h"

#include <QApplication>
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
constexpr int kWidth = 320;
constexpr int kMargin = 12;  // from the screen's edges and between boxes

bool sameOrigin(const QUrl& a, const QUrl& b)
{
    return a.scheme() == b.scheme() && a.host() == b.host() && a.port() == b.port();
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

// One notification: its site as the caption, the page's title and text
// below it. It answers the mouse but never the keyboard.
class NotificationBox final : public QWidget {
public:
    explicit NotificationBox(std::unique_ptr<QWebEngineNotification> notification)
        : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint
                               | Qt::WindowDoesNotAcceptFocus),
          notification_(std::move(notification))
    {
        setAttribute(Qt::WA_DeleteOnClose);
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
        notification_->close();
    }

protected:
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (event->button() != Qt::LeftButton)
            return;
        if (QWidget* window = windowShowing(notification_->origin())) {
            window->showNormal();
            window->raise();
            window->activateWindow();
        }
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

    std::unique_ptr<QWebEngineNotification> notification_;
};

}  // namespace

NotificationBoxes::~NotificationBoxes()
{
    for (const QPointer<QWidget>& box : std::exchange(boxes_, {}))
        delete box.data();
}

void NotificationBoxes::present(std::unique_ptr<QWebEngineNotification> notification)
{
    auto* box = new NotificationBox(std::move(notification));
    boxes_.emplace_back(box);
    connect(box, &QObject::destroyed, this, [this] { QTimer::singleShot(0, this, &NotificationBoxes::stack); });
    // As tall as its lines need at its width, the wrapped ones included.
    box->ensurePolished();
    const int height = box->heightForWidth(kWidth);
    box->setFixedHeight(height > 0 ? height : box->sizeHint().height());
    stack();
    box->show();
}

void NotificationBoxes::stack()
{
    std::erase_if(boxes_, [](const QPointer<QWidget>& box) { return box.isNull(); });
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    int bottom = area.bottom() - kMargin;
    for (const QPointer<QWidget>& box : boxes_) {
        box->move(area.right() - kMargin - box->width() + 1, bottom - box->height() + 1);
        bottom -= box->height() + kMargin;
    }
}

}  // namespace velmora
