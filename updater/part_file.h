#pragma once
// The file a download is written to beside its target, and the record of
// which server file its bytes are the start of, so that a download that
// ended early (cut off, stopped, the program closed or killed) can go on
// where it stopped, in this run or a later one.
//
// The record is written, whole and in one step, before the part's first
// byte, and removed before the part is emptied: a record found on the disk
// always describes the bytes beside it.
//
// One download at a time owns a part: claim() takes a lock beside it
// (lockFilePath) that is held until the PartFile is destroyed, and nothing
// else here may be called without it. A second download of the same target,
// in this process or another, is refused the claim before it has looked at
// or touched anything.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/files/byte_file.h"
#include "updater/resume_record.h"

namespace velmora {

// Where a download into target is written until it is whole: target + ".part".
std::string partFilePath(const std::string& target);
// Where the record of that part is kept: the part's path + ".resume".
std::string resumeRecordPath(const std::string& target);
// The lock of that part, there while a download owns it: the part's path + ".lock".
std::string lockFilePath(const std::string& target);

class PartFile {
public:
    PartFile(FileSystem& files, std::string target);

    const std::string& path() const { return path_; }

    // Takes the part for this download; false when another holds it.
    // Throws PlatformError when the lock cannot be made at all.
    bool claim();

    struct Kept {
        ResumeRecord record;
        std::int32_t bytes = 0;  // fewer than record.total
    };
    // What a download of url into the target can go on from: nothing unless
    // the record names url and the part holds some, not all, of its bytes.
    std::optional<Kept> keptFor(const std::string& url);

    // The part emptied for a new download. A record given is in place before
    // the first byte; without one, none stays, and the download cannot be
    // resumed. Throws PlatformError as FileSystem does.
    std::unique_ptr<ByteFile> startOver(const std::optional<ResumeRecord>& record);
    // The part opened to go on after its last byte.
    std::unique_ptr<ByteFile> goOn();

    // The closed, whole part takes the target's place; its record goes.
    void replaceTarget();
    // The part and its record are removed.
    void discard();

private:
    std::optional<ResumeRecord> readRecord();
    void writeRecord(const ResumeRecord& record);

    FileSystem& files_;
    std::string target_;
    std::string path_;
    std::string recordPath_;
    std::unique_ptr<FileLock> lock_;
};

}  // namespace velmora
