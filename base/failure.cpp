#include "base/failure.h"

#include "platform/system/platform_error.h"

namespace velmora {

Failure failureOf(std::string_view action, std::exception_ptr error)
{
    Failure failure{std::string(action), "程序内部出错", FailureClass::Unclassified, ""};
    try {
        std::rethrow_exception(error);
    } catch (const StepFailure& e) {
        return failureOf(e.action(), e.cause());
    } catch (const PlatformError& e) {
        failure.attempt = e.action();
        failure.failureClass = e.failureClass();
        failure.detail = e.reason();
    } catch (const ProgramError& e) {
        failure.attempt = e.what();
    } catch (const std::exception& e) {
        failure.detail = e.what();
    } catch (...) {
        failure.detail = "未知错误";
    }
    return failure;
}

}  // namespace velmora
