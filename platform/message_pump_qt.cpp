#include <QCoreApplication>

#include "platform/message_pump_qt.h"

namespace velmora {

void QtMessagePump::DoEvents()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

}  // namespace velmora
