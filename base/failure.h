#pragma once
// One failure as the single handling of uncaught failures receives it: what
// the user was doing, what failed in the user's words, its class, and the
// library's or system's own text, which the user sees only on asking.
#include <exception>
#include <string>
#include <string_view>
#include <utility>

#include "platform/system/failure_class.h"

namespace velmora {

struct Failure {
    std::string action;   // what the user was doing: "下载更新"
    std::string attempt;  // what failed, in the user's language: "获取更新通知失败"
    FailureClass failureClass = FailureClass::Unclassified;
    std::string detail;   // the library's own text; empty when there is none

    bool operator==(const Failure&) const = default;
};

// Thrown out of a handler by a step whose failure the user knows by the
// step's own name rather than the handler's (the main window's load step
// fails while it checks for updates): the failure is reported with that
// action and the class and texts of the cause.
class StepFailure : public std::exception {
public:
    StepFailure(std::string_view action, std::exception_ptr cause) : action_(action), cause_(std::move(cause)) {}
    const char* what() const noexcept override { return action_.c_str(); }
    const std::string& action() const { return action_; }
    const std::exception_ptr& cause() const { return cause_; }

private:
    std::string action_;
    std::exception_ptr cause_;
};

// Runs step; whatever it throws leaves as a StepFailure for action.
template <typename Step>
decltype(auto) asStep(std::string_view action, Step&& step)
{
    try {
        return step();
    } catch (...) {
        throw StepFailure(action, std::current_exception());
    }
}

// The failure that ended a handler run for action: a PlatformError keeps its
// class and parts, a ProgramError its text; anything else is an internal
// failure whose own text goes to the details.
Failure failureOf(std::string_view action, std::exception_ptr error);

}  // namespace velmora
