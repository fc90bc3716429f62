#pragma once
// Enter and Return click the button that holds the focus in a window, as on
// Windows; a Qt button outside a dialog answers only to Space. Every window
// of the program gets this behaviour from here.
#include <QObject>

class QWidget;

namespace velmora {

class EnterClicksButton final : public QObject {
    Q_OBJECT
public:
    // Owned by window, whose key presses it watches from then on.
    explicit EnterClicksButton(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* window_;
};

}  // namespace velmora
