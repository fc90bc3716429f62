#pragma once
// Pages' notifications, each in a small box at the bottom right of the
// screen, above other windows, that never takes the keyboard from the page
// the user is typing in. Several stack upward from the corner. A box goes by
// itself after a while, or when clicked: the click brings the page's window
// forward and tells the page, whose onclick runs.
#include <memory>
#include <vector>

#include <QPointer>
#include <QWidget>

class QWebEngineNotification;

namespace velmora {

class NotificationBoxes final : public QObject {
    Q_OBJECT
public:
    NotificationBoxes() = default;
    // Closes the boxes still shown.
    ~NotificationBoxes() override;

    // The profile's presenter: shows notification in a new box.
    void present(std::unique_ptr<QWebEngineNotification> notification);

private:
    // Puts the boxes in the screen's corner, the oldest lowest.
    void stack();

    std::vector<QPointer<QWidget>> boxes_;
};

}  // namespace velmora
