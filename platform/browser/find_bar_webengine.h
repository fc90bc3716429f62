#pragma once
// Find in page: a bar along the bottom of a pane's window with the text to
// find, the previous and next buttons, how many matches there are and which
// one is shown, and a close button. The page finds as the user types.
//
// Keys in the text field: Return and Shift+Return go to the next and the
// previous match, Escape closes the bar and gives the focus back to the
// page, which keeps the match shown selected.
#include <QPointer>
#include <QWidget>

class QLabel;
class QLineEdit;
class QWebEngineFindTextResult;
class QWebEngineView;

namespace velmora {

class FindBar final : public QWidget {
    Q_OBJECT
public:
    // A child of view's window, hidden until opened.
    explicit FindBar(QWebEngineView* view);

    // Shows the bar with its text selected, ready to be typed over.
    void open();
    void findNext();
    void findPrevious();
    void closeBar();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void onTextChanged(const QString& text);
    void onFindFinished(const QWebEngineFindTextResult& result);
    void find(bool backward);
    void placeInWindow();
    bool fieldKey(QKeyEvent* key);

    QPointer<QWebEngineView> view_;
    QLineEdit* field_ = nullptr;
    QLabel* count_ = nullptr;
};

}  // namespace velmora
