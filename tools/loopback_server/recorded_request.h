#pragma once
// One request as the loopback server received it, so that a test checks what
// the client really sent.
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velmora::loopback {

struct RecordedRequest {
    std::string method;
    std::string target;  // path and query, as sent
    std::string path;    // target without the query
    std::vector<std::pair<std::string, std::string>> headers;  // in order, values trimmed

    // The first header of that name (names compare without case).
    std::optional<std::string> header(std::string_view name) const;
};

// Parses the request line and headers (everything before the blank line).
// Returns nothing for a request line that is not "METHOD TARGET VERSION".
std::optional<RecordedRequest> parseRequestHead(std::string_view head);

}  // namespace velmora::loopback
