#include "updater/cls_download.h"

#include <array>
#include <limits>
#include <memory>
#include <utility>

#include "platform/http/http_rules.h"
#include "updater/download_speed.h"
#include "updater/internet_handle.h"
#include "updater/size_text.h"

namespace velmora {

namespace {

constexpr std::uint32_t kBlockSize = 512;

// Marks the instance busy for the length of one call, exceptions included.
class BusyMark {
public:
    explicit BusyMark(bool& busy) : busy_(busy) { busy_ = true; }
    ~BusyMark() { busy_ = false; }
    BusyMark(const BusyMark&) = delete;
    BusyMark& operator=(const BusyMark&) = delete;

private:
    bool& busy_;
};

// The counters are 32-bit as the notifications carry them; a body that would
// pass their range is refused before its bytes are written, so the file never
// holds more than the count reports.
std::int32_t addBlock(std::int32_t downloaded, std::uint32_t bytes)
{
    const std::int64_t total = std::int64_t{downloaded} + bytes;
    if (total > std::numeric_limits<std::int32_t>::max())
        throw DownloadError("下载的数据超过 2147483647 字节，无法继续下载");
    return static_cast<std::int32_t>(total);
}

DownloadOutcome endOfBody(std::int32_t downloaded, std::int32_t announced)
{
    return announced == 0 || downloaded == announced ? DownloadOutcome::Complete
                                                     : DownloadOutcome::CutOff;
}

}  // namespace

std::string partFilePath(const std::string& target) { return target + ".part"; }

Cls_DownLoad::Cls_DownLoad(Internet& internet, Clock& clock, MessagePump& pump, FileSystem& files,
                           std::optional<ReleaseCheck> check)
    : internet_(internet), clock_(clock), pump_(pump), files_(files), check_(std::move(check))
{
}

std::int32_t Cls_DownLoad::DLFile(const std::string& sRemoteURL, const std::string& sLocalFilePath,
                                  [[maybe_unused]] std::int32_t lTimeOut)
{
    // A nested call from a handler during the yield would open the same
    // target a second time and write it from its first byte.
    if (downloading_)
        throw DownloadError("已有一个下载正在进行，请等它结束后再开始下载");
    const BusyMark busy(downloading_);
    lastOutcome_ = DownloadOutcome::None;
    std::string url = sRemoteURL;

    raiseStatus(kStatusConnecting);
    HandleCloser session(internet_, internet_.InternetOpen(kHttpAgent, INTERNET_OPEN_TYPE_PRECONFIG, 0));
    if (!session.isOpen()) {
        lastOutcome_ = DownloadOutcome::ConnectFailed;
        raiseStatus(kStatusConnectFailed);
        return 0;
    }
    raiseStatus(kStatusSendingRequest);
    HandleCloser request(internet_, internet_.InternetOpenUrl(session.get(), url, INTERNET_FLAG_RELOAD));
    if (!request.isOpen()) {
        lastOutcome_ = DownloadOutcome::RequestFailed;
        raiseStatus(kStatusRequestFailed);
        session.close();
        raiseStatus(kStatusFinished);
        return 0;
    }
    raiseStatus(kStatusReadingInfo);
    // A length beyond 32 bits fails here, before the target file is touched.
    const std::int32_t lFilesize = queryContentLength(request.get());
    DownloadClock timer(clock_.secondsSinceMidnight());
    raiseStatus(kStatusDownloading);
    // The body goes to a file beside the target, which it replaces only once
    // it is whole: a download that is cut off, stopped or fails on the way
    // leaves the archive that stood at the target as it was.
    const std::string partPath = partFilePath(sLocalFilePath);
    const std::unique_ptr<ByteFile> file = files_.openForWriting(partPath);
    const BodyEnd end = readBody(request.get(), url, lFilesize, timer, *file);
    // The file may hold blocks in its buffer: a disk that refuses them fails
    // the call here, at the place an unbuffered write would have, before an
    // ending is reported.
    file->flush();
    lastOutcome_ = end.outcome;
    raiseStatus(end.finalStatus);
    file->close();
    request.close();
    // Checked where it would replace the target, so no caller can skip it.
    if (lastOutcome_ == DownloadOutcome::Complete && check_
        && !releaseSignatureHolds(*check_, internet_, session.get(), sRemoteURL, files_, partPath))
        lastOutcome_ = DownloadOutcome::SignatureRejected;
    if (lastOutcome_ == DownloadOutcome::Complete)
        files_.replace(partPath, sLocalFilePath);
    session.close();
    raiseStatus(kStatusFinished);
    return end.downloaded;
}

std::int16_t Cls_DownLoad::DLFileStop()
{
    bStopRequested = true;
    return 0;
}

bool Cls_DownLoad::isDownloading() const { return downloading_; }

DownloadOutcome Cls_DownLoad::lastOutcome() const { return lastOutcome_; }

std::int32_t Cls_DownLoad::queryContentLength(InternetHandle request)
{
    std::string sizeText(kSizeTextLength, '\0');
    std::uint32_t length = kSizeTextLength;
    std::uint32_t index = 0;
    if (!internet_.HttpQueryInfo(request, HTTP_QUERY_CONTENT_LENGTH, sizeText.data(), length, index))
        sizeText = "0" + std::string(kSizeTextLength - 1, ' ');
    return sizeTextValue(sizeText);
}

// One block per turn: one read, one write, one notification, one yield. The
// stop request is tested after the notification, so a handler's request takes
// effect at once and one made during the yield after the next block.
Cls_DownLoad::BodyEnd Cls_DownLoad::readBody(InternetHandle request, std::string& sRemoteURL,
                                             std::int32_t lFilesize, DownloadClock& timer,
                                             ByteFile& file)
{
    std::array<char, kBlockSize> buffer{};
    std::int32_t lDownLoaded = 0;
    for (;;) {
        std::uint32_t bytesRead = 0;
        if (!internet_.InternetReadFile(request, buffer.data(), kBlockSize, bytesRead))
            return {lDownLoaded, kStatusEndOfData, DownloadOutcome::CutOff};
        if (bytesRead == 0)
            return {lDownLoaded, kStatusEndOfData, endOfBody(lDownLoaded, lFilesize)};
        if (bytesRead > kBlockSize)
            throw DownloadError("网络读取返回了超过 512 字节的数据，下载已中止");
        const std::int32_t total = addBlock(lDownLoaded, bytesRead);
        file.write(buffer.data(), bytesRead);
        lDownLoaded = total;
        std::int32_t lSpeed = averageSpeed(lDownLoaded, timer.spanTo(clock_.secondsSinceMidnight()));
        raiseDowning(sRemoteURL, lDownLoaded, lFilesize, lSpeed);
        if (bStopRequested) {
            bStopRequested = false;
            return {lDownLoaded, kStatusStopped, DownloadOutcome::Stopped};
        }
        pump_.DoEvents();
    }
}

void Cls_DownLoad::raiseStatus(std::int32_t code)
{
    if (entDLFileStatus)
        entDLFileStatus(code);
}

void Cls_DownLoad::raiseDowning(std::string& sRemoteURL, std::int32_t& lDownLoaded,
                                std::int32_t lFilesize, std::int32_t& lSpeed)
{
    if (entDLFileDowning)
        entDLFileDowning(sRemoteURL, lDownLoaded, lFilesize, lSpeed);
}

}  // namespace velmora
