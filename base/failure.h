#pragma once
// One failure as the single handling of uncaught failures receives it: what
// the user was doing, what failed in the user's words, its class, and the
// library's or system's own text, which the user sees only on asking.
#include <exception>
#include <string>
#include <string_view>

#include "platform/system/failure_class.h"

namespace velmora {

struct Failure {
    std::string action;   // what the user was doing: "下载更新"
    std::string attempt;  // what failed, in the user's language: "获取更新通知失败"
    FailureClass failureClass = FailureClass::Unclassified;
    std::string detail;   // the library's own text; empty when there is none

    bool operator==(const Failure&) const = default;
};

// The failure that ended a handler run for action: a PlatformError keeps its
// class and parts, a ProgramError its text; anything else is an internal
// failure whose own text goes to the details.
Failure failureOf(std::string_view action, std::exception_ptr error);

}  // namespace velmora
