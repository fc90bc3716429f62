#pragma once
// Fetches a short text document over HTTP, blocking until it has arrived.
#include <memory>
#include <string>

#include "platform/http/http_rules.h"

namespace velmora {

class TransferControl {
public:
    virtual ~TransferControl() = default;
    // Returns the document at url as UTF-8 text, decoded from UTF-8 (with or
    // without a byte-order mark) or, failing that, from GB18030. The body
    // that comes with any HTTP status is the document: an error page is
    // text like any other. Throws PlatformError, with its class, only when
    // the transfer itself fails (no connection, unresolvable host, one of the
    // limits passed, a body cut off).
    virtual std::string OpenURL(const std::string& url) = 0;
};

std::unique_ptr<TransferControl> createTransferControl(const TransferLimits& limits = kNoticeLimits);

}  // namespace velmora
