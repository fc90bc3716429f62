#include "platform/http/served_request_wininet.h"

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>

#include "platform/http/request_wininet.h"
#include "platform/system/call_within.h"

namespace velmora {

namespace {

constexpr std::size_t kChunkSize = 64 * 1024;
// Chunks read ahead of the caller: the downloader takes a block at a time.
constexpr std::size_t kChunksAhead = 4;
// The reader's own wait for bytes. The stall limit is the caller's, counted
// while the caller waits (a caller busy between two reads has not been kept
// waiting by the server), and is held here on the caller's side.
constexpr std::chrono::hours kReaderWait{24};

}  // namespace

// What the reader thread touches, kept alive by whichever of it and the
// request lets go last. The reader reads ahead, one wait for bytes always
// under way while there is room, so that the bytes and the end of the body
// are there when the caller asks; the connection's reset is seen as it
// comes, not after it.
struct ServedRequestWinInet::Shared {
    std::unique_ptr<WinInetSession> session;
    WinInetRequest request;

    std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::string> chunks;  // what came, in order
    bool ended = false;              // no more chunks will come
    bool ok = true;                  // the body ended whole, when ended
    bool halted = false;             // the request is closed: the reader goes

    void cancel()
    {
        request.cancel([this] { session->close(); });
    }

    void readAhead()
    {
        for (;;) {
            {
                std::unique_lock<std::mutex> lock(mutex);
                changed.wait(lock, [this] { return halted || chunks.size() < kChunksAhead; });
                if (halted)
                    return;
            }
            std::string chunk(kChunkSize, '\0');
            std::size_t count = 0;
            const bool read = request.read(chunk.data(), chunk.size(), count);
            chunk.resize(count);
            const std::lock_guard<std::mutex> lock(mutex);
            if (count > 0)
                chunks.push_back(std::move(chunk));
            if (!read || count == 0) {
                ended = true;
                ok = read;
            }
            changed.notify_all();
            if (ended)
                return;
        }
    }
};

ServedRequestWinInet::ServedRequestWinInet(std::shared_ptr<Shared> shared, const TransferLimits& limits,
                                           Internet::KeepWaiting keepWaiting)
    : shared_(std::move(shared)), limits_(limits), start_(std::chrono::steady_clock::now()),
      keepWaiting_(std::move(keepWaiting))
{
}

ServedRequestWinInet::~ServedRequestWinInet()
{
    if (!reading_)
        return;
    {
        const std::lock_guard<std::mutex> lock(shared_->mutex);
        shared_->halted = true;
        shared_->changed.notify_all();
    }
    // Ends a wait the reader is blocked in; it touches no handle after it.
    shared_->cancel();
}

std::shared_ptr<ServedRequestWinInet> ServedRequestWinInet::open(const WinInetSessionSettings& session,
                                                                 const std::string& url, const std::string& headers,
                                                                 std::uint32_t flags, Internet::KeepWaiting keepWaiting)
{
    auto shared = std::make_shared<Shared>();
    shared->session = WinInetSession::open(session);
    if (!shared->session)
        return nullptr;
    void* const handle = shared->session->handle();
    auto request = std::make_shared<ServedRequestWinInet>(shared, session.limits, std::move(keepWaiting));
    const std::optional<bool> opened = request->openStep(
        [shared, handle, url, headers, flags] { return shared->request.open(handle, url, headers, flags); });
    if (!opened.value_or(false))
        return nullptr;
    if (session.limits.total.count() > 0)
        shared->request.limitTotal(request->start_ + session.limits.total, session.limits.stall);
    else
        shared->request.limitReadWait(kReaderWait);
    request->reading_ = true;
    std::thread([shared] { shared->readAhead(); }).detach();
    return request;
}

const ResponseHeaders& ServedRequestWinInet::response() const { return shared_->request.response(); }

bool ServedRequestWinInet::read(char* out, std::size_t capacity, std::size_t& count)
{
    count = 0;
    if (givenUp_)
        return false;
    if (at_ == current_.size()) {
        if (!nextChunk())
            return false;
        if (current_.empty())
            return true;  // the end of the body
    }
    count = std::min(capacity, current_.size() - at_);
    std::memcpy(out, current_.data() + at_, count);
    at_ += count;
    return true;
}

// The next chunk into current_ (empty at the end of the body), waiting for
// it no longer than the stall limit (and what is left of the whole) while
// serving the caller every kWaitSlice. False when the body failed or the
// wait was given up.
bool ServedRequestWinInet::nextChunk()
{
    Shared& shared = *shared_;
    const auto giveUpAt = std::chrono::steady_clock::now() + readWait();
    std::unique_lock<std::mutex> lock(shared.mutex);
    while (shared.chunks.empty() && !shared.ended) {
        const auto now = std::chrono::steady_clock::now();
        const auto slice = std::min<std::chrono::steady_clock::duration>(kWaitSlice, giveUpAt - now);
        if (slice.count() > 0 && shared.changed.wait_for(lock, slice, [&] { return !shared.chunks.empty() || shared.ended; }))
            break;
        lock.unlock();
        const bool goOn = std::chrono::steady_clock::now() < giveUpAt && (!keepWaiting_ || keepWaiting_());
        if (!goOn) {
            givenUp_ = true;
            shared.cancel();
            return false;
        }
        lock.lock();
    }
    current_.clear();
    at_ = 0;
    if (shared.chunks.empty())
        return shared.ok;
    current_ = std::move(shared.chunks.front());
    shared.chunks.pop_front();
    shared.changed.notify_all();
    return true;
}

// Without a caller to serve or a whole limit, the open blocks as WinINet
// does. Otherwise it runs on a thread of its own, given up at its time or
// the caller's word.
std::optional<bool> ServedRequestWinInet::openStep(std::function<bool()> work)
{
    if (!keepWaiting_ && limits_.total.count() == 0)
        return work();
    const std::shared_ptr<Shared> shared = shared_;
    std::optional<bool> done =
        callWithin<bool>(limits_.total, std::move(work), [shared] { shared->cancel(); }, keepWaiting_);
    if (!done)
        givenUp_ = true;
    return done;
}

// A wait for the body ends at the stall limit here: Wine's WinINet never
// ends a read that gets no byte, whatever its receive time-out.
std::chrono::milliseconds ServedRequestWinInet::readWait() const
{
    if (limits_.total.count() == 0)
        return limits_.stall;
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(start_ + limits_.total - std::chrono::steady_clock::now());
    return std::clamp(left, std::chrono::milliseconds(0), limits_.stall);
}

}  // namespace velmora
