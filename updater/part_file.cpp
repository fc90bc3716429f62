#include "updater/part_file.h"

#include <limits>
#include <utility>

#include "platform/system/platform_error.h"

namespace velmora {

namespace {

// A record is a few lines; anything longer is not one.
constexpr std::uint64_t kMaxRecordSize = 4096;

}  // namespace

std::string partFilePath(const std::string& target) { return target + ".part"; }

std::string resumeRecordPath(const std::string& target) { return partFilePath(target) + ".resume"; }

std::string lockFilePath(const std::string& target) { return partFilePath(target) + ".lock"; }

PartFile::PartFile(FileSystem& files, std::string target)
    : files_(files), target_(std::move(target)), path_(partFilePath(target_)), recordPath_(resumeRecordPath(target_))
{
}

bool PartFile::claim()
{
    lock_ = files_.lockFile(lockFilePath(target_));
    return lock_ != nullptr;
}

std::optional<PartFile::Kept> PartFile::keptFor(const std::string& url)
{
    const std::optional<ResumeRecord> record = readRecord();
    if (!record || record->url != url || record->total > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    const std::optional<std::uint64_t> size = files_.sizeOf(path_);
    // A part as long as the whole file was never checked or put in place;
    // asking for nothing after it would tell nothing, so it starts over.
    if (!size || *size == 0 || *size >= static_cast<std::uint64_t>(record->total))
        return std::nullopt;
    return Kept{*record, static_cast<std::int32_t>(*size)};
}

std::unique_ptr<ByteFile> PartFile::startOver(const std::optional<ResumeRecord>& record)
{
    files_.remove(recordPath_);
    std::unique_ptr<ByteFile> file = files_.openForWriting(path_);
    if (record)
        writeRecord(*record);
    return file;
}

std::unique_ptr<ByteFile> PartFile::goOn() { return files_.openForAppending(path_); }

void PartFile::replaceTarget()
{
    files_.replace(path_, target_);
    files_.remove(recordPath_);
}

void PartFile::discard()
{
    files_.remove(recordPath_);
    files_.remove(path_);
}

std::optional<ResumeRecord> PartFile::readRecord()
{
    const std::optional<std::uint64_t> size = files_.sizeOf(recordPath_);
    if (!size || *size == 0 || *size > kMaxRecordSize)
        return std::nullopt;
    // A record that cannot be read costs the resume, not the download.
    try {
        return parseRecord(files_.openForReading(recordPath_)->bytes());
    } catch (const PlatformError&) {
        return std::nullopt;
    }
}

// Written beside and put in place in one step, so that a program ended at
// any moment leaves the old record, the new one or none, never half of one.
void PartFile::writeRecord(const ResumeRecord& record)
{
    const std::string fresh = recordPath_ + ".new";
    const std::string text = recordText(record);
    const std::unique_ptr<ByteFile> file = files_.openForWriting(fresh);
    file->write(text.data(), text.size());
    file->close();
    files_.replace(fresh, recordPath_);
}

}  // namespace velmora
