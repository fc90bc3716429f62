#pragma once
// What lets a download that ended early go on where it stopped: which file of
// which server the bytes in the part file are the start of, and the rules of
// the range request that asks for the rest (Range with If-Range), so that the
// bytes of two versions of a file are never joined.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// Identifies the server's file whose first bytes a part file holds.
struct ResumeRecord {
    std::string url;        // the address as the caller gave it
    std::string validator;  // the ETag, or else the Last-Modified date, as sent
    std::int64_t total = 0;  // the whole file's length

    bool operator==(const ResumeRecord&) const = default;
};

// One line per field; parseRecord(recordText(r)) == r for every record whose
// fields hold no line end.
std::string recordText(const ResumeRecord& record);
// Nothing for text that is not a whole record (a torn or foreign file).
std::optional<ResumeRecord> parseRecord(std::string_view text);

// What a range request can carry in If-Range: a strong ETag, else the
// Last-Modified date; nothing when the response has neither (a weak ETag
// may not be used there), and then the download cannot be resumed.
std::optional<std::string> resumeValidator(const std::optional<std::string>& etag,
                                           const std::optional<std::string>& lastModified);

// The request headers that ask for the bytes from kept on, provided the
// file is still the one validator names.
std::string rangeRequestHeaders(std::int64_t kept, const std::string& validator);

struct ContentRange {
    std::int64_t first = 0;
    std::int64_t last = 0;
    std::int64_t total = 0;
};
// "bytes <first>-<last>/<total>" with first <= last < total; nothing for
// anything else (an unknown total "*" included).
std::optional<ContentRange> parseContentRange(std::string_view text);

enum class RangeAnswer {
    Append,    // the rest of the same file: it goes after the kept bytes
    Restart,   // the whole file (200): the kept bytes go, this body replaces them
    AskAgain,  // neither (an error status, 416, a 206 of another part, another
               // length or another version): nothing of it can be used, the
               // whole file must be asked for
};

// How to take the answer (status, its Content-Range, and the validator
// resumeValidator finds in its headers) to a request for the bytes from kept
// on of the file record describes. A 206 is the rest only when it also names
// the record's version: a server that ignores If-Range sends the tail of a
// newer file under its new validator.
RangeAnswer judgeRangeAnswer(long status, const std::optional<std::string>& contentRange,
                             const std::optional<std::string>& validator, std::int64_t kept,
                             const ResumeRecord& record);

}  // namespace velmora
