#pragma once
#include <string>
#include <vector>

#include "base/failure_handler.h"

namespace velmora::test {

class RecordingFailureHandler final : public FailureHandler {
public:
    void report(const Failure& failure) override
    {
        std::string line = failure.action + "|" + failure.attempt;
        if (!failure.detail.empty())
            line += "：" + failure.detail;
        reports.push_back(std::move(line));
        received.push_back(failure);
    }
    std::vector<std::string> reports;  // "action|attempt：detail"
    std::vector<Failure> received;
};

}  // namespace velmora::test
