#pragma once
// Tells the user about failures in one non-modal dialog. Failures that arrive
// while it is open are added to it rather than opening another, so a fault
// that repeats never buries the screen in dialogs. The message is the user's
// words only; the libraries' own texts wait behind the details button.
#include <QObject>
#include <QPointer>
#include <QTranslator>

#include "base/failure_digest.h"
#include "base/failure_handler.h"

class QMessageBox;

namespace velmora {

// The captions of the message box's details button, in Chinese whatever Qt's
// own translations hold.
class DetailsButtonTexts final : public QTranslator {
public:
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* sourceText, const char* disambiguation = nullptr,
                      int n = -1) const override;
};

class DialogFailureHandler final : public FailureHandler {
public:
    DialogFailureHandler() = default;
    ~DialogFailureHandler() override;

    void report(const Failure& failure) override;

    // The dialog while it is open, for the program's own tests.
    QMessageBox* dialog() const;

private:
    void present();
    void showDigest();

    QObject context_;  // ends the timer and connections with the handler
    FailureDigest digest_;
    QPointer<QMessageBox> dialog_;
    DetailsButtonTexts detailsTexts_;
    bool translatorInstalled_ = false;
    bool presentPending_ = false;
};

}  // namespace velmora
