#pragma once
// Files written byte for byte, as the downloader writes its target.
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace velmora {

class ByteFile {
public:
    // Closing the file flushes it; a failure there cannot be reported from a
    // destructor, so callers that care call close() themselves.
    virtual ~ByteFile() = default;
    // Appends size bytes at the current position. Throws PlatformError when
    // the bytes cannot all be written (disk full, device error).
    virtual void write(const char* data, std::size_t size) = 0;
    // Flushes and closes. Throws PlatformError when buffered bytes are lost.
    virtual void close() = 0;
};

// A whole file's bytes, readable for as long as the object lives. On Windows
// the file cannot be renamed or replaced while one is held.
class FileContents {
public:
    virtual ~FileContents() = default;
    virtual std::string_view bytes() const = 0;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // Creates the file or truncates an existing one, for writing from its
    // first byte; other openers may not read it while it is open. Throws
    // PlatformError (with the system's reason) when it cannot be opened.
    virtual std::unique_ptr<ByteFile> openForWriting(const std::string& path) = 0;

    // Puts the closed file at from in the place of to, in one step: a reader
    // sees either the old file at to or the new one, never a mixture. Throws
    // PlatformError with the system's reason when it cannot.
    virtual void replace(const std::string& from, const std::string& to) = 0;

    // The closed file at path, whole, for reading (mapped, not copied, where
    // the system can). Throws PlatformError with the system's reason when it
    // cannot be opened or mapped.
    virtual std::unique_ptr<FileContents> openForReading(const std::string& path) = 0;
};

FileSystem& localFileSystem();

}  // namespace velmora
