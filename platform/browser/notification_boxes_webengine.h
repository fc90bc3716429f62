#pragma once
// Pages' notifications, each in a small box at the bottom right of the
// screen, above other windows, that never takes the keyboard from the page
// the user is typing in. A few stack upward from the corner; one more makes
// the oldest go. A notification with the tag of one shown takes its box's
// place. A box goes by itself after a while, or when clicked: the click
// brings the page's window forward as it is (a maximised one stays so) and
// tells the page, whose onclick runs.
#include <memory>
#include <vector>

#include <QObject>

class QWebEngineNotification;

namespace velmora {

class NotificationBox;

class NotificationBoxes final : public QObject {
    Q_OBJECT
public:
    NotificationBoxes();
    // Closes the boxes still shown.
    ~NotificationBoxes() override;

    // The profile's presenter: shows notification.
    void present(std::unique_ptr<QWebEngineNotification> notification);
    // A box has closed; it goes once control is back in the event loop.
    void boxClosed();

private:
    // Deletes the boxes closed, then puts the others in the screen's
    // corner, the oldest lowest.
    void tidy();

    std::vector<std::unique_ptr<NotificationBox>> boxes_;  // the oldest first
};

}  // namespace velmora
