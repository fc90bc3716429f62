#include "updater/resume_record.h"

#include <charconv>
#include <vector>

namespace velmora {

namespace {

constexpr std::string_view kRecordHeading = "velmora-part 1";

std::optional<std::int64_t> number(std::string_view text)
{
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty() || value < 0)
        return std::nullopt;
    return value;
}

std::vector<std::string_view> lines(std::string_view text)
{
    std::vector<std::string_view> out;
    while (!text.empty()) {
        const auto end = text.find('\n');
        if (end == std::string_view::npos)
            return {};  // a record ends with its line end; one without was cut short
        out.push_back(text.substr(0, end));
        text.remove_prefix(end + 1);
    }
    return out;
}

}  // namespace

std::string recordText(const ResumeRecord& record)
{
    return std::string(kRecordHeading) + "\n" + record.url + "\n" + record.validator + "\n"
           + std::to_string(record.total) + "\n";
}

std::optional<ResumeRecord> parseRecord(std::string_view text)
{
    const std::vector<std::string_view> fields = lines(text);
    if (fields.size() != 4 || fields[0] != kRecordHeading || fields[1].empty() || fields[2].empty())
        return std::nullopt;
    const std::optional<std::int64_t> total = number(fields[3]);
    if (!total || *total == 0)
        return std::nullopt;
    return ResumeRecord{std::string(fields[1]), std::string(fields[2]), *total};
}

std::optional<std::string> resumeValidator(const std::optional<std::string>& etag,
                                           const std::optional<std::string>& lastModified)
{
    const auto usable = [](const std::optional<std::string>& value) {
        return value && !value->empty() && value->find_first_of("\r\n") == std::string::npos;
    };
    if (usable(etag) && etag->rfind("W/", 0) != 0)
        return etag;
    if (usable(etag))
        return std::nullopt;  // weak: the server may hand out other bytes under it
    if (usable(lastModified))
        return lastModified;
    return std::nullopt;
}

std::string rangeRequestHeaders(std::int64_t kept, const std::string& validator)
{
    return "Range: bytes=" + std::to_string(kept) + "-\r\nIf-Range: " + validator + "\r\n";
}

std::optional<ContentRange> parseContentRange(std::string_view text)
{
    constexpr std::string_view unit = "bytes ";
    if (text.substr(0, unit.size()) != unit)
        return std::nullopt;
    text.remove_prefix(unit.size());
    const auto dash = text.find('-');
    const auto slash = text.find('/');
    if (dash == std::string_view::npos || slash == std::string_view::npos || dash > slash)
        return std::nullopt;
    const auto first = number(text.substr(0, dash));
    const auto last = number(text.substr(dash + 1, slash - dash - 1));
    const auto total = number(text.substr(slash + 1));
    if (!first || !last || !total || *first > *last || *last >= *total)
        return std::nullopt;
    return ContentRange{*first, *last, *total};
}

RangeAnswer judgeRangeAnswer(long status, const std::optional<std::string>& contentRange,
                             const std::optional<std::string>& validator, std::int64_t kept,
                             const ResumeRecord& record)
{
    if (status == 200)
        return RangeAnswer::Restart;
    if (status != 206 || !contentRange || validator != record.validator)
        return RangeAnswer::AskAgain;
    const std::optional<ContentRange> range = parseContentRange(*contentRange);
    // Only the rest of the very file the kept bytes began: the same total
    // and the first byte where they end, up to the file's last.
    const std::int64_t total = record.total;
    if (range && range->first == kept && range->total == total && range->last == total - 1)
        return RangeAnswer::Append;
    return RangeAnswer::AskAgain;
}

}  // namespace velmora
