// The notice fetch on WinINet: one blocking GET into memory, decoded to text
// as on every platform.
#include <algorithm>
#include <string>
#include <string_view>

#include "platform/document_text.h"
#include "platform/internet.h"
#include "platform/platform_error.h"
#include "platform/transfer_control.h"
#include "platform/request_wininet.h"
#include "platform/session_wininet.h"

namespace velmora {

namespace {

constexpr const char* fetchFailed = "获取更新通知失败";
constexpr const char* agent = "VB Http";
// A notice is a few bytes; anything past this cannot be the marker, and a
// runaway response must not fill memory.
constexpr std::size_t documentLimit = 64 * 1024;

// A document cut at the limit may end inside a UTF-8 character; drop that
// partial character rather than reading the whole text as GB18030.
std::string_view withoutCutCharacter(std::string_view bytes)
{
    for (std::size_t drop = 1; drop <= 3 && drop < bytes.size() && !isValidUtf8(bytes); ++drop) {
        if (isValidUtf8(bytes.substr(0, bytes.size() - drop)))
            return bytes.substr(0, bytes.size() - drop);
    }
    return bytes;
}

class TransferControlWinInet final : public TransferControl {
public:
    std::string OpenURL(const std::string& url) override
    {
        std::string reason;
        const auto session = WinInetSession::open(agent, INTERNET_OPEN_TYPE_PRECONFIG, 0, &reason);
        if (!session)
            throw PlatformError(fetchFailed, reason);
        WinInetRequest request;
        if (!request.open(session->handle(), url, INTERNET_FLAG_RELOAD))
            throw PlatformError(fetchFailed, request.failure());

        std::string bytes;
        char block[4096];
        while (bytes.size() < documentLimit) {
            std::size_t count = 0;
            if (!request.read(block, std::min(sizeof block, documentLimit - bytes.size()), count))
                throw PlatformError(fetchFailed, request.failure());
            if (count == 0)
                return documentText(bytes);
            bytes.append(block, count);
        }
        return documentText(withoutCutCharacter(bytes));
    }
};

}  // namespace

std::unique_ptr<TransferControl> createTransferControl()
{
    return std::make_unique<TransferControlWinInet>();
}

}  // namespace velmora
