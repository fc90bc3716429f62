#pragma once
// The libcurl backend's own tests: the shared backend fixture, plus the reads
// that only libcurl's behaviour is checked against.
#include <string>

#include "tests/platform/http/http_backend_fixture.h"

namespace velmora {

class InternetCurlTest : public HttpBackendTest {
protected:
    // Reads until exactly size bytes have come; each read must deliver some.
    std::string readExactly(InternetHandle request, std::size_t size)
    {
        std::string bytes;
        while (bytes.size() < size) {
            std::uint32_t count = 0;
            if (!readBlock(request, bytes, count) || count == 0) {
                ADD_FAILURE() << "read ended after " << bytes.size() << " of " << size << " bytes";
                break;
            }
        }
        return bytes;
    }
};

}  // namespace velmora
