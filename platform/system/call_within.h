#pragma once
// The one way the window's thread waits for something that may take long: a
// blocking call that must come back by a deadline although the library under
// it offers no time-out for the whole of it (WinINet: the open, each redirect
// hop and a response head trickled a byte at a time each have only per-step
// limits), or work that must not hold the window (a flush to the disk, the
// hash of a large file).
//
// The work runs on a thread of its own; the caller waits for it at most
// `within`. When the time is up, cancel() (if any) runs on the caller's
// thread to unblock the work (WinINet: closing the handle the work is
// blocked on), and the result is dropped whenever the work ends. The work
// must therefore own everything it touches, shared where the caller needs it
// too.
//
// With keepWaiting, the caller's thread calls it every kWaitSlice while it
// waits (to serve its window, say), and a false from it ends the wait as the
// end of the time does. A `within` of zero sets no time.
#include <chrono>
#include <algorithm>
#include <condition_variable>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

namespace velmora {

inline constexpr std::chrono::milliseconds kWaitSlice{50};

// The work's result, its exception rethrown here, or nothing when the time
// was up, or keepWaiting said no, first.
template <typename T>
std::optional<T> callWithin(std::chrono::milliseconds within, std::function<T()> work,
                            const std::function<void()>& cancel, const std::function<bool()>& keepWaiting = {})
{
    struct Shared {
        std::mutex mutex;
        std::condition_variable ended;
        bool done = false;
        std::optional<T> value;
        std::exception_ptr failure;
    };
    const auto shared = std::make_shared<Shared>();
    std::thread([shared, work = std::move(work)] {
        std::optional<T> value;
        std::exception_ptr failure;
        try {
            value.emplace(work());
        } catch (...) {
            failure = std::current_exception();
        }
        const std::lock_guard<std::mutex> lock(shared->mutex);
        shared->value = std::move(value);
        shared->failure = failure;
        shared->done = true;
        shared->ended.notify_all();
    }).detach();

    const auto end = std::chrono::steady_clock::now() + within;
    const bool limited = within.count() > 0;
    std::unique_lock<std::mutex> lock(shared->mutex);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        const auto slice = !limited ? kWaitSlice : keepWaiting ? std::min(kWaitSlice, left) : left;
        if (shared->ended.wait_for(lock, slice, [&] { return shared->done; }))
            break;
        lock.unlock();
        const bool goOn = (!limited || std::chrono::steady_clock::now() < end) && (!keepWaiting || keepWaiting());
        if (!goOn) {
            if (cancel)
                cancel();
            return std::nullopt;
        }
        lock.lock();
    }
    if (shared->failure)
        std::rethrow_exception(shared->failure);
    return std::move(shared->value);
}

// Work that must not hold the window but cannot be left half-way either (a
// flush to the disk, a rename, the hash of a large file): it runs on a thread
// of its own and is waited for to its end, serve being called on the
// caller's thread every kWaitSlice meanwhile. The work's exception is
// rethrown here.
inline void callServed(const std::function<void()>& work, const std::function<void()>& serve)
{
    callWithin<bool>(
        std::chrono::milliseconds(0),
        [&work] {
            work();
            return true;
        },
        {},
        [&serve] {
            serve();
            return true;
        });
}

}  // namespace velmora
