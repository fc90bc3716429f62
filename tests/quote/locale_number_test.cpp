// Numbers in the user's locale: what is written reads back, and only numbers
// are read.
#include <cmath>
#include <limits>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "quote/locale_number.h"

namespace velmora {
namespace {

const LocaleNumbers kC{".", "-"};
const LocaleNumbers kGerman{",", "-"};
const LocaleNumbers kSwedish{",", "\u2212"};          // minus sign U+2212
const LocaleNumbers kArabic{"\u066B", "\u061C-"};     // two-part minus sign

struct WriteCase {
    float value;
    const LocaleNumbers* locale;
    const char* text;
};

TEST(SingleToText, WritesPlainDigitsForWholeNumbersAndTheLocaleSymbolsOtherwise)
{
    const WriteCase cases[] = {
        {120, &kC, "120"},
        {11295, &kC, "11295"},
        {0, &kC, "0"},
        {-120, &kC, "-120"},
        {-120, &kSwedish, "\u2212120"},
        {10000000, &kC, "10000000"},
        {0.5f, &kC, "0.5"},
        {0.5f, &kGerman, "0,5"},
        {-1234.25f, &kSwedish, "\u22121234,25"},
        {0.1f, &kC, "0.1"},
        {1e30f, &kC, "1e+30"},
        {-1.5e-20f, &kGerman, "-1,5e-20"},
        {-2.5f, &kArabic, "\u061C-2\u066B5"},
    };
    for (const WriteCase& c : cases)
        EXPECT_EQ(singleToText(c.value, *c.locale), std::optional<std::string>(c.text)) << c.text;
}

TEST(SingleToText, HasNoTextForValuesThatAreNotNumbers)
{
    for (const float value : {std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
                              std::numeric_limits<float>::quiet_NaN()})
        EXPECT_FALSE(singleToText(value, kC).has_value()) << value;
}

struct ReadCase {
    const char* text;
    const LocaleNumbers* locale;
    std::optional<double> value;
};

TEST(TextToDouble, ReadsWholeNumbersInTheLocaleAndRejectsEverythingElse)
{
    const ReadCase cases[] = {
        {"120", &kC, 120},
        {"-120", &kC, -120},
        {"+7", &kC, 7},
        {"\u2212120", &kSwedish, -120},
        {"-120", &kSwedish, -120},
        {"0,5", &kGerman, 0.5},
        {",5", &kGerman, 0.5},
        {"5,", &kGerman, 5},
        {"1e+30", &kC, 1e30},
        {"2E3", &kC, 2000},
        {"\u061C-2\u066B5", &kArabic, -2.5},
        {"0.5", &kGerman, std::nullopt},  // '.' is not this locale's separator
        {"1,5", &kC, std::nullopt},       // no digit grouping either
        {"", &kC, std::nullopt},
        {"-", &kC, std::nullopt},
        {"abc", &kC, std::nullopt},
        {"12abc", &kC, std::nullopt},
        {"1.2.3", &kC, std::nullopt},
        {"--5", &kC, std::nullopt},
        {"+-5", &kC, std::nullopt},
        {"1e", &kC, std::nullopt},
        {"inf", &kC, std::nullopt},
        {"nan", &kC, std::nullopt},
        {"\t5", &kC, std::nullopt},
        {"5\n", &kC, std::nullopt},
        {"0x10", &kC, std::nullopt},
        {"1e400", &kC, std::nullopt},
        {"\u0661", &kArabic, std::nullopt},  // only ASCII digits are written
    };
    for (const ReadCase& c : cases)
        EXPECT_EQ(textToDouble(c.text, *c.locale), c.value) << '"' << c.text << '"';
}

TEST(LocaleNumberRoundTrip, ReadsBackTheSingleThatWasWrittenInTheSameLocale)
{
    const float values[] = {0, -0.0f, 1, -1, 15, -15, 11295, 0.5f, -0.1f, 1.0f / 3, 123456.7f,
                            16777217.0f, 1e15f, 3e20f, -1e-30f,
                            std::numeric_limits<float>::max(), std::numeric_limits<float>::lowest(),
                            std::numeric_limits<float>::min(), std::numeric_limits<float>::denorm_min()};
    for (const LocaleNumbers* locale : {&kC, &kGerman, &kSwedish, &kArabic}) {
        for (const float value : values) {
            const std::optional<std::string> text = singleToText(value, *locale);
            ASSERT_TRUE(text.has_value()) << value;
            const std::optional<double> back = textToDouble(*text, *locale);
            ASSERT_TRUE(back.has_value()) << *text;
            // The shortest text of a float names the float, not the double.
            EXPECT_EQ(static_cast<float>(*back), value) << *text;
            EXPECT_EQ(std::signbit(*back), std::signbit(value)) << *text;
        }
    }
}

}  // namespace
}  // namespace velmora
