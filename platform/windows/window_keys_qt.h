#pragma once
// Keys that work wherever the focus is in a window, the focused page
// included: an action on a widget of the window, with the window's scope.
#include <QAction>
#include <QKeySequence>
#include <QList>
#include <QWidget>

namespace velmora {

// The action is context's and goes with it; slot runs in context.
template <typename Context, typename Slot>
QAction* addWindowKeys(QWidget* widget, Context* context, const QList<QKeySequence>& keys, Slot slot)
{
    auto* action = new QAction(context);
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    QObject::connect(action, &QAction::triggered, context, slot);
    widget->addAction(action);
    return action;
}

}  // namespace velmora
