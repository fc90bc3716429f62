// The geometry tag reader against any text: it must not crash, must yield
// only finite numbers, and whatever it yields, taken as single precision,
// must survive being written as a tag and read again. The first byte picks
// the locale, the rest is the tag.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "quote/geometry_tag.h"

namespace {

using velmora::ControlGeometry;
using velmora::GeometryValues;
using velmora::LocaleNumbers;

const LocaleNumbers kLocales[] = {
    {".", "-"},
    {",", "-"},
    {",", "\u2212"},
    {"\u066B", "\u061C-"},
};

[[noreturn]] void fail(const char* what, std::string_view tag)
{
    std::fprintf(stderr, "geometry tag fuzz: %s for tag \"%.*s\"\n", what, static_cast<int>(tag.size()),
                 tag.data());
    std::abort();
}

bool fitsSingle(double value)
{
    return std::fabs(value) <= std::numeric_limits<float>::max();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const LocaleNumbers& locale = kLocales[data[0] % std::size(kLocales)];
    const std::string_view tag(reinterpret_cast<const char*>(data + 1), size - 1);

    GeometryValues slots{1.5, -2.5, 3.5, -4.5};  // left over from an earlier control
    velmora::readGeometryTag(tag, locale, slots);
    for (const double value : slots) {
        if (!std::isfinite(value))
            fail("a field read as a value that is not finite", tag);
    }
    for (const double value : slots) {
        if (!fitsSingle(value))
            return 0;
    }

    const ControlGeometry geometry{static_cast<float>(slots[0]), static_cast<float>(slots[1]),
                                   static_cast<float>(slots[2]), static_cast<float>(slots[3])};
    const std::optional<std::string> written = velmora::writeGeometryTag(geometry, locale);
    if (!written)
        fail("finite values without a tag", tag);
    GeometryValues back{9, 9, 9, 9};
    velmora::readGeometryTag(*written, locale, back);
    // The text is the shortest that names each float, so it reads back as
    // that float, not necessarily as the same double.
    const ControlGeometry reread{static_cast<float>(back[0]), static_cast<float>(back[1]),
                                 static_cast<float>(back[2]), static_cast<float>(back[3])};
    const bool same = reread.Left == geometry.Left && reread.Top == geometry.Top
        && reread.Width == geometry.Width && reread.Height == geometry.Height;
    if (!same)
        fail("a written tag read back differently", tag);
    return 0;
}
