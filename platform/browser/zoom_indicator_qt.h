#pragma once
// The small box that tells a pane's zoom level after each change: it lies
// over the top of the pane, in the pane's window, and goes away by itself.
#include <QLabel>
#include <QTimer>

namespace velmora {

class ZoomIndicator final : public QLabel {
    Q_OBJECT
public:
    // A child of pane's window; pane must be in it.
    explicit ZoomIndicator(QWidget* pane);

    // Shows "缩放：<percent>%" for a while, from now on.
    void showZoom(int percent);

private:
    QWidget* pane_;  // in the same window, and gone only with it
    QTimer hideTimer_;
};

}  // namespace velmora
