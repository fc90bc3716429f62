#pragma once
// What the loopback server sends for one request, step by step: the exact
// bytes, the pauses between them, and where the connection is cut. Replies are
// data, so every odd server a client must survive is one row of a test table.
#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velmora::loopback {

using Headers = std::vector<std::pair<std::string, std::string>>;

struct ReplyStep {
    enum class Kind {
        Send,         // bytes as they are
        SendPattern,  // patternByte(i) for i in [patternOffset, patternOffset + patternSize)
        Pause,        // wait before the next step
        Hold,         // wait until LoopbackServer::releaseHeld() (bounded, see there)
        Close,        // orderly close (FIN) now
        Reset,        // abortive close (RST) now
    };
    Kind kind = Kind::Send;
    std::string bytes;
    std::uint64_t patternOffset = 0;
    std::uint64_t patternSize = 0;
    std::chrono::milliseconds pause{0};
};

// Byte i of a generated body. Large bodies are generated while they are sent,
// so the server never holds them and a client can check every byte.
char patternByte(std::uint64_t index);

class ScriptedReply {
public:
    ScriptedReply& send(std::string bytes);
    ScriptedReply& sendPattern(std::uint64_t offset, std::uint64_t size);
    ScriptedReply& pause(std::chrono::milliseconds duration);
    // Each byte of bytes on its own, with gap after it: a peer that is slow
    // but never silent for long.
    ScriptedReply& sendSpaced(std::string_view bytes, std::chrono::milliseconds gap);
    ScriptedReply& hold();
    ScriptedReply& close();
    ScriptedReply& reset();

    const std::vector<ReplyStep>& steps() const { return steps_; }

    // A complete response with Content-Length.
    static ScriptedReply response(int status, std::string body, const Headers& headers = {});
    // Transfer-Encoding: chunked, one chunk per piece, then the last chunk.
    static ScriptedReply chunked(int status, const std::vector<std::string>& pieces,
                                 const Headers& headers = {});
    // No length: the body ends when the server closes the connection.
    static ScriptedReply closeDelimited(int status, std::string body, const Headers& headers = {});
    static ScriptedReply redirect(int status, const std::string& location);
    // An error status with a small HTML body.
    static ScriptedReply error(int status);

private:
    std::vector<ReplyStep> steps_;
};

std::string_view reasonPhrase(int status);
// Status line, the headers given, "Connection: close" and the blank line.
std::string responseHead(int status, const Headers& headers);
// One chunk of a chunked body: hex size, CRLF, data, CRLF.
std::string chunk(std::string_view data);

}  // namespace velmora::loopback
