#include "updater/status_text.h"

#include "platform/browser/browser_texts.h"

namespace velmora {

namespace {

constexpr std::string_view kAbortedText = "下载被中止";
// The body came whole but is not the publisher's: the user must know that the
// old archive is still the one in place, and why.
constexpr std::string_view kRejectedText = "校验失败：文件未通过签名验证，未替换原文件";
// Two windows that both answered yes: the second waits for the first's
// archive rather than writing into it.
constexpr std::string_view kBusyText = "另一个窗口正在下载这个更新，请等它完成后再试";

std::string_view finishedText(DownloadOutcome outcome)
{
    switch (outcome) {
    case DownloadOutcome::Complete:
        return statusText(kStatusFinished);
    case DownloadOutcome::Stopped:
        return statusText(kStatusStopped);
    case DownloadOutcome::RequestFailed:
        return statusText(kStatusRequestFailed);
    case DownloadOutcome::ConnectFailed:
        return statusText(kStatusConnectFailed);
    case DownloadOutcome::SignatureRejected:
        return kRejectedText;
    case DownloadOutcome::TargetBusy:
        return kBusyText;
    case DownloadOutcome::CutOff:
    case DownloadOutcome::None:
        break;
    }
    return kAbortedText;
}

}  // namespace

std::string_view statusText(std::int32_t TmpState)
{
    switch (TmpState) {
    case kStatusConnecting: return "连接服务器...";
    case kStatusSendingRequest: return "发送请求...";
    case kStatusReadingInfo: return "获取远程文件信息...";
    case kStatusDownloading: return "下载数据...";
    case kStatusStopped: return "停止下载";
    case kStatusFinished: return "下载完成";
    case kStatusConnectFailed: return "连接服务器失败";
    case kStatusRequestFailed: return "发送请求失败";
    case kStatusEndOfData: return "连接服务器";
    default: return kAbortedText;
    }
}

std::string statusCaption(std::int32_t TmpState, DownloadOutcome outcome, std::string_view savedIn,
                          std::int32_t keptBytes)
{
    // Sizes read as they do in the browser panes' download window.
    if (TmpState == kStatusDownloading && keptBytes > 0)
        return "连接状态： 继续下载（已有 " + byteSizeText(keptBytes) + "）";
    const bool finished = TmpState == kStatusFinished;
    std::string caption = "连接状态： " + std::string(finished ? finishedText(outcome) : statusText(TmpState));
    if (finished && outcome == DownloadOutcome::Complete && !savedIn.empty())
        caption += "，保存在 " + std::string(savedIn);
    return caption;
}

}  // namespace velmora
