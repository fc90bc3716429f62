#include "tools/loopback_server/request_log.h"

namespace velmora::loopback {

void RequestLog::add(RecordedRequest request)
{
    {
        std::lock_guard lock(mutex_);
        requests_.push_back(std::move(request));
    }
    added_.notify_all();
}

std::vector<RecordedRequest> RequestLog::requests() const
{
    std::lock_guard lock(mutex_);
    return requests_;
}

std::optional<RecordedRequest> RequestLog::waitFor(const std::string& path,
                                                   std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(mutex_);
    std::optional<RecordedRequest> found;
    added_.wait_for(lock, timeout, [&] {
        found = findLocked(path);
        return found.has_value();
    });
    return found;
}

void RequestLog::clear()
{
    std::lock_guard lock(mutex_);
    requests_.clear();
}

std::optional<RecordedRequest> RequestLog::findLocked(const std::string& path) const
{
    for (const RecordedRequest& request : requests_) {
        if (request.path == path || request.target == path)
            return request;
    }
    return std::nullopt;
}

}  // namespace velmora::loopback
