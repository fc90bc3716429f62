#pragma once
// Files under a folder, served by path: the demo site and the static routes of
// the tests.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "tools/loopback_server/recorded_request.h"

namespace velmora::loopback {

// The Content-Type for a file, by its extension (HTML with its charset).
std::string contentTypeFor(const std::filesystem::path& file);

// The regular file under root that a request path names ("%XX" decoded; a
// folder stands for its index.html). Nothing when the path leaves root, is
// malformed or names no file.
std::optional<std::filesystem::path> resolveUnder(const std::filesystem::path& root, std::string_view path);

// Sends the file the request names, or a 404 page. False when the peer went away.
bool serveStatic(int fd, const std::filesystem::path& root, const RecordedRequest& request);

}  // namespace velmora::loopback
