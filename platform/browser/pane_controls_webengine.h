#pragma once
// What a browser user's hands expect of a pane: the keys to reload (F5,
// Ctrl+R; with Ctrl or Shift, past the cache), to stop a page still loading
// (Escape), to go back and forward (Alt+Left, Alt+Right), to zoom (Ctrl with
// plus, minus, 0 or the wheel), to find in the page (Ctrl+F, F3, Shift+F3)
// and to print (Ctrl+P, also in the page's menu).
//
// The keys belong to the pane's window: they work wherever the focus is in
// it, the page included. None of them means anything in a text field, and a
// field that has a use for one (the find bar's Escape) keeps it. The zoom
// holds for the window until the program ends; nothing of it is stored.
#include <QList>
#include <QObject>

class QAction;
class QKeySequence;
class QWebEngineView;

namespace velmora {

class FindBar;
class PagePrinter;
class ZoomIndicator;

class PaneControls final : public QObject {
    Q_OBJECT
public:
    // Owned by view, which must be in the window the user sees it in.
    explicit PaneControls(QWebEngineView* view);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    template <typename Slot>
    QAction* addKeys(const QList<QKeySequence>& keys, Slot slot);
    void createKeys();
    void zoomTo(int percent);
    void openFindBar();
    void findNext();
    void findPrevious();
    void showContextMenu(const QPoint& at);
    void watchWheelOf(QObject* child);

    QWebEngineView* view_;
    PagePrinter* printer_;
    QAction* print_ = nullptr;
    // Made when first needed; both lie over the window without being its
    // controls (markAsOverlay), so no layout of the window moves them.
    ZoomIndicator* zoomIndicator_ = nullptr;
    FindBar* findBar_ = nullptr;
    int zoom_;                    // in percent
    int wheelTurned_ = 0;         // Ctrl+wheel not yet made a step, in eighths of a degree
};

}  // namespace velmora
