#pragma once
// Lets the window system run while a long operation holds the GUI thread.
namespace velmora {

class MessagePump {
public:
    virtual ~MessagePump() = default;
    // Dispatches every window message pending for this thread, then returns.
    // Any handler of any open window may run inside this call.
    virtual void DoEvents() = 0;
};

}  // namespace velmora
