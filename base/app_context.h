#pragma once
// What every window of the program is handed when it is created.
namespace velmora {

class FailureHandler;
class Platform;
class WindowRegistry;

struct AppContext {
    Platform& platform;
    WindowRegistry& windows;
    FailureHandler& failures;
};

}  // namespace velmora
