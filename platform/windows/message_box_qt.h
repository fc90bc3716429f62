#pragma once
#include "platform/windows/message_box.h"

namespace velmora {

class QtMessageBox final : public MessageBox {
public:
    int askYesNo(const std::string& prompt, const std::string& title) override;
};

}  // namespace velmora
