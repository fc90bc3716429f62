#pragma once
// What the browser panes say to the user when a page asks something of them:
// the words only, free of the engine, so that every text can be checked as a
// table. All of it is Simplified Chinese.
#include <cstdint>
#include <string>
#include <string_view>

namespace velmora {

// What a page may ask to use. One question per site and kind in a run.
enum class PagePermission {
    Microphone,
    Camera,
    MicrophoneAndCamera,
    Notifications,
    Location,
    MouseLock,
    ScreenShare,
    ScreenShareWithAudio,
};

inline constexpr std::string_view kPermissionTitle = "权限请求";
inline constexpr std::string_view kAllowCaption = "允许(&A)";
inline constexpr std::string_view kDenyCaption = "拒绝(&D)";

// "网站 <site> 请求使用您的麦克风。" and a line asking whether to allow it.
std::string permissionQuestion(std::string_view site, PagePermission permission);

// The title of a page's alert, confirm and prompt boxes: "来自 <host> 的消息".
std::string pageDialogTitle(std::string_view host);
// The title of a notification a page shows: "来自 <host> 的通知".
std::string pageNotificationTitle(std::string_view host);

// From a page's second dialog on, the check box that stops its dialogs.
inline constexpr std::string_view kStopDialogsCaption = "禁止此网页再显示对话框";

inline constexpr std::string_view kOkCaption = "确定";
inline constexpr std::string_view kCancelCaption = "取消";

// Sign-in asked by a site or by a proxy on the way.
inline constexpr std::string_view kSignInTitle = "需要登录";
std::string siteSignInText(std::string_view host, std::string_view realm);
std::string proxySignInText(std::string_view proxyHost);
inline constexpr std::string_view kUserNameLabel = "用户名：";
inline constexpr std::string_view kPasswordLabel = "密码：";
inline constexpr std::string_view kSignInCaption = "登录";

// A site whose certificate does not hold: the connection is refused and the
// user is told why, in words for a user.
inline constexpr std::string_view kCertificateTitle = "安全警告";
std::string certificateRefusedText(std::string_view host, std::string_view reason);

// A pane whose renderer died again soon after it was restarted shows a page
// of the program's own instead of a blank grey: what happened, and a link
// that loads address (the page that was lost) again.
inline constexpr std::string_view kCrashedPageText = "此网页无法显示：显示网页的进程意外停止。";
inline constexpr std::string_view kReloadCaption = "重新加载";
std::string crashedPageHtml(std::string_view address);

// Shown for a while over a page that has gone full screen.
inline constexpr std::string_view kFullScreenHint = "按 Esc 键可退出全屏";

// The files a page's <input type=file> uploads.
inline constexpr std::string_view kOpenFileTitle = "打开";
inline constexpr std::string_view kUploadFolderTitle = "选择要上传的文件夹";
inline constexpr std::string_view kAcceptedFilesFilter = "网页接受的文件";
inline constexpr std::string_view kAllFilesFilter = "所有文件";

// Downloads a page starts.
inline constexpr std::string_view kSaveDialogTitle = "保存文件";
inline constexpr std::string_view kDownloadsTitle = "下载";
// "1.5 MB" and the like: bytes, then KB, MB and GB with one decimal.
std::string byteSizeText(std::int64_t bytes);
// "已下载 1.5 MB，共 3.0 MB（50%）"; without a known total, "已下载 1.5 MB".
std::string downloadProgressText(std::int64_t received, std::int64_t total);
inline constexpr std::string_view kDownloadDone = "下载完成";
inline constexpr std::string_view kDownloadCancelled = "已取消";
// Asked once when a page starts further downloads by itself.
inline constexpr std::string_view kMultipleDownloadsQuestion = "此网站想下载多个文件";
inline constexpr std::string_view kBlockCaption = "禁止(&B)";
// "下载失败：<reason>".
std::string downloadFailedText(std::string_view reason);

}  // namespace velmora
