#include "tools/loopback_server/static_site.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <fstream>
#include <map>

#include "tools/loopback_server/scripted_reply.h"
#include "tools/loopback_server/socket_io.h"

namespace velmora::loopback {

namespace {

std::optional<std::string> percentDecoded(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size() || !std::isxdigit(static_cast<unsigned char>(text[i + 1])) ||
            !std::isxdigit(static_cast<unsigned char>(text[i + 2])))
            return std::nullopt;
        out += static_cast<char>(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16));
        i += 2;
    }
    return out;
}

bool sendNotFound(int fd)
{
    const std::string body =
        "<!DOCTYPE html>\n<html lang=\"zh-CN\"><head><meta charset=\"utf-8\"><title>404 找不到网页</title></head>"
        "<body><h1>404 找不到网页</h1><p>服务器上没有这个文件。</p></body></html>\n";
    return sendAll(fd, responseHead(404, {{"Content-Type", "text/html; charset=utf-8"},
                                          {"Content-Length", std::to_string(body.size())}}) +
                           body);
}

bool sendFileBody(int fd, std::ifstream& file)
{
    std::array<char, 64 * 1024> buffer;
    for (;;) {
        file.read(buffer.data(), buffer.size());
        const auto count = static_cast<std::size_t>(file.gcount());
        if (count == 0)
            return !file.bad();
        if (!sendAll(fd, std::string_view(buffer.data(), count)))
            return false;
    }
}

}  // namespace

std::string contentTypeFor(const std::filesystem::path& file)
{
    static const std::map<std::string, std::string> types = {
        {".html", "text/html; charset=utf-8"}, {".htm", "text/html; charset=utf-8"},
        {".css", "text/css; charset=utf-8"},   {".txt", "text/plain"},
        {".zip", "application/zip"},           {".png", "image/png"},
        {".jpg", "image/jpeg"},                {".gif", "image/gif"},
        {".svg", "image/svg+xml"},             {".ico", "image/x-icon"},
        {".mp4", "video/mp4"},
    };
    std::string extension = file.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const auto found = types.find(extension);
    return found == types.end() ? "application/octet-stream" : found->second;
}

std::optional<std::filesystem::path> resolveUnder(const std::filesystem::path& root, std::string_view path)
{
    const auto decoded = percentDecoded(path);
    if (!decoded || decoded->empty() || decoded->front() != '/' ||
        decoded->find('\0') != std::string::npos || decoded->find('\\') != std::string::npos)
        return std::nullopt;
    const std::filesystem::path relative = std::filesystem::path(*decoded).relative_path();
    for (const auto& part : relative) {
        if (part == "..")
            return std::nullopt;
    }
    std::filesystem::path file = root / relative;
    std::error_code error;
    if (std::filesystem::is_directory(file, error))
        file /= "index.html";
    if (!std::filesystem::is_regular_file(file, error))
        return std::nullopt;
    return file;
}

bool serveStatic(int fd, const std::filesystem::path& root, const RecordedRequest& request)
{
    const auto file = root.empty() ? std::nullopt : resolveUnder(root, request.path);
    if (!file)
        return sendNotFound(fd);
    std::ifstream opened(*file, std::ios::binary);
    std::error_code error;
    const auto size = std::filesystem::file_size(*file, error);
    if (!opened || error)
        return sendNotFound(fd);

    const std::string head = responseHead(
        200, {{"Content-Type", contentTypeFor(*file)}, {"Content-Length", std::to_string(size)}});
    if (!sendAll(fd, head))
        return false;
    return request.method == "HEAD" || sendFileBody(fd, opened);
}

}  // namespace velmora::loopback
