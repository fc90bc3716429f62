#pragma once
// What the fault matrix tests share: generated bodies, scratch folders and
// files, an address where nothing listens, and the bounds a call must keep.
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

#include "tests/support/test_files.h"
#include "tests/support/test_folder.h"
#include "tools/loopback_server/loopback_server.h"

namespace velmora {

// Far above what any row takes and below the notice fetch's own 60-second
// time-out, so that a call that waits for a time-out (or for ever) fails its
// row rather than passing slowly.
inline constexpr std::chrono::seconds kCallBound{30};
// How long a server goes silent in the middle of a body before it goes on.
inline constexpr std::chrono::milliseconds kStall{1500};

inline std::filesystem::path makeScratchFolder(const std::string& prefix)
{
    std::string name = (velmora::test::scratchRoot() / (prefix + "XXXXXX")).string();
    if (::mkdtemp(name.data()) == nullptr)
        throw std::runtime_error("cannot make a scratch folder " + name);
    return name;
}

inline void writeFile(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    if (!out.flush())
        throw std::runtime_error("cannot write " + path.string());
}

// The file's bytes; "<missing>" when there is no such file.
inline std::string readFile(const std::filesystem::path& path)
{
    return fileBytes(path).value_or("<missing>");
}

// A loopback port that was just free: connections to it are refused.
inline std::uint16_t closedPort()
{
    const loopback::LoopbackServer gone;
    return gone.port();
}

}  // namespace velmora
