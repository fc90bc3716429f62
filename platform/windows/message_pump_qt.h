#pragma once
#include <chrono>

#include "platform/windows/message_pump.h"

namespace velmora {

// Qt's event loop as the message pump. A yield with nothing waiting returns
// at once; a pass of the loop runs when something has arrived and, for the
// timers, whose coming nothing announces, at least once per timer slice.
class QtMessagePump final : public MessagePump {
public:
    static constexpr std::chrono::microseconds kTimerSlice{1000};

    explicit QtMessagePump(std::chrono::microseconds timerSlice = kTimerSlice);
    void DoEvents() override;

private:
    std::chrono::steady_clock::duration timerSlice_;
    std::chrono::steady_clock::time_point lastPass_;
};

}  // namespace velmora
