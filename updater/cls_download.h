#pragma once
// Copies one HTTP resource into one local file in blocks of 512 bytes, on the
// calling (GUI) thread, reporting each stage and each block to its holder.
//
// A whole download runs inside one DLFile call. After every block, and at
// least every 50 ms while it waits (for the network, for the disk to take a
// flush or a rename, for the hash of the signature check), the call lets the
// window system dispatch pending messages, so the holder's window stays
// usable whatever the server does and can call DLFileStop; it may not call DLFile again on the
// same instance while one runs (that throws DownloadError). The holder keeps
// the instance and the services handed to it alive while isDownloading().
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/files/byte_file.h"
#include "platform/system/clock.h"
#include "platform/http/internet.h"
#include "platform/windows/message_pump.h"
#include "updater/download_error.h"
#include "updater/part_file.h"
#include "updater/release_check.h"

namespace velmora {

class DownloadClock;
class HandleCloser;

inline constexpr std::int32_t kStatusConnecting = 1, kStatusSendingRequest = 2, kStatusReadingInfo = 3,
                              kStatusDownloading = 4, kStatusStopped = 5, kStatusFinished = 6,
                              kStatusConnectFailed = 7, kStatusRequestFailed = 8, kStatusEndOfData = 9;

// Status 9 covers both a body read to its end and a read that failed; this
// tells them apart. SignatureRejected: the body came whole, but the release
// check refused it. TargetBusy: another download of the same target (in
// another window or program) was running, and this one made no request.
enum class DownloadOutcome {
    None,
    Complete,
    CutOff,
    Stopped,
    ConnectFailed,
    RequestFailed,
    SignatureRejected,
    TargetBusy
};

class Cls_DownLoad {
public:
    // With a check, a whole body replaces the target only when its signature
    // holds; without one, no signature is asked for.
    Cls_DownLoad(Internet& internet, Clock& clock, MessagePump& pump, FileSystem& files,
                 std::optional<ReleaseCheck> check = std::nullopt);

    // Raised after every block has been written. sRemoteURL, lDownLoaded and
    // lSpeed are the running call's own values, lFilesize (the announced body
    // length, 0 when unknown) a copy for this notification. A handler may
    // overwrite lSpeed: it is computed afresh for every block.
    std::function<void(std::string& sRemoteURL, std::int32_t& lDownLoaded, std::int32_t& lFilesize,
                       std::int32_t& lSpeed)>
        entDLFileDowning;
    // Raised at every stage with one of the kStatus... codes, TmpState being a
    // copy for this notification. By kStatusFinished the target file and
    // every handle are closed and lastOutcome() tells how the call ended.
    std::function<void(std::int32_t& TmpState)> entDLFileStatus;

    // Downloads sRemoteURL and returns the number of bytes the part file
    // holds: 0 when the session or the request cannot be opened (an HTTP
    // error status is a failed request) or another download of the same
    // target owns its part file (TargetBusy, ended as a failed request). The body is written to
    // partFilePath(sLocalFilePath), which takes the place of sLocalFilePath
    // before kStatusFinished only when the outcome is Complete; otherwise
    // the bytes written stay in the part file and the file at
    // sLocalFilePath is left as it was.
    // A part that an earlier download of the same sRemoteURL into the same
    // target left, with its record (see PartFile), is continued: the request
    // asks for the rest (Range, If-Range), and only a 206 with the rest of
    // the very same file is appended; the counts then start from the kept
    // bytes, lFilesize is the whole file's length and the speed counts this
    // call's bytes. Any other answer writes the part from its first byte.
    // With a release check, a whole body is checked between
    // kStatusEndOfData and kStatusFinished (its signature fetched from
    // signatureAddress(sRemoteURL), yielding after every read as the body
    // does; DLFileStop ends it as Stopped) and is SignatureRejected, its
    // part removed, when the check fails.
    // lTimeOut is accepted and not applied: the waits are the platform's own.
    // Throws DownloadError when the instance is already downloading (nothing
    // is touched then) or when the length or the byte count passes
    // 2147483647; PlatformError when the part file cannot be opened, written,
    // closed or read back for the check, or cannot replace the target. The
    // file may gather blocks in a buffer; they are all handed to the system
    // before the ending status (9 or 5) is raised, so a refused write fails
    // the call before it. After a throw no further status is raised and the
    // file and handles are released.
    std::int32_t DLFile(const std::string& sRemoteURL, const std::string& sLocalFilePath,
                        std::int32_t lTimeOut = 5000);

    // Asks the running download, or else the next one, to stop after the
    // block it is at. A running download that is waiting for the network
    // stops at once: while its request is opened (statuses 1, 2, 5, 6) or
    // while it waits for the next bytes (5, 6). Kept bytes stay for the next
    // try. During the hash of the signature check the stop is carried out
    // once the hash is done. Always returns 0.
    std::int16_t DLFileStop();

    bool isDownloading() const;
    DownloadOutcome lastOutcome() const;
    // The bytes the running (or last) call kept from an earlier download and
    // goes on after; 0 when it wrote from the first byte. Set before
    // kStatusDownloading is raised.
    std::int32_t resumedBytes() const;

private:
    struct BodyEnd {
        std::int32_t downloaded;
        std::int32_t finalStatus;
        DownloadOutcome outcome;
    };

    std::int32_t endUnopened(DownloadOutcome outcome, HandleCloser& session);
    bool takeStop();
    bool takeStopOfWait();
    bool keepWaiting();
    void served(const std::function<void()>& work);
    InternetHandle openRequest(InternetHandle session, const std::string& url,
                               std::optional<PartFile::Kept>& kept);
    RangeAnswer judgeRange(InternetHandle ranged, const PartFile::Kept& kept);
    std::optional<std::string> validatorOf(InternetHandle request);
    std::int32_t queryContentLength(InternetHandle request);
    std::optional<std::string> queryHeader(InternetHandle request, std::uint32_t infoLevel);
    std::optional<ResumeRecord> recordFor(InternetHandle request, const std::string& url, std::int32_t lFilesize);
    BodyEnd readBody(InternetHandle request, std::string& sRemoteURL, std::int32_t lFilesize,
                     DownloadClock& timer, ByteFile& file);
    void settlePart(PartFile& part, const std::string& archiveUrl);
    DownloadOutcome checkRelease(const std::string& archiveUrl, const std::string& partPath);
    void raiseStatus(std::int32_t code);
    void raiseDowning(std::string& sRemoteURL, std::int32_t& lDownLoaded, std::int32_t lFilesize,
                      std::int32_t& lSpeed);

    Internet& internet_;
    Clock& clock_;
    MessagePump& pump_;
    FileSystem& files_;
    std::optional<ReleaseCheck> check_;
    bool bStopRequested = false;
    // A stop asked for while this call runs ends a wait for the network at
    // once; one left from before waits for the first block, as it always has.
    bool stopWhileRunning_ = false;
    bool downloading_ = false;
    DownloadOutcome lastOutcome_ = DownloadOutcome::None;
    std::int32_t resumedBytes_ = 0;
};

}  // namespace velmora
