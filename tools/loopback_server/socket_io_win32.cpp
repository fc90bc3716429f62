// The loopback server's sockets on Winsock. A SOCKET is kept in an int: the
// system's handle values fit in 32 bits, which Windows guarantees so that
// handles can be shared with 32-bit processes.
#include "tools/loopback_server/socket_io.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <system_error>

namespace velmora::loopback {

namespace {

// WSAStartup once per process, before the first socket; never undone, as the
// server may be torn down while the process exits.
void ensureWinsock()
{
    static const int started = [] {
        WSADATA data{};
        return ::WSAStartup(MAKEWORD(2, 2), &data);
    }();
    if (started != 0)
        throw std::system_error(started, std::system_category(), "WSAStartup");
}

SOCKET asSocket(int fd) { return static_cast<SOCKET>(static_cast<unsigned>(fd)); }

int asInt(SOCKET socket) { return socket == INVALID_SOCKET ? -1 : static_cast<int>(socket); }

std::system_error socketError(const std::string& what)
{
    return std::system_error(::WSAGetLastError(), std::system_category(), what);
}

}  // namespace

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
    ensureWinsock();
    // Not inherited by child processes: the server belongs to this process.
    UniqueFd socket(asInt(::WSASocketW(AF_INET, SOCK_STREAM, IPPROTO_TCP, nullptr, 0, WSA_FLAG_NO_HANDLE_INHERIT)));
    if (socket.get() < 0)
        throw socketError("socket");
    // SO_EXCLUSIVEADDRUSE, not SO_REUSEADDR: on Windows the latter would let
    // another program take over a port this server is still using.
    const BOOL on = TRUE;
    ::setsockopt(asSocket(socket.get()), SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&on),
                 sizeof on);

    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(asSocket(socket.get()), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        throw socketError("bind 127.0.0.1:" + std::to_string(port));
    if (::listen(asSocket(socket.get()), 64) != 0)
        throw socketError("listen");
    return socket;
}

std::uint16_t localPort(int fd)
{
    sockaddr_in address{};
    int length = sizeof address;
    if (::getsockname(asSocket(fd), reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw socketError("getsockname");
    return ntohs(address.sin_port);
}

int acceptConnection(int listener)
{
    if (listener < 0)
        return -1;
    return asInt(::accept(asSocket(listener), nullptr, nullptr));
}

void stopListening(UniqueFd& listener)
{
    // shutdown() does not wake an accept() on Winsock; closing does.
    listener.reset();
}

void shutdownSocket(int fd)
{
    ::shutdown(asSocket(fd), SD_BOTH);
}

void closeSocket(int fd)
{
    ::closesocket(asSocket(fd));
}

bool sendAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const int chunk = bytes.size() > 0x40000000u ? 0x40000000 : static_cast<int>(bytes.size());
        const int sent = ::send(asSocket(fd), bytes.data(), chunk, 0);
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
        const int received = ::recv(asSocket(fd), buffer, sizeof buffer, 0);
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
    ::setsockopt(asSocket(fd), SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&option), sizeof option);
}

}  // namespace velmora::loopback
