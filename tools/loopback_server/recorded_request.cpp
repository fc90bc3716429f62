#include "tools/loopback_server/recorded_request.h"

#include <algorithm>
#include <cctype>

namespace velmora::loopback {

namespace {

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

std::string_view trim(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

std::string_view nextLine(std::string_view& rest)
{
    const auto end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    rest = (end == std::string_view::npos) ? std::string_view{} : rest.substr(end + 1);
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line;
}

}  // namespace

std::optional<std::string> RecordedRequest::header(std::string_view name) const
{
    for (const auto& [key, value] : headers) {
        if (equalsIgnoringCase(key, name))
            return value;
    }
    return std::nullopt;
}

std::optional<RecordedRequest> parseRequestHead(std::string_view head)
{
    std::string_view rest = head;
    const std::string_view requestLine = nextLine(rest);
    const auto firstSpace = requestLine.find(' ');
    const auto lastSpace = requestLine.rfind(' ');
    if (firstSpace == std::string_view::npos || lastSpace == firstSpace)
        return std::nullopt;

    RecordedRequest request;
    request.method = std::string(requestLine.substr(0, firstSpace));
    request.target = std::string(requestLine.substr(firstSpace + 1, lastSpace - firstSpace - 1));
    request.path = request.target.substr(0, request.target.find('?'));
    if (request.method.empty() || request.target.empty())
        return std::nullopt;

    while (!rest.empty()) {
        const std::string_view line = nextLine(rest);
        const auto colon = line.find(':');
        if (line.empty() || colon == std::string_view::npos)
            continue;
        request.headers.emplace_back(std::string(trim(line.substr(0, colon))),
                                     std::string(trim(line.substr(colon + 1))));
    }
    return request;
}

}  // namespace velmora::loopback
