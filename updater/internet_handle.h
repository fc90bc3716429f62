#pragma once
// Closes an Internet handle on every way out of a call, exceptions included.
#include <utility>

#include "platform/http/internet.h"

namespace velmora {

class HandleCloser {
public:
    HandleCloser(Internet& internet, InternetHandle handle) : internet_(internet), handle_(handle) {}
    ~HandleCloser() { close(); }
    HandleCloser(const HandleCloser&) = delete;
    HandleCloser& operator=(const HandleCloser&) = delete;

    InternetHandle get() const { return handle_; }
    bool isOpen() const { return handle_ != 0; }
    // Hands the handle on; closing it is then the receiver's duty.
    InternetHandle release() { return std::exchange(handle_, 0); }
    void close()
    {
        if (handle_ != 0)
            internet_.InternetCloseHandle(std::exchange(handle_, 0));
    }

private:
    Internet& internet_;
    InternetHandle handle_;
};

}  // namespace velmora
