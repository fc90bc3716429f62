#pragma once
// A byte file that gathers small writes and hands them to the file beneath in
// one system call per buffer's worth. A download writes blocks of 512 bytes;
// a system call for each would cost more than the block.
#include <cstddef>
#include <memory>

#include "platform/files/byte_file.h"

namespace velmora {

class BufferedByteFile final : public ByteFile {
public:
    static constexpr std::size_t kDefaultCapacity = 64 * 1024;

    // Takes the file beneath; capacity must not be 0.
    explicit BufferedByteFile(std::unique_ptr<ByteFile> file, std::size_t capacity = kDefaultCapacity);
    // Hands the bytes still held to the file beneath (a failure there goes
    // unreported), then closes it without flushing it to the disk.
    ~BufferedByteFile() override;
    BufferedByteFile(const BufferedByteFile&) = delete;
    BufferedByteFile& operator=(const BufferedByteFile&) = delete;

    void write(const char* data, std::size_t size) override;
    void flush() override;
    void close() override;

private:
    void handOver();

    std::unique_ptr<ByteFile> file_;
    std::unique_ptr<char[]> buffer_;
    std::size_t capacity_;
    std::size_t used_ = 0;
};

}  // namespace velmora
