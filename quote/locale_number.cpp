#include "quote/locale_number.h"

#include <charconv>
#include <cmath>
#include <iterator>
#include <system_error>

namespace velmora {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool consumePrefix(std::string_view& text, std::string_view prefix)
{
    if (prefix.empty() || !text.starts_with(prefix))
        return false;
    text.remove_prefix(prefix.size());
    return true;
}

// The text with the locale's separator spelled '.', or empty when it holds a
// character that cannot be part of a number in this locale.
std::optional<std::string> toPlainSpelling(std::string_view text, const LocaleNumbers& locale)
{
    std::string plain;
    while (!text.empty()) {
        if (consumePrefix(text, locale.decimalPoint)) {
            plain += '.';
            continue;
        }
        const char c = text.front();
        if (!isDigit(c) && c != 'e' && c != 'E' && c != '+' && c != '-')
            return std::nullopt;
        plain += c;
        text.remove_prefix(1);
    }
    return plain;
}

}  // namespace

std::optional<std::string> singleToText(float value, const LocaleNumbers& locale)
{
    if (!std::isfinite(value))
        return std::nullopt;
    // Fixed notation keeps whole numbers in plain digits; past 1e16 the
    // digits would be mostly zeros and the exponent form reads better.
    const bool whole = value == std::trunc(value) && std::fabs(value) < 1e16f;
    char buffer[64];
    const std::to_chars_result written = whole
        ? std::to_chars(buffer, std::end(buffer), value, std::chars_format::fixed)
        : std::to_chars(buffer, std::end(buffer), value);
    if (written.ec != std::errc())
        return std::nullopt;

    std::string text;
    for (const char* p = buffer; p != written.ptr; ++p) {
        if (*p == '-' && p == buffer)
            text += locale.minusSign;
        else if (*p == '.')
            text += locale.decimalPoint;
        else
            text += *p;
    }
    return text;
}

std::optional<double> textToDouble(std::string_view text, const LocaleNumbers& locale)
{
    bool negative = false;
    if (consumePrefix(text, locale.minusSign) || consumePrefix(text, "-"))
        negative = true;
    else
        consumePrefix(text, "+");

    const std::optional<std::string> plain = toPlainSpelling(text, locale);
    // from_chars would also take "inf", "nan" and a second sign; none of them
    // is a number a tag may hold.
    if (!plain || plain->empty() || !(isDigit(plain->front()) || plain->front() == '.'))
        return std::nullopt;

    double value = 0;
    const char* end = plain->data() + plain->size();
    const std::from_chars_result read = std::from_chars(plain->data(), end, value);
    if (read.ec != std::errc() || read.ptr != end)
        return std::nullopt;
    return negative ? -value : value;
}

}  // namespace velmora
