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
    // opener: the window of the page that asked for it, or null.
    PopupWindow(WebEngineBrowser& browser, const QWidget* opener);

    WebPage* page() const { return page_; }

private:
    // Where a window of the default size goes: a little below and right of
    // its opener, so that both can be seen to be there, kept on the screen.
    void placeAtDefaultSize(const QWidget* opener);
    // window.open asked for a size and place of the page area.
    void placeAsAsked(const QRect& pageGeometry);

    QWebEngineView* view_;
    WebPage* page_;
};

}  // namespace velmora
