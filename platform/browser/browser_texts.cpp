#include "platform/browser/browser_texts.h"

#include <array>
#include <charconv>

namespace velmora {

namespace {

std::string_view permissionRequest(PagePermission permission)
{
    switch (permission) {
    case PagePermission::Microphone: return "使用您的麦克风";
    case PagePermission::Camera: return "使用您的摄像头";
    case PagePermission::MicrophoneAndCamera: return "使用您的麦克风和摄像头";
    case PagePermission::Notifications: return "向您显示通知";
    case PagePermission::Location: return "获取您的位置信息";
    case PagePermission::MouseLock: return "锁定并隐藏鼠标指针";
    case PagePermission::ScreenShare: return "共享您的屏幕";
    case PagePermission::ScreenShareWithAudio: return "共享您的屏幕和系统声音";
    }
    return "使用一项浏览器功能";
}

std::string joined(std::initializer_list<std::string_view> parts)
{
    std::string text;
    for (std::string_view part : parts)
        text += part;
    return text;
}

}  // namespace

std::string permissionQuestion(std::string_view site, PagePermission permission)
{
    return joined({"网站 ", site, " 请求", permissionRequest(permission), "。\n是否允许？"});
}

std::string pageDialogTitle(std::string_view host)
{
    return joined({"来自 ", host, " 的消息"});
}

std::string pageNotificationTitle(std::string_view host)
{
    return joined({"来自 ", host, " 的通知"});
}

std::string siteSignInText(std::string_view host, std::string_view realm)
{
    std::string text = joined({"网站 ", host, " 要求输入用户名和密码。"});
    if (!realm.empty())
        text += joined({"\n网站说明：", realm});
    return text;
}

std::string proxySignInText(std::string_view proxyHost)
{
    return joined({"代理服务器 ", proxyHost, " 要求输入用户名和密码。"});
}

std::string certificateRefusedText(std::string_view host, std::string_view reason)
{
    return joined({"网站 ", host, " 的安全证书有问题：", reason,
                   "。\n为保护您的信息安全，已拒绝连接此网站。"});
}

std::string byteSizeText(std::int64_t bytes)
{
    if (bytes < 1024)
        return std::to_string(bytes < 0 ? 0 : bytes) + " 字节";
    static constexpr std::array<const char*, 3> kUnits{"KB", "MB", "GB"};
    double value = static_cast<double>(bytes) / 1024.0;
    std::size_t unit = 0;
    // 1023.96 KB would print as "1024.0 KB": such a value moves up a unit.
    while (unit + 1 < kUnits.size() && value >= 1023.95) {
        value /= 1024.0;
        ++unit;
    }
    // to_chars, not printf: the C library's locale would write "1,5 MB"
    // once a locale with a decimal comma is in effect.
    std::array<char, 32> text{};
    const auto written = std::to_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed, 1);
    return std::string(text.data(), written.ptr) + " " + kUnits[unit];
}

std::string downloadProgressText(std::int64_t received, std::int64_t total)
{
    std::string text = "已下载 " + byteSizeText(received);
    if (total > 0) {
        const std::int64_t percent = received >= total ? 100 : received * 100 / total;
        text += "，共 " + byteSizeText(total) + "（" + std::to_string(percent) + "%）";
    }
    return text;
}

std::string downloadFailedText(std::string_view reason)
{
    return joined({"下载失败：", reason});
}

std::string crashedPageHtml(std::string_view address)
{
    std::string attribute;
    for (const char c : address) {
        switch (c) {
        case '&': attribute += "&amp;"; break;
        case '"': attribute += "&quot;"; break;
        case '<': attribute += "&lt;"; break;
        case '>': attribute += "&gt;"; break;
        default: attribute += c;
        }
    }
    return joined({"<!DOCTYPE html><html lang=\"zh-CN\"><head><meta charset=\"utf-8\"><title>", kCrashedPageText,
                   "</title><style>body{margin:48px;font:15px sans-serif;color:#333;background:#fff}"
                   "a{color:#1a5fb4}</style></head><body><p>",
                   kCrashedPageText, "</p><p><a href=\"", attribute, "\">", kReloadCaption,
                   "</a></p></body></html>"});
}

}  // namespace velmora
