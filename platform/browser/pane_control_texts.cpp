#include "platform/browser/pane_control_texts.h"

#include <algorithm>
#include <iterator>

namespace velmora {

int zoomInStep(int percent)
{
    const auto* next = std::upper_bound(std::begin(kZoomSteps), std::end(kZoomSteps), percent);
    return next == std::end(kZoomSteps) ? kZoomSteps[std::size(kZoomSteps) - 1] : *next;
}

int zoomOutStep(int percent)
{
    const auto* atOrAbove = std::lower_bound(std::begin(kZoomSteps), std::end(kZoomSteps), percent);
    return atOrAbove == std::begin(kZoomSteps) ? kZoomSteps[0] : *std::prev(atOrAbove);
}

std::string zoomText(int percent)
{
    return "缩放：" + std::to_string(percent) + "%";
}

std::string findCountText(int activeMatch, int matches)
{
    if (matches <= 0)
        return "无匹配结果";
    const int shown = std::clamp(activeMatch, 1, matches);
    return "第 " + std::to_string(shown) + " 个，共 " + std::to_string(matches) + " 个";
}

std::string printFileName(std::string_view pageTitle)
{
    std::string name;
    for (const char c : pageTitle) {
        // Control characters and those Windows refuses in a name.
        const bool refused =
            static_cast<unsigned char>(c) < 0x20 || std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos;
        name += refused ? '_' : c;
    }
    const auto kept = name.find_last_not_of(" .");
    name.erase(kept == std::string::npos ? 0 : kept + 1);
    return (name.empty() ? std::string("网页") : name) + ".pdf";
}

}  // namespace velmora
