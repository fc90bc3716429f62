#pragma once
// The few blocking socket operations the loopback server is made of.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velmora::loopback {

// Owns one file descriptor: a socket or an open file.
class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    ~UniqueFd() { reset(); }
    UniqueFd(UniqueFd&& other) noexcept : fd_(other.release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept;
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int get() const { return fd_; }
    int release();
    void reset();

private:
    int fd_ = -1;
};

// A listening TCP socket on 127.0.0.1. Throws std::system_error.
UniqueFd listenOnLoopback(std::uint16_t port);
std::uint16_t localPort(int fd);

// Sends every byte; false when the peer is gone. Never raises SIGPIPE.
bool sendAll(int fd, std::string_view bytes);

// Reads up to and including the blank line that ends a request head.
// Nothing when the peer closes first or the head passes limit bytes.
std::optional<std::string> receiveHead(int fd, std::size_t limit);

// Makes the next close send RST instead of FIN.
void setAbortiveClose(int fd);

}  // namespace velmora::loopback
