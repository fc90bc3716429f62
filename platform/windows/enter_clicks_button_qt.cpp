#include "platform/windows/enter_clicks_button_qt.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QWidget>

namespace velmora {

EnterClicksButton::EnterClicksButton(QWidget* window) : QObject(window), window_(window)
{
    window->installEventFilter(this);
}

// A button ignores Enter and Return, so they come up to its window from the
// focused button; from any other control they come up only when it has no
// use for them.
bool EnterClicksButton::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != window_ || event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    const bool plain = (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    auto* button = qobject_cast<QAbstractButton*>(window_->focusWidget());
    if (!enter || !plain || key->isAutoRepeat() || !button || !button->isEnabled() || !button->isVisible()
        || button->window() != window_)
        return false;
    button->click();
    return true;
}

}  // namespace velmora
