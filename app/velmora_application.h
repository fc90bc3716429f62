#pragma once
// The application object. Besides what QApplication does, it hands any
// failure that escapes an event handler to the failure handler, so nothing a
// window does can end the program.
#include <QApplication>

namespace velmora {

class FailureHandler;

class VelmoraApplication final : public QApplication {
    Q_OBJECT
public:
    VelmoraApplication(int& argc, char** argv, FailureHandler& failures);

    bool notify(QObject* receiver, QEvent* event) override;

private:
    FailureHandler& failures_;
};

}  // namespace velmora
