#pragma once
// Every request the loopback server received, in order. Safe to use from any
// thread: the server's connection threads add, the test reads and waits.
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "tools/loopback_server/recorded_request.h"

namespace velmora::loopback {

class RequestLog {
public:
    void add(RecordedRequest request);
    std::vector<RecordedRequest> requests() const;
    // The first logged request whose path (or path and query) is path, waiting
    // up to timeout for it to arrive. Nothing when none came in time.
    std::optional<RecordedRequest> waitFor(const std::string& path, std::chrono::milliseconds timeout) const;
    void clear();

private:
    std::optional<RecordedRequest> findLocked(const std::string& path) const;

    mutable std::mutex mutex_;
    mutable std::condition_variable added_;
    std::vector<RecordedRequest> requests_;
};

}  // namespace velmora::loopback
