#pragma once
// Tells the user about failures in one non-modal dialog. Failures that arrive
// while it is open are added to it rather than opening another, so a fault
// that repeats never buries the screen in dialogs.
#include <QObject>
#include <QPointer>

#include "base/failure_digest.h"
#include "base/failure_handler.h"

class QMessageBox;

namespace velmora {

class DialogFailureHandler final : public FailureHandler {
public:
    DialogFailureHandler() = default;
    ~DialogFailureHandler() override;

    void report(std::string_view action, std::string_view reason) override;

private:
    void present();

    QObject context_;  // ends the timer and connections with the handler
    FailureDigest digest_;
    QPointer<QMessageBox> dialog_;
    bool presentPending_ = false;
};

}  // namespace velmora
