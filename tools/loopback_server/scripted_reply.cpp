#include "tools/loopback_server/scripted_reply.h"

#include <cstdio>

namespace velmora::loopback {

char patternByte(std::uint64_t index)
{
    // Mixing in the high bits keeps the sequence from repeating every 256
    // bytes, so a block read twice or skipped shows up as a mismatch.
    return static_cast<char>((index * 131 + (index >> 8) * 7 + (index >> 16)) & 0xFF);
}

ScriptedReply& ScriptedReply::send(std::string bytes)
{
    ReplyStep step;
    step.kind = ReplyStep::Kind::Send;
    step.bytes = std::move(bytes);
    steps_.push_back(std::move(step));
    return *this;
}

ScriptedReply& ScriptedReply::sendPattern(std::uint64_t offset, std::uint64_t size)
{
    ReplyStep step;
    step.kind = ReplyStep::Kind::SendPattern;
    step.patternOffset = offset;
    step.patternSize = size;
    steps_.push_back(std::move(step));
    return *this;
}

ScriptedReply& ScriptedReply::sendSpaced(std::string_view bytes, std::chrono::milliseconds gap)
{
    for (const char c : bytes)
        send(std::string(1, c)).pause(gap);
    return *this;
}

ScriptedReply& ScriptedReply::pause(std::chrono::milliseconds duration)
{
    ReplyStep step;
    step.kind = ReplyStep::Kind::Pause;
    step.pause = duration;
    steps_.push_back(std::move(step));
    return *this;
}

ScriptedReply& ScriptedReply::hold()
{
    steps_.push_back(ReplyStep{ReplyStep::Kind::Hold, {}, 0, 0, {}});
    return *this;
}

ScriptedReply& ScriptedReply::close()
{
    steps_.push_back(ReplyStep{ReplyStep::Kind::Close, {}, 0, 0, {}});
    return *this;
}

ScriptedReply& ScriptedReply::reset()
{
    steps_.push_back(ReplyStep{ReplyStep::Kind::Reset, {}, 0, 0, {}});
    return *this;
}

ScriptedReply ScriptedReply::response(int status, std::string body, const Headers& headers)
{
    Headers all = headers;
    all.emplace_back("Content-Length", std::to_string(body.size()));
    ScriptedReply reply;
    reply.send(responseHead(status, all) + body);
    return reply;
}

ScriptedReply ScriptedReply::chunked(int status, const std::vector<std::string>& pieces,
                                     const Headers& headers)
{
    Headers all = headers;
    all.emplace_back("Transfer-Encoding", "chunked");
    std::string body;
    for (const std::string& piece : pieces)
        body += chunk(piece);
    body += "0\r\n\r\n";
    ScriptedReply reply;
    reply.send(responseHead(status, all) + body);
    return reply;
}

ScriptedReply ScriptedReply::closeDelimited(int status, std::string body, const Headers& headers)
{
    ScriptedReply reply;
    reply.send(responseHead(status, headers) + body).close();
    return reply;
}

ScriptedReply ScriptedReply::redirect(int status, const std::string& location)
{
    return response(status, "<html><body>moved</body></html>",
                    {{"Location", location}, {"Content-Type", "text/html; charset=utf-8"}});
}

ScriptedReply ScriptedReply::error(int status)
{
    const std::string body = "<!DOCTYPE html><html><body><h1>" + std::to_string(status) + " " +
                             std::string(reasonPhrase(status)) + "</h1></body></html>";
    return response(status, body, {{"Content-Type", "text/html; charset=utf-8"}});
}

std::string_view reasonPhrase(int status)
{
    switch (status) {
    case 200: return "OK";
    case 204: return "No Content";
    case 206: return "Partial Content";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 303: return "See Other";
    case 307: return "Temporary Redirect";
    case 308: return "Permanent Redirect";
    case 400: return "Bad Request";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 416: return "Range Not Satisfiable";
    case 500: return "Internal Server Error";
    case 503: return "Service Unavailable";
    default: return "Status";
    }
}

std::string responseHead(int status, const Headers& headers)
{
    std::string head = "HTTP/1.1 " + std::to_string(status) + " " + std::string(reasonPhrase(status)) + "\r\n";
    for (const auto& [name, value] : headers)
        head += name + ": " + value + "\r\n";
    head += "Connection: close\r\n\r\n";
    return head;
}

std::string chunk(std::string_view data)
{
    char size[32];
    std::snprintf(size, sizeof size, "%zx\r\n", data.size());
    return size + std::string(data) + "\r\n";
}

}  // namespace velmora::loopback
