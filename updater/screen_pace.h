#pragma once
// Lets texts that change with every block reach the screen at the display's
// pace: a change is pushed when a frame has passed since the last push, and
// the holder pushes the last one itself when the run ends.
#include <optional>

namespace velmora {

class ScreenPace {
public:
    static constexpr double kFrameSeconds = 0.016;

    // True for the first call after restart(), and whenever at least one
    // frame has passed since the last call that returned true (or the time
    // went back). nowSeconds comes from a steady clock.
    bool due(double nowSeconds);

    void restart();

private:
    std::optional<double> lastPush_;
};

}  // namespace velmora
