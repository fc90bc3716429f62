#include "updater/size_text.h"

#include <algorithm>
#include <charconv>
#include <string>
#include <system_error>

#include "updater/download_error.h"

namespace velmora {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view trimBlanks(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

}  // namespace

std::int32_t sizeTextValue(std::string_view sizeText)
{
    const std::string_view text = trimBlanks(sizeText.substr(0, sizeText.find('\0')));
    if (text.empty() || !std::all_of(text.begin(), text.end(), isDigit))
        return 0;
    std::int32_t value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec == std::errc::result_out_of_range)
        throw DownloadError("远程文件的长度（" + std::string(text) +
                            " 字节）超出了下载器能处理的 2147483647 字节");
    return value;
}

}  // namespace velmora
