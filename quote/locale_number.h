#pragma once
// Numbers as text in the user's locale: what the geometry tag is made of.
// Whatever singleToText writes, textToDouble reads back in the same locale as
// a double that names the same single-precision value (converted back to
// float it is that float), negative, fractional and very large values
// included.
#include <optional>
#include <string>
#include <string_view>

#include "platform/windows/layout_target.h"

namespace velmora {

// The shortest text that reads back exactly: whole numbers as plain digits
// ("11295", "-120"), others in the shortest decimal or exponent form
// ("0.5", "1e+30"), with the locale's separator and minus sign. Empty for a
// value that is not finite, which has no text that reads back.
std::optional<std::string> singleToText(float value, const LocaleNumbers& locale);

// The whole text as a number: an optional sign (the locale's minus sign, '-'
// or '+'), digits with at most one locale decimal separator, an optional
// exponent. Empty for anything else: words, an empty text, surrounding
// blanks, digit grouping, values beyond the range of a double.
std::optional<double> textToDouble(std::string_view text, const LocaleNumbers& locale);

}  // namespace velmora
