#pragma once
// A page shown on the whole screen, above every other window, at its own
// request. The page moves into this window's view and back into the view it
// came from when the window goes: the window it left is never hidden, moved
// or restacked, so its geometry, caption and on-top state are as before.
#include <QWidget>

class QWebEngineView;

namespace velmora {

class FullScreenWindow final : public QWidget {
    Q_OBJECT
public:
    explicit FullScreenWindow(QWebEngineView* homeView);
    // Gives the page back to the view it came from.
    ~FullScreenWindow() override;

    // For a page that is going away: the window ends without giving it back.
    void forgetPage() { homeView_ = nullptr; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Asks the page to leave full screen; its answer ends this window.
    void leave();
    // Leaves full screen and prints the page from the view it goes back to.
    void leaveToPrint();

    QWebEngineView* view_;      // owned by this window
    QWebEngineView* homeView_;  // where the page goes back to
    bool printAsked_ = false;
};

}  // namespace velmora
