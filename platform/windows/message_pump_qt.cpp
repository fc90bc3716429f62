#include <QCoreApplication>

#include "platform/windows/message_pump_qt.h"
#include "platform/windows/window_event_arrival.h"

namespace velmora {

QtMessagePump::QtMessagePump(std::chrono::microseconds timerSlice) : timerSlice_(timerSlice) {}

void QtMessagePump::DoEvents()
{
    const auto now = std::chrono::steady_clock::now();
    if (!windowEventsMayHaveArrived() && now - lastPass_ < timerSlice_)
        return;
    lastPass_ = now;
    markWindowEventsSeen();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

}  // namespace velmora
