#include <windows.h>

#include "platform/windows/window_event_arrival.h"

namespace velmora {

// Every way into a thread's loop on Windows is a message, Qt's own wake-ups,
// timers and socket notices included; the queue's status says whether one
// waits without taking it.
bool windowEventsMayHaveArrived()
{
    return HIWORD(::GetQueueStatus(QS_ALLINPUT)) != 0;
}

void markWindowEventsSeen() {}

}  // namespace velmora
