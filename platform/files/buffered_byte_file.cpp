#include "platform/files/buffered_byte_file.h"

#include <cstring>
#include <utility>

namespace velmora {

BufferedByteFile::BufferedByteFile(std::unique_ptr<ByteFile> file, std::size_t capacity)
    : file_(std::move(file)), buffer_(std::make_unique<char[]>(capacity)), capacity_(capacity)
{
}

BufferedByteFile::~BufferedByteFile()
{
    // A call that ends in a failure of its own leaves on disk every byte it
    // had written, as an unbuffered file would.
    try {
        handOver();
    } catch (...) {
        // A destructor has nobody to tell; the failure that ended the call is
        // the one its caller hears of.
    }
}

void BufferedByteFile::write(const char* data, std::size_t size)
{
    if (size > capacity_ - used_)
        handOver();
    if (size >= capacity_) {
        file_->write(data, size);
        return;
    }
    std::memcpy(buffer_.get() + used_, data, size);
    used_ += size;
    if (used_ == capacity_)
        handOver();
}

void BufferedByteFile::flush()
{
    handOver();
    file_->flush();
}

void BufferedByteFile::close()
{
    handOver();
    file_->close();
}

// The bytes leave the buffer before the write: when the disk refuses them,
// they are lost as an unbuffered write would lose them, and no later flush
// offers them again behind bytes that came after.
void BufferedByteFile::handOver()
{
    if (used_ == 0)
        return;
    const std::size_t size = std::exchange(used_, 0);
    file_->write(buffer_.get(), size);
}

}  // namespace velmora
