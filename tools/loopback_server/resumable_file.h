#pragma once
// A file served the way a web server serves a static file that a client can
// resume: with its validators (ETag, Last-Modified) and, when a request asks
// for a range and its If-Range still names the file, only that range. Like
// every reply of this server it is data: which version each request sees,
// where a reply is cut short, and how faithfully ranges are served.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/loopback_server/recorded_request.h"
#include "tools/loopback_server/scripted_reply.h"

namespace velmora::loopback {

struct ResumableFile {
    struct Version {
        std::string bytes;
        std::string etag;          // empty: none sent
        std::string lastModified;  // empty: none sent
    };
    enum class Ranges {
        Honour,       // 206 for a range (If-Range matching), 416 past the end
        Ignore,       // always the whole file with 200
        WrongOffset,  // a 206 that starts half-way to the byte asked for
        IgnoreIfRange,  // a 206 of the version it has now, whatever If-Range names
        Refuse,       // a request with a Range gets the status refusal
        ResetOnRange, // a request with a Range is reset before any answer
    };

    // Request n (counted from 0) sees versions[min(n, last)].
    std::vector<Version> versions;
    Ranges ranges = Ranges::Honour;
    // Body bytes after which reply n closes the connection, short of what
    // its Content-Length announced; none (or past the list): the whole body.
    std::vector<std::uint64_t> cutAfter = {};
    // Body bytes after which reply n waits for LoopbackServer::releaseHeld()
    // before it goes on; none (or past the list): no wait.
    std::vector<std::uint64_t> holdAfter = {};
    int refusal = 412;  // the status of every ranged request, with Ranges::Refuse
};

// The reply to request, the index-th this file has received.
ScriptedReply resumableReply(const ResumableFile& file, const RecordedRequest& request, std::size_t index);

}  // namespace velmora::loopback
