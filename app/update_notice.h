#pragma once
// The update check's rule: the notice asks for an update only when its whole
// text is the marker, nothing before or after it.
#include <string_view>

namespace velmora {

inline constexpr std::string_view kNoticePath = "/update/velmora1.0.txt";
inline constexpr std::string_view kUpdateMarker = "有更新";
inline constexpr std::string_view kUpdatePrompt = "发现新的软件可以更新，请问是否更新";
inline constexpr std::string_view kUpdatePromptTitle = "更新提示";
// What the user sees happen while the notice is fetched and compared; every
// failure of the check is reported under it.
inline constexpr std::string_view kUpdateCheckStep = "检查更新";

constexpr bool isUpdateMarker(std::string_view noticeText)
{
    return noticeText == kUpdateMarker;
}

}  // namespace velmora
