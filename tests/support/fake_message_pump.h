#pragma once
// A message pump with no window system behind it: counts the yields and runs
// what a test puts there, standing in for the handlers a real pump would
// dispatch (a Stop click, a second Download click, a close).
#include <functional>

#include "platform/windows/message_pump.h"

namespace velmora {

class FakeMessagePump final : public MessagePump {
public:
    // Receives the number of this call, starting at 1.
    std::function<void(int)> onDoEvents;

    int calls() const { return calls_; }

    void DoEvents() override
    {
        ++calls_;
        if (onDoEvents)
            onDoEvents(calls_);
    }

    // Work handed to DoEventsDuring runs at once, on the caller's thread, so
    // that the yields a test counts are the downloader's own; with
    // workOnAThread, as the real pump runs it.
    bool workOnAThread = false;
    void DoEventsDuring(const std::function<void()>& work) override
    {
        if (workOnAThread)
            MessagePump::DoEventsDuring(work);
        else
            work();
    }

private:
    int calls_ = 0;
};

}  // namespace velmora
