#include "updater/release_check.h"

#include <array>
#include <memory>

#include "platform/http/http_rules.h"
#include "updater/internet_handle.h"
#include "updater/release_signature.h"

namespace velmora {

std::optional<std::string> fetchSignatureText(Internet& internet, InternetHandle session, const std::string& url,
                                              const BetweenReads& betweenReads)
{
    // Every wait of the request is served like the time between reads: the
    // window answers, Stop ends it, and so does the end of its time.
    HandleCloser request(internet, internet.InternetOpenUrl(session, url, {}, INTERNET_FLAG_RELOAD, betweenReads));
    if (!request.isOpen())
        return std::nullopt;
    std::string text;
    std::array<char, 512> buffer{};
    for (;;) {
        std::uint32_t bytesRead = 0;
        if (!internet.InternetReadFile(request.get(), buffer.data(), buffer.size(), bytesRead))
            return std::nullopt;
        if (bytesRead == 0)
            return text;
        if (bytesRead > buffer.size() || text.size() + bytesRead > kMaxSignatureText)
            return std::nullopt;
        text.append(buffer.data(), bytesRead);
        if (!betweenReads())
            return std::nullopt;
    }
}

bool releaseSignatureHolds(const ReleaseCheck& check, const std::string& archiveUrl, FileSystem& files,
                           const std::string& archivePath, const BetweenReads& betweenReads, MessagePump& pump)
{
    HandleCloser session(check.internet, check.internet.InternetOpen(kHttpAgent, INTERNET_OPEN_TYPE_PRECONFIG, 0));
    if (!session.isOpen())
        return false;
    const std::optional<std::string> text =
        fetchSignatureText(check.internet, session.get(), signatureAddress(archiveUrl), betweenReads);
    session.close();
    if (!text)
        return false;
    const std::optional<Ed25519Signature> signature = parseSignatureText(*text);
    if (!signature)
        return false;
    const std::unique_ptr<FileContents> archive = files.openForReading(archivePath);
    // Hashing an archive of a gigabyte takes seconds; the window is served
    // meanwhile. The library cannot stop half-way, so a stop waits for it.
    bool holds = false;
    pump.DoEventsDuring([&] { holds = check.verifier.verify(archive->bytes(), *signature, check.publicKey); });
    return holds;
}

}  // namespace velmora
