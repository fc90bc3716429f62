#pragma once
// The geometry tag: a control's Left, Top, Width and Height as locale number
// text, each followed by one space, and nothing else ("120 360 4815 2535 ").
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "platform/windows/layout_target.h"

namespace velmora {

// Slots for Left, Top, Width and Height, in that order.
using GeometryValues = std::array<double, 4>;

// Empty when a value is not finite: such a tag would not read back.
std::optional<std::string> writeGeometryTag(const ControlGeometry& geometry,
                                            const LocaleNumbers& locale);

// Reads the four fields of tag into slots, searching for each field's space
// from where the previous field ended. A field that does not convert (a word,
// an empty field) leaves its slot as it was; once a space is missing, that
// slot and every later one get 0. Text after the fourth space is not read.
void readGeometryTag(std::string_view tag, const LocaleNumbers& locale, GeometryValues& slots);

}  // namespace velmora
