#include "platform/browser/deletion_hold_qt.h"

#include <QEvent>

namespace velmora {

DeletionHold::DeletionHold(QWidget* window, std::function<void()> onAsked)
    : window_(window), onAsked_(std::move(onAsked))
{
    if (window)
        window->installEventFilter(this);
}

DeletionHold::~DeletionHold()
{
    if (deletionAsked_ && window_)
        window_->deleteLater();
}

bool DeletionHold::eventFilter(QObject*, QEvent* event)
{
    if (event->type() != QEvent::DeferredDelete)
        return false;
    if (!deletionAsked_) {
        deletionAsked_ = true;
        if (onAsked_)
            onAsked_();
    }
    return true;
}

}  // namespace velmora
