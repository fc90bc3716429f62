// The body of a download and the waits inside it: the block loop, and how
// the window is served and a stop taken while the call waits.
#include <array>
#include <cstdint>
#include <limits>
#include <utility>

#include "updater/cls_download.h"
#include "updater/download_speed.h"

namespace velmora {

namespace {

constexpr std::uint32_t kBlockSize = 512;

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

bool Cls_DownLoad::takeStop()
{
    stopWhileRunning_ = false;
    return std::exchange(bStopRequested, false);
}

bool Cls_DownLoad::takeStopOfWait() { return stopWhileRunning_ && takeStop(); }

// The archive's request is served through every wait for the network, and a
// stop asked for during the call ends the wait at once. A stop asked for
// before the call is left for the block loop: the first block comes first.
bool Cls_DownLoad::keepWaiting()
{
    pump_.DoEvents();
    return !stopWhileRunning_;
}

void Cls_DownLoad::served(const std::function<void()>& work) { pump_.DoEventsDuring(work); }

// One block per turn: one read, one write, one notification, one yield. The
// stop request is tested after the notification, so a handler's request takes
// effect at once and one made during the yield after the next block.
Cls_DownLoad::BodyEnd Cls_DownLoad::readBody(InternetHandle request, std::string& sRemoteURL,
                                             std::int32_t lFilesize, DownloadClock& timer,
                                             ByteFile& file)
{
    std::array<char, kBlockSize> buffer{};
    // A continued download counts from the bytes kept, its speed from this
    // call's own.
    std::int32_t lDownLoaded = resumedBytes_;
    for (;;) {
        std::uint32_t bytesRead = 0;
        if (!internet_.InternetReadFile(request, buffer.data(), kBlockSize, bytesRead)) {
            if (takeStopOfWait())
                return {lDownLoaded, kStatusStopped, DownloadOutcome::Stopped};
            return {lDownLoaded, kStatusEndOfData, DownloadOutcome::CutOff};
        }
        if (bytesRead == 0)
            return {lDownLoaded, kStatusEndOfData, endOfBody(lDownLoaded, lFilesize)};
        if (bytesRead > kBlockSize)
            throw DownloadError("网络读取返回了超过 512 字节的数据，下载已中止");
        const std::int32_t total = addBlock(lDownLoaded, bytesRead);
        file.write(buffer.data(), bytesRead);
        lDownLoaded = total;
        std::int32_t lSpeed = averageSpeed(lDownLoaded - resumedBytes_, timer.spanTo(clock_.secondsSinceMidnight()));
        raiseDowning(sRemoteURL, lDownLoaded, lFilesize, lSpeed);
        if (takeStop())
            return {lDownLoaded, kStatusStopped, DownloadOutcome::Stopped};
        pump_.DoEvents();
    }
}

}  // namespace velmora
