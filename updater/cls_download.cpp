#include "updater/cls_download.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <limits>
#include <memory>
#include <utility>

#include "platform/http/http_rules.h"
#include "updater/download_speed.h"
#include "updater/internet_handle.h"
#include "updater/resume_record.h"
#include "updater/size_text.h"

namespace velmora {

namespace {

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

}  // namespace

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
    stopWhileRunning_ = false;
    lastOutcome_ = DownloadOutcome::None;
    resumedBytes_ = 0;
    std::string url = sRemoteURL;

    raiseStatus(kStatusConnecting);
    HandleCloser session(internet_, internet_.InternetOpen(kHttpAgent, INTERNET_OPEN_TYPE_PRECONFIG, 0));
    if (!session.isOpen()) {
        lastOutcome_ = DownloadOutcome::ConnectFailed;
        raiseStatus(kStatusConnectFailed);
        return 0;
    }
    raiseStatus(kStatusSendingRequest);
    // Another download of this target, in this window or another program,
    // owns the part: this one touches nothing and ends as a request that
    // could not be made.
    PartFile part(files_, sLocalFilePath);
    if (!part.claim())
        return endUnopened(DownloadOutcome::TargetBusy, session);
    std::optional<PartFile::Kept> kept = part.keptFor(sRemoteURL);
    HandleCloser request(internet_, openRequest(session.get(), url, kept));
    if (!request.isOpen())
        return endUnopened(takeStopOfWait() ? DownloadOutcome::Stopped : DownloadOutcome::RequestFailed, session);
    raiseStatus(kStatusReadingInfo);
    // A length beyond 32 bits fails here, before the target file is touched.
    const std::int32_t lFilesize =
        kept ? static_cast<std::int32_t>(kept->record.total) : queryContentLength(request.get());
    DownloadClock timer(clock_.secondsSinceMidnight());
    resumedBytes_ = kept ? kept->bytes : 0;
    raiseStatus(kStatusDownloading);
    // The body goes to a file beside the target, which it replaces only once
    // it is whole: a download that is cut off, stopped or fails on the way
    // leaves the archive that stood at the target as it was.
    const std::unique_ptr<ByteFile> file =
        kept ? part.goOn() : part.startOver(recordFor(request.get(), sRemoteURL, lFilesize));
    const BodyEnd end = readBody(request.get(), url, lFilesize, timer, *file);
    // The file may hold blocks in its buffer: a disk that refuses them fails
    // the call here, at the place an unbuffered write would have, before an
    // ending is reported.
    file->flush();
    lastOutcome_ = end.outcome;
    raiseStatus(end.finalStatus);
    // Making a part of a gigabyte durable takes seconds.
    served([&] { file->close(); });
    request.close();
    settlePart(part, sRemoteURL);
    session.close();
    raiseStatus(kStatusFinished);
    return end.downloaded;
}

std::int32_t Cls_DownLoad::endUnopened(DownloadOutcome outcome, HandleCloser& session)
{
    lastOutcome_ = outcome;
    raiseStatus(outcome == DownloadOutcome::Stopped ? kStatusStopped : kStatusRequestFailed);
    session.close();
    raiseStatus(kStatusFinished);
    return 0;
}

std::int16_t Cls_DownLoad::DLFileStop()
{
    bStopRequested = true;
    if (downloading_)
        stopWhileRunning_ = true;
    return 0;
}

bool Cls_DownLoad::isDownloading() const { return downloading_; }

DownloadOutcome Cls_DownLoad::lastOutcome() const { return lastOutcome_; }

std::int32_t Cls_DownLoad::resumedBytes() const { return resumedBytes_; }

