#include "tools/loopback_server/socket_io.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <system_error>

namespace velmora::loopback {

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept
{
    if (this != &other) {
        reset();
        fd_ = other.release();
    }
    return *this;
}

int UniqueFd::release()
{
    const int fd = fd_;
    fd_ = -1;
    return fd;
}

void UniqueFd::reset()
{
    if (fd_ >= 0)
        closeSocket(fd_);
    fd_ = -1;
}

UniqueFd listenOnLoopback(std::uint16_t port)
{
    UniqueFd socket(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (socket.get() < 0)
        throw std::system_error(errno, std::generic_category(), "socket");
    const int on = 1;
    ::setsockopt(socket.get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);

    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(socket.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        throw std::system_error(errno, std::generic_category(), "bind 127.0.0.1:" + std::to_string(port));
    if (::listen(socket.get(), 64) != 0)
        throw std::system_error(errno, std::generic_category(), "listen");
    return socket;
}

std::uint16_t localPort(int fd)
{
    sockaddr_in address{};
    socklen_t length = sizeof address;
    if (::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw std::system_error(errno, std::generic_category(), "getsockname");
    return ntohs(address.sin_port);
}

int acceptConnection(int listener)
{
    return ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
}

void stopListening(UniqueFd& listener)
{
    ::shutdown(listener.get(), SHUT_RDWR);
}

void shutdownSocket(int fd)
{
    ::shutdown(fd, SHUT_RDWR);
}

void closeSocket(int fd)
{
    ::close(fd);
}

bool sendAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t sent = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
}

std::optional<std::string> receiveHead(int fd, std::size_t limit)
{
    std::string head;
    char buffer[4096];
    while (head.find("\r\n\r\n") == std::string::npos) {
        if (head.size() > limit)
            return std::nullopt;
        const ssize_t received = ::recv(fd, buffer, sizeof buffer, 0);
        if (received < 0 && errno == EINTR)
            continue;
        if (received <= 0)
            return std::nullopt;
        head.append(buffer, static_cast<std::size_t>(received));
    }
    head.resize(head.find("\r\n\r\n") + 4);
    return head;
}

void setAbortiveClose(int fd)
{
    const linger option{1, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &option, sizeof option);
}

}  // namespace velmora::loopback
