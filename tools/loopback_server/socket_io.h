#pragma once
// The few blocking socket operations the loopback server is made of, with
// one implementation per platform (BSD sockets, Winsock).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velmora::loopback {

// Owns one socket.
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

// The next connection on listener, or -1 when accepting failed (also once
// stopListening() has been called).
int acceptConnection(int listener);
// Wakes a thread blocked in acceptConnection() on listener, for good. Where
// only closing does that (Winsock), listener is closed and emptied.
void stopListening(UniqueFd& listener);
// Wakes every call blocked on a connected socket and makes later ones fail.
void shutdownSocket(int fd);
void closeSocket(int fd);

// Sends every byte; false when the peer is gone. Never raises SIGPIPE.
bool sendAll(int fd, std::string_view bytes);

// Reads up to and including the blank line that ends a request head.
// Nothing when the peer closes first or the head passes limit bytes.
std::optional<std::string> receiveHead(int fd, std::size_t limit);

// Makes the next close send RST instead of FIN.
void setAbortiveClose(int fd);

}  // namespace velmora::loopback
