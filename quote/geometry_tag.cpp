#include "quote/geometry_tag.h"

#include "quote/locale_number.h"

namespace velmora {

namespace {

constexpr char kFieldEnd = ' ';

}  // namespace

std::optional<std::string> writeGeometryTag(const ControlGeometry& geometry,
                                            const LocaleNumbers& locale)
{
    std::string tag;
    for (const float value : {geometry.Left, geometry.Top, geometry.Width, geometry.Height}) {
        const std::optional<std::string> text = singleToText(value, locale);
        if (!text)
            return std::nullopt;
        tag += *text;
        tag += kFieldEnd;
    }
    return tag;
}

void readGeometryTag(std::string_view tag, const LocaleNumbers& locale, GeometryValues& slots)
{
    std::size_t searchFrom = 0;
    for (double& slot : slots) {
        const std::size_t space = tag.find(kFieldEnd, searchFrom);
        if (space == std::string_view::npos) {
            // The search position stays, so every later field is missing too.
            slot = 0;
            continue;
        }
        if (const std::optional<double> value = textToDouble(tag.substr(searchFrom, space - searchFrom), locale))
            slot = *value;
        searchFrom = space + 1;
    }
}

}  // namespace velmora
