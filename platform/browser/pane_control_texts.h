#pragma once
// What a pane's browser controls say and the zoom steps they take: free of
// the engine, so that both can be checked as tables. The words are
// Simplified Chinese.
#include <string>
#include <string_view>

namespace velmora {

// The zoom levels a browser steps through, in percent, smallest first.
inline constexpr int kZoomSteps[] = {25, 33, 50, 67, 75, 80, 90, 100, 110, 125, 150, 175, 200, 250, 300, 400, 500};
inline constexpr int kDefaultZoom = 100;

// The next step above (or below) percent; at the end of the table the end
// itself. A level between steps, as a page's own zoom may leave, moves to
// the nearest step in that direction.
int zoomInStep(int percent);
int zoomOutStep(int percent);

// "缩放：110%".
std::string zoomText(int percent);

inline constexpr std::string_view kFindLabel = "查找：";
inline constexpr std::string_view kFindPreviousCaption = "上一个";
inline constexpr std::string_view kFindNextCaption = "下一个";
inline constexpr std::string_view kFindCloseTip = "关闭查找栏";
// "第 2 个，共 5 个"; "无匹配结果" when nothing matched.
std::string findCountText(int activeMatch, int matches);

inline constexpr std::string_view kPrintMenuItem = "打印...";
// What failed when a page could not be printed, and the reasons the
// printing library gives no words for.
inline constexpr std::string_view kPrintFailed = "打印网页失败";
inline constexpr std::string_view kPrintRenderFailed = "无法生成网页的打印内容";
inline constexpr std::string_view kPrinterFailed = "打印机出错";
// The file a page is printed to when no printer is installed: the page's
// title, without the characters a file name cannot hold, and ".pdf";
// "网页.pdf" for a page without a title. The title is cut to 100 characters,
// and to what fits in a name of 255 bytes, on a character boundary; a name
// Windows keeps for a device (CON, NUL, COM1 ...) gets "_" in front.
std::string printFileName(std::string_view pageTitle);

}  // namespace velmora
