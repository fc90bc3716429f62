#pragma once
// Printing a pane's page, when the user asks (Ctrl+P, the page's menu) or
// the page does (window.print()): Qt's print preview shows the page as it
// will print, and its print button goes on through Qt's print dialog. With
// no printer installed the page goes to a PDF file in the download folder.
//
// The preview belongs to the view's window and blocks that window only; the
// other windows and their pages go on. The window's deletion waits for the
// preview (DeletionHold): a window closed while it is open ends it. While
// the engine renders into it the preview stays: a close asked for meanwhile
// is carried out once the engine has finished, its print button waits
// disabled, and another print asked for meanwhile (Ctrl+P, the page's
// window.print()) is ignored. A failure to print goes to the program's
// single handling of failures.
#include <memory>

#include <QObject>
#include <QPointer>

class QPrinter;
class QWebEngineView;

namespace velmora {

class DeletionHold;
class PrintPreview;

class PagePrinter final : public QObject {
    Q_OBJECT
public:
    // Owned by view.
    explicit PagePrinter(QWebEngineView* view);
    // Closes a preview still open: it paints on this object's printer.
    ~PagePrinter() override;

    void printWithPreview();

private:
    // Asked by the preview and by its print button: must have put the page
    // onto printer when it returns, while the engine renders it on its own
    // time, so it waits for the engine in a loop of its own.
    void render(QPrinter* printer);
    // The preview's window is closing: the preview and its dialogs end.
    void endPreview();

    QWebEngineView* view_;
    // Kept here rather than in the preview: the engine may still be
    // painting on it when the user closes the preview.
    std::unique_ptr<QPrinter> printer_;
    QPointer<PrintPreview> preview_;
    std::unique_ptr<DeletionHold> previewHold_;  // while preview_ is open
    bool rendering_ = false;
};

}  // namespace velmora
