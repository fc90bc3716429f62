#pragma once
// A window a page opened (target="_blank", window.open, "open in new
// window", "view page source"): one pane and nothing else, the page's title
// as its caption, the program's icon. The user or the page itself
// (window.close) closes it, and it is deleted then.
#include <QWidget>

class QWebEngineView;

namespace velmora {

class WebEngineBrowser;
class WebPage;

class PopupWindow final : public QWidget {
    Q_OBJECT
public:
    explicit PopupWindow(WebEngineBrowser& browser);

    WebPage* page() const { return page_; }

private:
    // Where a window of the default size goes: the size of the program's
    // main window, kept on the screen.
    void placeAtDefaultSize();
    // window.open asked for a size and place of the page area.
    void placeAsAsked(const QRect& pageGeometry);

    QWebEngineView* view_;
    WebPage* page_;
};

}  // namespace velmora
