#pragma once
// platform/files/: byte files, the program's folder and the user's own folder
// for it. Uses system/ only.
//
// Files written byte for byte, as the downloader writes its target.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace velmora {

class ByteFile {
public:
    // Destroying an open file hands the bytes written so far to the system
    // and closes it; a failure there cannot be reported from a destructor, so
    // callers that care call flush() or close() themselves.
    virtual ~ByteFile() = default;
    // Appends size bytes at the current position. The bytes may wait in the
    // file's buffer, so the disk can refuse them in a later write, flush or
    // close. Throws PlatformError when bytes cannot be written (disk full,
    // device error); the bytes refused are lost, those before them stay.
    virtual void write(const char* data, std::size_t size) = 0;
    // Hands every byte written so far to the system. Throws PlatformError
    // when they cannot all be written.
    virtual void flush() = 0;
    // Flushes, makes the bytes durable on the disk and closes. Throws
    // PlatformError when bytes are lost.
    virtual void close() = 0;
};

// A whole file's bytes, readable for as long as the object lives. On Windows
// the file cannot be renamed or replaced while one is held.
class FileContents {
public:
    virtual ~FileContents() = default;
    virtual std::string_view bytes() const = 0;
};

// A lock taken with FileSystem::lockFile, held until it is destroyed.
class FileLock {
public:
    virtual ~FileLock() = default;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // Creates the file or truncates an existing one, for writing from its
    // first byte; other openers may not read it while it is open. Throws
    // PlatformError (with the system's reason) when it cannot be opened.
    virtual std::unique_ptr<ByteFile> openForWriting(const std::string& path) = 0;

    // As openForWriting, but an existing file keeps its bytes and writing
    // goes on after the last of them.
    virtual std::unique_ptr<ByteFile> openForAppending(const std::string& path) = 0;

    // The length in bytes of the file at path; nothing when there is no file
    // there (or it cannot be looked at, or is not a file).
    virtual std::optional<std::uint64_t> sizeOf(const std::string& path) = 0;

    // Removes the file at path; one that is not there is no failure. Throws
    // PlatformError with the system's reason when it cannot.
    virtual void remove(const std::string& path) = 0;

    // Puts the closed file at from in the place of to, in one step: a reader
    // sees either the old file at to or the new one, never a mixture, and
    // after a power cut once this returns, the new one. Throws PlatformError
    // with the system's reason when it cannot.
    virtual void replace(const std::string& from, const std::string& to) = 0;

    // The closed file at path, whole, for reading (mapped, not copied, where
    // the system can). Throws PlatformError with the system's reason when it
    // cannot be opened or mapped.
    virtual std::unique_ptr<FileContents> openForReading(const std::string& path) = 0;

    // Takes the exclusive lock named by path, a file of its own beside what
    // it guards, for as long as the returned object lives; nothing when
    // another holder has it, in another process or in this one (a second
    // lockFile of the same path included). The lock never waits, and a
    // holder that dies releases it with its process. The lock's file is
    // gone once it is released. Throws PlatformError with the system's
    // reason when the lock cannot be taken for another cause.
    virtual std::unique_ptr<FileLock> lockFile(const std::string& path) = 0;
};

FileSystem& localFileSystem();

}  // namespace velmora
