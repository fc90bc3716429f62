#include "tools/loopback_server/loopback_server.h"

#include <array>

#include "tools/loopback_server/static_site.h"

namespace velmora::loopback {

namespace {

constexpr std::size_t kRequestHeadLimit = 64 * 1024;

}  // namespace

LoopbackServer::LoopbackServer(Options options)
    : options_(std::move(options)), listener_(listenOnLoopback(options_.port)), port_(localPort(listener_.get()))
{
    acceptor_ = std::thread([this] { acceptLoop(); });
}

LoopbackServer::~LoopbackServer()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        // Wakes the blocked accept() and every blocked recv() or send().
        stopListening(listener_);
        for (Connection& connection : connections_) {
            if (connection.fd >= 0)
                shutdownSocket(connection.fd);
        }
    }
    wake_.notify_all();
    acceptor_.join();
    for (Connection& connection : connections_)
        connection.thread.join();
}

std::string LoopbackServer::url(std::string_view path) const
{
    return "http://127.0.0.1:" + std::to_string(port_) + std::string(path);
}

void LoopbackServer::script(const std::string& path, ScriptedReply reply)
{
    std::lock_guard lock(mutex_);
    resumables_.erase(path);
    scripts_[path] = std::make_shared<const ScriptedReply>(std::move(reply));
}

void LoopbackServer::serveResumable(const std::string& path, ResumableFile file)
{
    std::lock_guard lock(mutex_);
    scripts_.erase(path);
    resumables_[path] = Served{std::make_shared<const ResumableFile>(std::move(file)), 0};
}

void LoopbackServer::releaseHeld()
{
    {
        std::lock_guard lock(mutex_);
        ++releases_;
    }
    wake_.notify_all();
}

std::optional<RecordedRequest> LoopbackServer::waitForRequest(const std::string& path,
                                                              std::chrono::milliseconds timeout) const
{
    return log_.waitFor(path, timeout);
}

void LoopbackServer::acceptLoop()
{
    // Read once: the destructor may empty listener_ while this thread waits.
    const int listener = listener_.get();
    for (;;) {
        const int fd = acceptConnection(listener);
        if (fd >= 0) {
            startConnection(fd);
            continue;
        }
        {
            std::lock_guard lock(mutex_);
            if (stopping_)
                return;
        }
        std::this_thread::yield();
    }
}

void LoopbackServer::startConnection(int fd)
{
    std::lock_guard lock(mutex_);
    reapFinishedLocked();
    if (stopping_) {
        closeSocket(fd);
        return;
    }
    Connection& connection = connections_.emplace_back();
    connection.fd = fd;
    connection.thread = std::thread([this, &connection] { serve(connection); });
}

void LoopbackServer::serve(Connection& connection)
{
    const int fd = connection.fd;
    Ending ending = Ending::Close;
    const auto head = receiveHead(fd, kRequestHeadLimit);
    const auto request = head ? parseRequestHead(*head) : std::nullopt;
    if (request) {
        log_.add(*request);
        if (options_.onRequest)
            options_.onRequest(*request);
        std::shared_ptr<const ScriptedReply> reply;
        {
            std::lock_guard lock(mutex_);
            if (const auto found = scripts_.find(request->path); found != scripts_.end())
                reply = found->second;
            else if (const auto served = resumables_.find(request->path); served != resumables_.end())
                reply = std::make_shared<const ScriptedReply>(
                    resumableReply(*served->second.file, *request, served->second.requests++));
        }
        if (reply)
            ending = play(fd, *reply);
        else
            serveStatic(fd, options_.root, *request);
    }
    finish(connection, ending);
}

void LoopbackServer::finish(Connection& connection, Ending ending)
{
    std::lock_guard lock(mutex_);
    if (ending == Ending::Reset)
        setAbortiveClose(connection.fd);
    closeSocket(connection.fd);
    connection.fd = -1;
    connection.finished = true;
}

LoopbackServer::Ending LoopbackServer::play(int fd, const ScriptedReply& reply)
{
    for (const ReplyStep& step : reply.steps()) {
        bool goOn = true;
        switch (step.kind) {
        case ReplyStep::Kind::Send: goOn = sendAll(fd, step.bytes); break;
        case ReplyStep::Kind::SendPattern: goOn = sendPattern(fd, step.patternOffset, step.patternSize); break;
        case ReplyStep::Kind::Pause: goOn = waitPause(step.pause); break;
        case ReplyStep::Kind::Hold: goOn = waitHold(); break;
        case ReplyStep::Kind::Close: return Ending::Close;
        case ReplyStep::Kind::Reset: return Ending::Reset;
        }
        if (!goOn)
            break;
    }
    return Ending::Close;
}

bool LoopbackServer::sendPattern(int fd, std::uint64_t offset, std::uint64_t size)
{
    std::array<char, 64 * 1024> buffer;
    const std::uint64_t end = offset + size;
    for (std::uint64_t at = offset; at < end;) {
        const std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), end - at));
        for (std::size_t i = 0; i < count; ++i)
            buffer[i] = patternByte(at + i);
        if (!sendAll(fd, std::string_view(buffer.data(), count)))
            return false;
        at += count;
    }
    return true;
}

bool LoopbackServer::waitPause(std::chrono::milliseconds duration)
{
    std::unique_lock lock(mutex_);
    return !wake_.wait_for(lock, duration, [this] { return stopping_; });
}

bool LoopbackServer::waitHold()
{
    std::unique_lock lock(mutex_);
    wake_.wait_for(lock, holdLimit, [this] { return stopping_ || releases_ > 0; });
    ++holdsEnded_;
    if (releases_ > 0)
        --releases_;
    return !stopping_;
}

int LoopbackServer::holdsEnded() const
{
    std::lock_guard lock(mutex_);
    return holdsEnded_;
}

void LoopbackServer::reapFinishedLocked()
{
    for (auto it = connections_.begin(); it != connections_.end();) {
        if (it->finished) {
            it->thread.join();
            it = connections_.erase(it);
        } else {
            ++it;
        }
    }
}

}  // namespace velmora::loopback
