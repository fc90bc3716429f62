#include "platform/browser/zoom_indicator_qt.h"

#include "platform/browser/pane_control_texts.h"
#include "platform/system/qt_text.h"
#include "platform/windows/layout_target_qt.h"

namespace velmora {

namespace {

constexpr int kShownMs = 2000;
constexpr int kTopMargin = 12;

}  // namespace

ZoomIndicator::ZoomIndicator(QWidget* pane) : QLabel(pane->window()), pane_(pane)
{
    setObjectName(QStringLiteral("zoomIndicator"));
    markAsOverlay(*this);
    setAlignment(Qt::AlignCenter);
    setStyleSheet(QStringLiteral("QLabel { background: #fdfdfd; color: #202020; border: 1px solid #909090;"
                                 " border-radius: 4px; padding: 6px 14px; }"));
    // The page under the box stays the mouse's.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    hide();
    hideTimer_.setSingleShot(true);
    hideTimer_.setInterval(kShownMs);
    connect(&hideTimer_, &QTimer::timeout, this, &QWidget::hide);
}

void ZoomIndicator::showZoom(int percent)
{
    setText(qs(zoomText(percent)));
    adjustSize();
    // Centred over the part of the pane its window shows: the main window's
    // pane reaches past the window's edge.
    const QRect shown = QRect(pane_->mapTo(window(), QPoint(0, 0)), pane_->size()).intersected(window()->rect());
    move(shown.center().x() - width() / 2, shown.top() + kTopMargin);
    show();
    raise();
    hideTimer_.start();
}

}  // namespace velmora
