#pragma once
// What many tests need: the loopback server's generated body as bytes, a
// file's bytes, and a wait for a condition with a limit.
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <thread>

#include "tools/loopback_server/scripted_reply.h"

namespace velmora {

// Bytes [offset, offset + size) of the body the loopback server generates.
inline std::string patternBytes(std::uint64_t offset, std::uint64_t size)
{
    std::string bytes(size, '\0');
    for (std::uint64_t i = 0; i < size; ++i)
        bytes[i] = loopback::patternByte(offset + i);
    return bytes;
}

// The file's bytes, or nothing when there is no such file.
inline std::optional<std::string> fileBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Polls condition every step until it holds (true) or limit has passed
// (false): for what another process does, which a test cannot be told of.
template <typename Condition>
bool waitUntil(Condition condition, std::chrono::milliseconds limit,
               std::chrono::milliseconds step = std::chrono::milliseconds(100))
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(step);
    }
    return true;
}

}  // namespace velmora
