#include <iconv.h>

#include <cerrno>
#include <string>

#include "platform/system/codepage.h"

namespace velmora {

namespace {

// Owns one iconv descriptor for the length of a conversion.
class IconvHandle {
public:
    IconvHandle(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~IconvHandle()
    {
        if (valid())
            iconv_close(cd_);
    }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;

    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return cd_; }

private:
    iconv_t cd_;
};

constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

}  // namespace

std::string gb18030ToUtf8(std::string_view bytes)
{
    IconvHandle cd("UTF-8", "GB18030");
    std::string out;
    if (!cd.valid()) {
        // Without a GB18030 table nothing but ASCII can be trusted.
        for (char c : bytes)
            out += (static_cast<unsigned char>(c) < 0x80) ? std::string(1, c) : std::string(kReplacementCharacter);
        return out;
    }
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    char buffer[4096];
    while (inLeft > 0) {
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        const size_t rc = iconv(cd.get(), &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, static_cast<size_t>(outPtr - buffer));
        if (rc == static_cast<size_t>(-1)) {
            if (errno == E2BIG)
                continue;
            // An invalid or truncated sequence: mark it and go on after it.
            out += kReplacementCharacter;
            ++in;
            --inLeft;
            iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
        }
    }
    return out;
}

}  // namespace velmora
