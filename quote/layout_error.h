#pragma once
// A failure of the proportional layout that is reported to its caller: a
// window size that cannot be recorded, or a ratio that cannot be computed.
// Failures of single controls are never reported; they are skipped.
#include <stdexcept>
#include <string>

namespace velmora {

class LayoutError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace velmora
