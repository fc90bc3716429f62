#include "platform/browser/page_dialog_loop_qt.h"

#include <QEventLoop>

#include "platform/browser/deletion_hold_qt.h"

namespace velmora {

namespace {

// A page's view out of the user's reach while the page waits for an answer:
// disabled, so that neither the mouse nor its window's keys (reload, print
// ...) reach it. Its focus comes back afterwards; a view that was disabled
// already is left to whoever disabled it.
class PausedView {
public:
    explicit PausedView(QWidget* view)
        : view_(view && view->isEnabled() ? view : nullptr),
          focus_(view_ ? view_->window()->focusWidget() : nullptr)
    {
        if (view_)
            view_->setEnabled(false);
    }
    ~PausedView()
    {
        if (!view_)
            return;
        view_->setEnabled(true);
        if (focus_ && !view_->window()->focusWidget())
            focus_->setFocus();
    }
    PausedView(const PausedView&) = delete;
    PausedView& operator=(const PausedView&) = delete;

private:
    QPointer<QWidget> view_;
    QPointer<QWidget> focus_;
};

}  // namespace

std::optional<int> runPageDialog(QDialog* dialog, QWidget* pageView, ModalTo modalTo, WhenWindowCloses whenClosed)
{
    const QPointer<QDialog> open(dialog);
    const bool cancelOnClose = whenClosed == WhenWindowCloses::Cancel;
    const DeletionHold hold(dialog->parentWidget(), [open, cancelOnClose] {
        if (open && cancelOnClose)
            open->reject();
    });
    const PausedView paused(modalTo == ModalTo::Page ? pageView : nullptr);
    // Not exec(): that would make the dialog modal to the whole program.
    dialog->setWindowModality(modalTo == ModalTo::Page ? Qt::NonModal : Qt::WindowModal);
    QEventLoop loop;
    QObject::connect(dialog, &QDialog::finished, &loop, &QEventLoop::quit);
    QObject::connect(dialog, &QObject::destroyed, &loop, &QEventLoop::quit);
    dialog->show();
    loop.exec();
    if (!open || (hold.deletionAsked() && cancelOnClose))
        return std::nullopt;
    return open->result();
}

}  // namespace velmora
