#pragma once
// Lets the window system run while a long operation holds the GUI thread.
#include <functional>

#include "platform/system/call_within.h"

namespace velmora {

class MessagePump {
public:
    virtual ~MessagePump() = default;
    // Dispatches every window message pending for this thread, then returns.
    // Any handler of any open window may run inside this call.
    virtual void DoEvents() = 0;

    // Runs work that may take long but cannot be left half-way (a flush to
    // the disk, a rename, the hash of a large file) where it does not hold
    // the window: on a thread of its own, dispatching messages as DoEvents
    // does at least every 50 ms until it has ended. Rethrows the work's
    // exception. The work must not touch what the handlers may touch
    // meanwhile.
    virtual void DoEventsDuring(const std::function<void()>& work)
    {
        callServed(work, [this] { DoEvents(); });
    }
};

}  // namespace velmora
