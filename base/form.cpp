#include "base/form.h"

#include <QAbstractButton>
#include <QKeyEvent>

namespace velmora {

QIcon programIcon()
{
    return QIcon(QStringLiteral(":/velmora/velmora.ico"));
}

Form::Form(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
}

// A button ignores Enter and Return, so they come up here from the focused
// button; from any other control they come here only when it has no use
// for them.
void Form::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    auto* button = qobject_cast<QAbstractButton*>(focusWidget());
    if (enter && plain && !event->isAutoRepeat() && button && button->isEnabled() && button->isVisible()
        && button->window() == this) {
        button->click();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace velmora
