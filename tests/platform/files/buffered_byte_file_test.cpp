// The write buffer in front of the platform's byte files: which writes reach
// the file beneath, in what order and when, and what a refusing disk leaves.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/files/buffered_byte_file.h"
#include "platform/system/platform_error.h"

namespace velmora {
namespace {

// What the file beneath was asked to do, shared with the test after the
// buffered file has taken the file itself.
struct Calls {
    std::vector<std::string> writes;  // the bytes of each write, in order
    std::vector<std::string> log;     // "write N", "flush", "close", "destroyed"
    int failWriteNumber = 0;          // this write (from 1) is refused; 0: none
    std::size_t acceptedOfFailing = 0;  // bytes the refused write still takes, as a filling disk does
    std::string stored;               // what the disk holds
};

class RecordingFile final : public ByteFile {
public:
    explicit RecordingFile(Calls& calls) : calls_(calls) {}
    ~RecordingFile() override { calls_.log.push_back("destroyed"); }

    void write(const char* data, std::size_t size) override
    {
        calls_.writes.emplace_back(data, size);
        calls_.log.push_back("write " + std::to_string(size));
        if (static_cast<int>(calls_.writes.size()) == calls_.failWriteNumber) {
            calls_.stored.append(data, std::min(size, calls_.acceptedOfFailing));
            throw PlatformError("写入文件“x.part”失败", "No space left on device");
        }
        calls_.stored.append(data, size);
    }
    void flush() override { calls_.log.push_back("flush"); }
    void close() override { calls_.log.push_back("close"); }

private:
    Calls& calls_;
};

std::string bytes(std::size_t size, std::size_t from)
{
    std::string text;
    for (std::size_t i = 0; i < size; ++i)
        text += static_cast<char>('a' + (from + i) % 26);
    return text;
}

struct OrderCase {
    const char* name;
    std::vector<std::size_t> writes;  // sizes handed to the buffered file
    std::vector<std::string> before;  // what the file beneath saw before the ending
    std::vector<std::string> after;   // ... and after close()
};

TEST(BufferedByteFile, HandsOverWholeBuffersInOrderAndTheRestAtTheEnd)
{
    constexpr std::size_t kCapacity = 8;
    const std::vector<OrderCase> cases = {
        {"small writes wait for the end", {3, 3}, {}, {"write 6", "flush", "close"}},
        {"a write that does not fit sends the buffer first", {3, 3, 3}, {"write 6"},
         {"write 6", "write 3", "flush", "close"}},
        {"a full buffer goes at once", {4, 4}, {"write 8"}, {"write 8", "flush", "close"}},
        {"a write as large as the buffer goes past it", {2, 10}, {"write 2", "write 10"},
         {"write 2", "write 10", "flush", "close"}},
        {"blocks across many buffers", {5, 5, 5, 5, 5}, {"write 5", "write 5", "write 5", "write 5"},
         {"write 5", "write 5", "write 5", "write 5", "write 5", "flush", "close"}},
        {"nothing written", {}, {}, {"flush", "close"}},
        {"empty writes", {0, 0}, {}, {"flush", "close"}},
    };
    for (const OrderCase& c : cases) {
        SCOPED_TRACE(c.name);
        Calls calls;
        std::string expected;
        {
            BufferedByteFile file(std::make_unique<RecordingFile>(calls), kCapacity);
            for (const std::size_t size : c.writes) {
                const std::string block = bytes(size, expected.size());
                file.write(block.data(), block.size());
                expected += block;
            }
            EXPECT_EQ(calls.log, c.before);
            file.flush();
            file.close();
            EXPECT_EQ(calls.log, c.after);
        }
        EXPECT_EQ(calls.stored, expected);
        EXPECT_EQ(calls.log.back(), "destroyed");
    }
}

TEST(BufferedByteFile, ADestroyedFileKeepsEveryByteWrittenButIsNotClosed)
{
    Calls calls;
    {
        BufferedByteFile file(std::make_unique<RecordingFile>(calls), 8);
        file.write("abc", 3);
    }
    EXPECT_EQ(calls.stored, "abc");
    EXPECT_EQ(calls.log, (std::vector<std::string>{"write 3", "destroyed"}));
}

struct RefusalCase {
    const char* name;
    std::size_t accepted;  // bytes of the refused hand-over that the disk still took
    bool refusedByFlush;   // the hand-over is flush()'s, not a write's
};

// A disk that fills during a hand-over keeps what it took; the bytes it
// refused are not offered again, neither by a flush, nor a close, nor the
// destructor, so nothing of them lands behind later bytes.
TEST(BufferedByteFile, ADiskThatFillsDuringAHandOverKeepsWhatItTookAndIsNotAskedAgain)
{
    const std::vector<RefusalCase> cases = {
        {"full buffer, nothing taken", 0, false},
        {"full buffer, part taken", 5, false},
        {"last flush, part taken", 2, true},
    };
    for (const RefusalCase& c : cases) {
        SCOPED_TRACE(c.name);
        Calls calls;
        calls.failWriteNumber = 1;
        calls.acceptedOfFailing = c.accepted;
        {
            BufferedByteFile file(std::make_unique<RecordingFile>(calls), 8);
            file.write("abcd", 4);
            if (c.refusedByFlush) {
                EXPECT_THROW(file.flush(), PlatformError);
            } else {
                EXPECT_THROW(file.write("efgh", 4), PlatformError);
            }
            file.flush();
            file.close();
        }
        EXPECT_EQ(calls.writes.size(), 1u);
        EXPECT_EQ(calls.stored, std::string(c.refusedByFlush ? "abcd" : "abcdefgh").substr(0, c.accepted));
    }
}

TEST(BufferedByteFile, ACloseWhoseLastBytesAreRefusedLeavesTheFileToTheDestructor)
{
    Calls calls;
    calls.failWriteNumber = 1;
    {
        BufferedByteFile file(std::make_unique<RecordingFile>(calls), 8);
        file.write("ab", 2);
        EXPECT_THROW(file.close(), PlatformError);
    }
    EXPECT_EQ(calls.log, (std::vector<std::string>{"write 2", "destroyed"}));
}

}  // namespace
}  // namespace velmora
