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

namespace {

constexpr std::string_view kPdfSuffix = ".pdf";
constexpr std::size_t kMaxNameCharacters = 100;
constexpr std::size_t kMaxNameBytes = 255;

bool startsCharacter(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
}

// At most kMaxNameCharacters characters of name, and no more bytes than
// leave room for the suffix, never cutting a character in two.
void cutToLength(std::string& name)
{
    constexpr std::size_t kRoom = kMaxNameBytes - kPdfSuffix.size();
    std::size_t kept = 0;
    std::size_t characters = 0;
    for (std::size_t end = 1; end <= name.size(); ++end) {
        if (end < name.size() && !startsCharacter(name[end]))
            continue;
        // end closes one more character.
        if (++characters > kMaxNameCharacters || end > kRoom)
            break;
        kept = end;
    }
    name.erase(kept);
}

// CON, PRN, AUX, NUL, COM0 to COM9 and LPT0 to LPT9 (Windows takes the
// superscripts ¹, ² and ³ for digits there too), in any case, alone or
// before an extension: Windows opens the device instead of a file.
bool isWindowsDeviceName(std::string_view name)
{
    std::string base(name.substr(0, name.find('.')));
    base.erase(base.find_last_not_of(' ') + 1);
    std::transform(base.begin(), base.end(), base.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; });
    if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL")
        return true;
    if (!base.starts_with("COM") && !base.starts_with("LPT"))
        return false;
    const std::string_view digit = std::string_view(base).substr(3);
    return (digit.size() == 1 && digit[0] >= '0' && digit[0] <= '9') || digit == "¹" || digit == "²"
           || digit == "³";
}

// Cut to length, without the spaces and dots at its end that Windows drops.
void fitName(std::string& name)
{
    cutToLength(name);
    const auto kept = name.find_last_not_of(" .");
    name.erase(kept == std::string::npos ? 0 : kept + 1);
}

}  // namespace

std::string printFileName(std::string_view pageTitle)
{
    std::string name;
    for (const char c : pageTitle) {
        // Control characters and those Windows refuses in a name.
        const bool refused =
            static_cast<unsigned char>(c) < 0x20 || std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos;
        name += refused ? '_' : c;
    }
    fitName(name);
    // The name as it will be opened, cut and trimmed: a title cut down to a
    // device's name is guarded too.
    if (isWindowsDeviceName(name)) {
        name.insert(0, "_");
        fitName(name);
    }
    return (name.empty() ? std::string("网页") : name) + std::string(kPdfSuffix);
}

}  // namespace velmora
