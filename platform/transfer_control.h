#pragma once
// Fetches a short text document over HTTP, blocking until it has arrived.
#include <memory>
#include <string>

namespace velmora {

class TransferControl {
public:
    virtual ~TransferControl() = default;
    // Returns the document at url as UTF-8 text, decoded from UTF-8 (with or
    // without a byte-order mark) or, failing that, from GB18030. Throws
    // PlatformError when the document cannot be fetched (no connection,
    // unresolvable host, time-out, error status).
    virtual std::string OpenURL(const std::string& url) = 0;
};

std::unique_ptr<TransferControl> createTransferControl();

}  // namespace velmora
