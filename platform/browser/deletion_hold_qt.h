#pragma once
// Keeps a window from being deleted while code below the event loop still
// uses what it holds: the engine waiting in a call into one of the window's
// pages (a print, a page's own dialog), which a page deleted under it would
// not survive. A deletion asked for meanwhile (deleteLater(), as
// WA_DeleteOnClose does) is put off and asked again when the hold ends, to
// happen once control is back in the event loop. A plain delete is not
// held. Lives on the stack of the code it guards; window may be null.
#include <functional>

#include <QObject>
#include <QPointer>
#include <QWidget>

namespace velmora {

class DeletionHold final : public QObject {
public:
    // onAsked is called once, when the deletion is first asked for: to end
    // what waits (a dialog's exec()).
    explicit DeletionHold(QWidget* window, std::function<void()> onAsked = {});
    ~DeletionHold() override;
    DeletionHold(const DeletionHold&) = delete;
    DeletionHold& operator=(const DeletionHold&) = delete;

    bool deletionAsked() const { return deletionAsked_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> window_;
    std::function<void()> onAsked_;
    bool deletionAsked_ = false;
};

}  // namespace velmora
