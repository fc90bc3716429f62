#pragma once
#include <string>
#include <vector>

#include "base/failure_handler.h"

namespace velmora::testing {

class RecordingFailureHandler final : public FailureHandler {
public:
    void report(std::string_view action, std::string_view reason) override
    {
        reports.push_back(std::string(action) + "|" + std::string(reason));
    }
    std::vector<std::string> reports;  // "action|reason"
};

}  // namespace velmora::testing
