#pragma once
// The main window's menu bar: eleven items on the bar itself, in order. Nine
// load a page of the site into the content pane; the table is the navigation.
#include <array>
#include <string_view>

namespace velmora {

enum class MenuAction { Navigate, ShowQuoteWindow, ToggleOnTop };

struct MenuItem {
    std::string_view name;     // the item's control name
    std::string_view caption;  // its caption at start
    MenuAction action;
    std::string_view path;     // site path for Navigate, empty otherwise
};

inline constexpr std::array<MenuItem, 11> kMenuItems{{
    {"zhuy", "主页", MenuAction::Navigate, "/tiaozhuan/index1.html"},
    {"Add", "网络电视", MenuAction::Navigate, "/tiaozhuan/tv.html"},
    {"dy", "高清电影", MenuAction::Navigate, "/tiaozhuan/movie.html"},
    {"juc", "高清剧场", MenuAction::Navigate, "/tiaozhuan/juchang.html"},
    {"dongm", "动漫天地", MenuAction::Navigate, "/tiaozhuan/dongman.html"},
    {"mtv", "高清MTV", MenuAction::Navigate, "/tiaozhuan/mtv.html"},
    {"Min", "电台广播", MenuAction::Navigate, "/tiaozhuan/dtgb.html"},
    {"mfdh", "免费电话", MenuAction::Navigate, "/tiaozhuan/mfdh.html"},
    {"gphq", "股票行情", MenuAction::ShowQuoteWindow, ""},
    {"liuy", "留言建议", MenuAction::Navigate, "/tiaozhuan/book.htm"},
    {"ckzd", "窗口置顶", MenuAction::ToggleOnTop, ""},
}};

inline constexpr std::string_view kStartPagePath = "/tiaozhuan/index1.html";
inline constexpr std::string_view kBannerPagePath = "/gg/01.html";

// The on-top item's caption for a pinned or unpinned window.
constexpr std::string_view onTopCaption(bool isOnTop)
{
    return isOnTop ? "取消置顶" : "窗口置顶";
}

}  // namespace velmora
