#include "tools/loopback_server/resumable_file.h"

#include <algorithm>
#include <charconv>
#include <optional>

namespace velmora::loopback {

namespace {

// The first byte of "bytes=<n>-", the only form a resuming client sends.
std::optional<std::uint64_t> rangeStart(const RecordedRequest& request)
{
    const std::optional<std::string> range = request.header("Range");
    constexpr std::string_view prefix = "bytes=";
    if (!range || range->rfind(prefix, 0) != 0 || range->back() != '-')
        return std::nullopt;
    std::uint64_t start = 0;
    const char* begin = range->data() + prefix.size();
    const char* end = range->data() + range->size() - 1;
    const auto [stop, error] = std::from_chars(begin, end, start);
    if (error != std::errc() || stop != end)
        return std::nullopt;
    return start;
}

bool ifRangeHolds(const RecordedRequest& request, const ResumableFile::Version& version)
{
    const std::optional<std::string> validator = request.header("If-Range");
    if (!validator)
        return true;
    return (!version.etag.empty() && *validator == version.etag)
           || (!version.lastModified.empty() && *validator == version.lastModified);
}

Headers validators(const ResumableFile::Version& version)
{
    Headers headers;
    if (!version.etag.empty())
        headers.emplace_back("ETag", version.etag);
    if (!version.lastModified.empty())
        headers.emplace_back("Last-Modified", version.lastModified);
    return headers;
}

}  // namespace

ScriptedReply resumableReply(const ResumableFile& file, const RecordedRequest& request, std::size_t index)
{
    const ResumableFile::Version& version = file.versions.at(std::min(index, file.versions.size() - 1));
    const std::uint64_t size = version.bytes.size();
    Headers headers = validators(version);
    int status = 200;
    std::uint64_t first = 0;
    const std::optional<std::uint64_t> asked = rangeStart(request);
    using Ranges = ResumableFile::Ranges;
    if (asked && file.ranges == Ranges::Refuse)
        return ScriptedReply::error(file.refusal);
    if (asked && file.ranges == Ranges::ResetOnRange)
        return ScriptedReply().reset();
    const bool ifRangeHeard = file.ranges != Ranges::IgnoreIfRange;
    if (asked && file.ranges != Ranges::Ignore && (!ifRangeHeard || ifRangeHolds(request, version))) {
        if (*asked >= size) {
            headers.emplace_back("Content-Range", "bytes */" + std::to_string(size));
            return ScriptedReply::response(416, "", headers);
        }
        status = 206;
        first = file.ranges == Ranges::WrongOffset ? *asked / 2 : *asked;
        headers.emplace_back("Content-Range", "bytes " + std::to_string(first) + "-" + std::to_string(size - 1) + "/"
                                                  + std::to_string(size));
    }
    std::string body = version.bytes.substr(first);
    headers.emplace_back("Content-Length", std::to_string(body.size()));
    const bool cut = index < file.cutAfter.size() && file.cutAfter[index] < body.size();
    if (cut)
        body.resize(file.cutAfter[index]);
    const std::size_t holdAt =
        index < file.holdAfter.size() ? std::min<std::size_t>(file.holdAfter[index], body.size()) : body.size();
    ScriptedReply reply;
    reply.send(responseHead(status, headers) + body.substr(0, holdAt));
    if (holdAt < body.size())
        reply.hold().send(body.substr(holdAt));
    return cut ? reply.close() : reply;
}

}  // namespace velmora::loopback
