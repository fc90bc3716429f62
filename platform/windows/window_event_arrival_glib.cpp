// Qt's event dispatcher on Linux runs on GLib's main loop. Everything that
// reaches the GUI thread from elsewhere (a posted event, an X event taken in
// by Qt's xcb reader thread, a window system request) goes through the
// dispatcher's wakeUp(), and that through g_main_context_wakeup(). Defining
// that function here puts this one in front of GLib's for the whole process:
// it notes the wake-up and passes it on. Reading the note costs one atomic
// load, where a pass of the loop costs a poll() and a round of GLib's locks.
#include <dlfcn.h>

#include <atomic>

#include <QAbstractEventDispatcher>
#include <QCoreApplication>

#include "platform/windows/window_event_arrival.h"

namespace {

std::atomic<bool> wokenUp{true};

using WakeUp = void (*)(void*);

WakeUp glibWakeUp()
{
    static const auto next = reinterpret_cast<WakeUp>(::dlsym(RTLD_NEXT, "g_main_context_wakeup"));
    return next;
}

// A process whose wake-ups do not come through here (Qt without GLib, or a
// link that kept GLib's function in front) must run the loop every time.
bool wakeUpsAreSeen()
{
    static const bool seen = [] {
        QAbstractEventDispatcher* dispatcher = QCoreApplication::eventDispatcher();
        if (!dispatcher || !glibWakeUp())
            return false;
        wokenUp.store(false);
        dispatcher->wakeUp();
        return wokenUp.load();
    }();
    return seen;
}

}  // namespace

extern "C" void g_main_context_wakeup(void* context)
{
    wokenUp.store(true, std::memory_order_release);
    if (const WakeUp next = glibWakeUp())
        next(context);
}

namespace velmora {

bool windowEventsMayHaveArrived()
{
    return !wakeUpsAreSeen() || wokenUp.load(std::memory_order_acquire);
}

void markWindowEventsSeen()
{
    wokenUp.store(false, std::memory_order_release);
}

}  // namespace velmora
