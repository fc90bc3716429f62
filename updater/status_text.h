#pragma once
// What the updater window shows for a status of the downloader.
#include <cstdint>
#include <string>
#include <string_view>

#include "updater/cls_download.h"

namespace velmora {

// The text for one status code; "下载被中止" for a code outside 1 to 9.
std::string_view statusText(std::int32_t TmpState);

// "连接状态： " and the status text. The finishing status follows every
// ending but a failed start, so it names the ending that outcome reports:
// "下载完成" only for a complete body that passed its release check. savedIn:
// where the archive stands when that is not the program's folder, named
// after a complete download's "下载完成". keptBytes: what a download that
// goes on from an earlier one's bytes kept, which it names in the place of
// "下载数据...": "连接状态： 继续下载（已有 12.3 MB）".
std::string statusCaption(std::int32_t TmpState, DownloadOutcome outcome, std::string_view savedIn = {},
                          std::int32_t keptBytes = 0);

}  // namespace velmora
