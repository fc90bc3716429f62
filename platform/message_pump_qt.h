#pragma once
#include "platform/message_pump.h"

namespace velmora {

class QtMessagePump final : public MessagePump {
public:
    void DoEvents() override;
};

}  // namespace velmora
