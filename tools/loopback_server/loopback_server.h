#pragma once
// An HTTP server on 127.0.0.1 for tests and the demo site. Replies come from
// data: a scripted reply registered for a path, else a file under the static
// root, else a 404 page. Every request is recorded before it is answered.
//
// Each connection is served on its own thread and closed after one reply.
// The destructor stops accepting, cuts open connections, ends pauses and
// holds, and joins every thread. All members are safe to call from any thread.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "tools/loopback_server/recorded_request.h"
#include "tools/loopback_server/request_log.h"
#include "tools/loopback_server/resumable_file.h"
#include "tools/loopback_server/scripted_reply.h"
#include "tools/loopback_server/socket_io.h"

namespace velmora::loopback {

class LoopbackServer {
public:
    struct Options {
        std::uint16_t port = 0;          // 0: an ephemeral port, see port()
        std::filesystem::path root;      // empty: no static files
        // Called on the connection's thread for every request, before the reply.
        std::function<void(const RecordedRequest&)> onRequest;
    };

    // Throws std::system_error when the port cannot be bound.
    explicit LoopbackServer(Options options);
    LoopbackServer() : LoopbackServer(Options{}) {}
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    std::uint16_t port() const { return port_; }
    // "http://127.0.0.1:<port>" followed by path.
    std::string url(std::string_view path) const;

    // Every later request for path (query ignored) gets this reply.
    void script(const std::string& path, ScriptedReply reply);
    // Later requests for path are answered from file, counted from 0 (see
    // ResumableFile). Takes the place of a script for the same path.
    void serveResumable(const std::string& path, ResumableFile file);
    // Lets one held reply go on (or the next one to reach its hold). A hold
    // that is never released goes on by itself after holdLimit, so a client
    // that waits for more bytes than it should fails instead of hanging.
    void releaseHeld();
    static constexpr std::chrono::seconds holdLimit{10};
    // How many holds have ended so far (released or run out). A test that
    // finds it unchanged after a read knows the read did not wait for the
    // bytes behind the hold.
    int holdsEnded() const;

    std::vector<RecordedRequest> requests() const { return log_.requests(); }
    std::optional<RecordedRequest> waitForRequest(const std::string& path,
                                                  std::chrono::milliseconds timeout) const;
    void clearLog() { log_.clear(); }

private:
    struct Connection {
        std::thread thread;
        int fd = -1;
        bool finished = false;
    };
    enum class Ending { Close, Reset };

    void acceptLoop();
    void startConnection(int fd);
    void serve(Connection& connection);
    void finish(Connection& connection, Ending ending);
    Ending play(int fd, const ScriptedReply& reply);
    bool sendPattern(int fd, std::uint64_t offset, std::uint64_t size);
    bool waitPause(std::chrono::milliseconds duration);
    bool waitHold();
    void reapFinishedLocked();

    Options options_;
    UniqueFd listener_;
    std::uint16_t port_ = 0;
    RequestLog log_;

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    int releases_ = 0;
    int holdsEnded_ = 0;
    std::map<std::string, std::shared_ptr<const ScriptedReply>> scripts_;
    struct Served {
        std::shared_ptr<const ResumableFile> file;
        std::size_t requests = 0;
    };
    std::map<std::string, Served> resumables_;
    std::list<Connection> connections_;
    std::thread acceptor_;
};

}  // namespace velmora::loopback