// With bytes kept, asks for the rest. Only the rest of the very file they
// began is appended to them; any other answer drops them (kept is reset). A
// 200 is the whole file and is read as it comes; anything else (an error
// status from a server or proxy that refuses ranges, a connection reset
// before the head, 416, a 206 of another part or another version) is closed
// and the whole file asked for, so that no answer to a range can keep a
// folder from ever being updated.
InternetHandle Cls_DownLoad::openRequest(InternetHandle session, const std::string& url,
                                         std::optional<PartFile::Kept>& kept)
{
    const auto wait = [this] { return keepWaiting(); };
    if (kept) {
        HandleCloser ranged(internet_, internet_.InternetOpenUrl(
                                           session, url, rangeRequestHeaders(kept->bytes, kept->record.validator),
                                           INTERNET_FLAG_RELOAD, wait));
        // Stopped while it waited: the kept bytes stay for the next try.
        if (!ranged.isOpen() && stopWhileRunning_)
            return 0;
        const RangeAnswer answer = ranged.isOpen() ? judgeRange(ranged.get(), *kept) : RangeAnswer::AskAgain;
        if (answer != RangeAnswer::Append)
            kept.reset();
        if (answer != RangeAnswer::AskAgain)
            return ranged.release();
    }  // an answer asked again is closed here, before the whole file is
    return internet_.InternetOpenUrl(session, url, {}, INTERNET_FLAG_RELOAD, wait);
}

RangeAnswer Cls_DownLoad::judgeRange(InternetHandle ranged, const PartFile::Kept& kept)
{
    const std::optional<std::string> status = queryHeader(ranged, HTTP_QUERY_STATUS_CODE);
    return judgeRangeAnswer(status ? std::strtol(status->c_str(), nullptr, 10) : 0,
                            queryHeader(ranged, HTTP_QUERY_CONTENT_RANGE), validatorOf(ranged), kept.bytes,
                            kept.record);
}

std::optional<std::string> Cls_DownLoad::validatorOf(InternetHandle request)
{
    const std::optional<std::string> etag = queryHeader(request, HTTP_QUERY_ETAG);
    return resumeValidator(etag, queryHeader(request, HTTP_QUERY_LAST_MODIFIED));
}

std::int32_t Cls_DownLoad::queryContentLength(InternetHandle request)
{
    // No length, or one that is not a number, is 0: unknown.
    return sizeTextValue(queryHeader(request, HTTP_QUERY_CONTENT_LENGTH).value_or(""));
}

std::optional<std::string> Cls_DownLoad::queryHeader(InternetHandle request, std::uint32_t infoLevel)
{
    std::string value(kSizeTextLength, '\0');
    std::uint32_t length = kSizeTextLength;
    std::uint32_t index = 0;
    if (!internet_.HttpQueryInfo(request, infoLevel, value.data(), length, index))
        return std::nullopt;
    value.resize(std::min<std::size_t>(length, value.find('\0')));
    return value;
}

// What a later call needs to go on from this body: nothing when the server
// gave no length or nothing that tells this version of the file from others.
std::optional<ResumeRecord> Cls_DownLoad::recordFor(InternetHandle request, const std::string& url,
                                                    std::int32_t lFilesize)
{
    if (lFilesize <= 0)
        return std::nullopt;
    const std::optional<std::string> validator = validatorOf(request);
    if (!validator)
        return std::nullopt;
    return ResumeRecord{url, *validator, lFilesize};
}

// Checked where it would replace the target, so no caller can skip it.
void Cls_DownLoad::settlePart(PartFile& part, const std::string& archiveUrl)
{
    if (lastOutcome_ == DownloadOutcome::Complete && check_)
        lastOutcome_ = checkRelease(archiveUrl, part.path());
    if (lastOutcome_ == DownloadOutcome::Complete)
        served([&] { part.replaceTarget(); });
    else if (lastOutcome_ == DownloadOutcome::SignatureRejected)
        served([&] { part.discard(); });  // bytes that failed the check are not worth going on from
}

// The signature fetch yields after every read, as the body does, so the
// window stays usable and its Stop ends the fetch; it also gives up once its
// time is up, whatever the backend does between reads.
DownloadOutcome Cls_DownLoad::checkRelease(const std::string& archiveUrl, const std::string& partPath)
{
    DownloadClock clock(clock_.secondsSinceMidnight());
    bool stopped = false;
    const auto betweenReads = [&] {
        pump_.DoEvents();
        if (takeStop()) {
            stopped = true;
            return false;
        }
        return clock.elapsedTo(clock_.secondsSinceMidnight())
               < std::chrono::duration<double>(kSignatureLimits.total).count();
    };
    const bool holds = releaseSignatureHolds(*check_, archiveUrl, files_, partPath, betweenReads, pump_);
    // A stop during the hash is carried out once the hash has ended.
    if (stopped || takeStopOfWait())
        return DownloadOutcome::Stopped;
    return holds ? DownloadOutcome::Complete : DownloadOutcome::SignatureRejected;
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
