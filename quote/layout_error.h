#pragma once
// A failure of the proportional layout that is reported to its caller: a
// window size that cannot be recorded, or a ratio that cannot be computed.
// Failures of single controls are never reported; they are skipped.
// what() is Chinese text that can be shown to the user.
#include "platform/system/failure_class.h"

namespace velmora {

class LayoutError : public ProgramError {
public:
    using ProgramError::ProgramError;
};

}  // namespace velmora
