#include "app/velmora_application.h"

#include "base/failure_handler.h"

namespace velmora {

VelmoraApplication::VelmoraApplication(int& argc, char** argv, FailureHandler& failures)
    : QApplication(argc, argv), failures_(failures)
{
}

bool VelmoraApplication::notify(QObject* receiver, QEvent* event)
{
    bool handled = false;
    failures_.guard("处理窗口事件", [&] { handled = QApplication::notify(receiver, event); });
    return handled;
}

}  // namespace velmora
