#pragma once
// The one way a page's question waits for its answer (its alert, the sign-in
// it needs, its file chooser, where its download goes): the dialog over the
// page's window, run in an event loop of its own that serves every window
// meanwhile. While the loop runs, the window's deletion is held
// (DeletionHold): the code below the loop, the engine waiting in its call
// into the page among it, would not survive the window going under it.
#include <optional>
#include <utility>

#include <QDialog>
#include <QPointer>

namespace velmora {

// What waits for the dialog.
enum class ModalTo {
    // The page only: its view takes no input and its keys do nothing, while
    // its window's menu bar and close, and every other window, stay usable.
    Page,
    // The page's whole window; the program's other windows stay usable.
    Window,
};

// What a window closed meanwhile does to the dialog: ends it as if
// cancelled, or leaves it to the user, the window going once it is answered.
enum class WhenWindowCloses { Cancel, Wait };

// Shows dialog over its parent, the page's window (none: over nothing), and
// waits until it is finished. Its result; nothing when the dialog went away
// (its window deleted outright) or was ended by its window closing.
std::optional<int> runPageDialog(QDialog* dialog, QWidget* pageView, ModalTo modalTo,
                                 WhenWindowCloses whenClosed = WhenWindowCloses::Cancel);

// A dialog made on the heap as a child of window and deleted with this,
// unless the window took it along: on the stack it would not survive a
// window deleted while it is open.
template <typename Dialog>
class PageDialog {
public:
    // Dialog's constructor arguments before its parent, the window.
    template <typename... Args>
    explicit PageDialog(QWidget* window, Args&&... args) : dialog_(new Dialog(std::forward<Args>(args)..., window))
    {
    }
    ~PageDialog() { delete dialog_.data(); }
    PageDialog(const PageDialog&) = delete;
    PageDialog& operator=(const PageDialog&) = delete;

    Dialog* get() const { return dialog_.data(); }
    Dialog* operator->() const { return dialog_.data(); }

    std::optional<int> run(QWidget* pageView, ModalTo modalTo, WhenWindowCloses whenClosed = WhenWindowCloses::Cancel)
    {
        return runPageDialog(dialog_.data(), pageView, modalTo, whenClosed);
    }

private:
    QPointer<Dialog> dialog_;
};

}  // namespace velmora
