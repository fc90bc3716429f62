#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "updater/download_error.h"
#include "updater/download_speed.h"
#include "updater/resume_record.h"
#include "updater/size_text.h"

namespace velmora {
namespace {

using namespace std::string_literals;

// The buffer as the HTTP layer leaves it: the value, then NULs to 512.
std::string sizeText(std::string value)
{
    value.resize(kSizeTextLength, '\0');
    return value;
}

TEST(SizeText, ReadsTheDecimalLengthOrZero)
{
    const struct {
        std::string text;
        std::int32_t value;
    } cases[] = {
        {sizeText("1000"), 1000},
        {sizeText(""), 0},
        {"0" + std::string(kSizeTextLength - 1, ' '), 0},
        {sizeText("  42 \t"), 42},
        {sizeText("2147483647"), 2147483647},
        {sizeText("000000000000000000000000000042"), 42},
        {sizeText("12\0" "99999999999"s), 12},
        {std::string(kSizeTextLength - 3, '0') + "123", 123},
        {sizeText("abc"), 0},
        {sizeText("12abc"), 0},
        {sizeText("4 2"), 0},
        {sizeText("-5"), 0},
        {sizeText("+5"), 0},
        {sizeText("1e3"), 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(sizeTextValue(c.text), c.value) << '"' << c.text.c_str() << '"';
}

TEST(SizeText, RefusesLengthsBeyond32Bits)
{
    for (const char* text : {"2147483648", "4294967296", "99999999999999999999999999"})
        EXPECT_THROW(sizeTextValue(sizeText(text)), DownloadError) << text;
}

TEST(RoundHalfEven, SendsExactHalvesToTheEvenNeighbour)
{
    const struct {
        double value;
        double rounded;
    } cases[] = {
        {0.5, 0},        {1.5, 2},     {2.5, 2},     {3.5, 4},          {-0.5, 0},
        {-1.5, -2},      {-2.5, -2},   {100.4, 100}, {100.45, 100},     {100.6, 101},
        {0.49999999999999994, 0},      {2.5000000000000004, 3},         {1e15 + 0.5, 1e15},
        {86399.5, 86400}, {-0.2, 0},   {7, 7},
    };
    for (const auto& c : cases)
        EXPECT_EQ(roundHalfEven(c.value), c.rounded) << c.value;
}

TEST(AverageSpeed, DividesByWholeSecondsAndRoundsHalfToEven)
{
    const struct {
        std::int32_t downloaded;
        double span;
        std::int32_t speed;
    } cases[] = {
        {512, 0.45, 1025},  {512, 0.5, 1025},   {512, -3, 1025},       {512, 0.6, 512},
        {1024, 1.5, 512},   {1024, 2.5, 512},   {1000, 3, 333},        {125, 2, 62},
        {375, 2, 188},      {0, 5, 0},          {2147483647, 1, 2147483647},
    };
    for (const auto& c : cases)
        EXPECT_EQ(averageSpeed(c.downloaded, c.span), c.speed) << c.downloaded << " / " << c.span;
}

TEST(DownloadClock, CountsFromTheStartSecondAcrossMidnight)
{
    const struct {
        const char* name;
        std::vector<double> readings;  // the first is the start
        std::vector<double> spans;
    } cases[] = {
        {"start rounds half to even", {100.5, 101.5, 103.0}, {1.5, 3.0}},
        {"start rounds up", {100.6, 101.0}, {0.0}},
        {"past midnight", {86399.25, 86399.75, 0.75, 2.5}, {0.75, 1.75, 3.5}},
        {"two midnights", {86000, 10, 86000, 5}, {410, 86400, 86805}},
        {"clock set back an hour", {36000, 36010, 32420}, {10, -3580}},
        {"start on a rounded-up midnight", {86399.75, 0.25}, {0.25}},
    };
    for (const auto& c : cases) {
        DownloadClock clock(c.readings.front());
        for (std::size_t i = 1; i < c.readings.size(); ++i)
            EXPECT_DOUBLE_EQ(clock.spanTo(c.readings[i]), c.spans[i - 1]) << c.name << ", reading " << i;
    }
    // A limit counts from the first reading itself, across midnight too.
    DownloadClock limit(86399.75);
    EXPECT_DOUBLE_EQ(limit.elapsedTo(0.25), 0.5);
}

// Only the rest of the same file is appended; any other answer to a range
// request is started over, from this body (200) or from a new request.
TEST(RangeAnswer, AppendsOnlyTheRestOfTheSameFile)
{
    const std::string v1 = "\"v1\"";
    const struct {
        long status;
        std::optional<std::string> contentRange;
        RangeAnswer answer;
        std::optional<std::string> validator = "\"v1\"";  // of the answer; the record's is "v1"
    } cases[] = {
        {206, "bytes 400-999/1000", RangeAnswer::Append},
        {200, std::nullopt, RangeAnswer::Restart},
        {200, "bytes 400-999/1000", RangeAnswer::Restart},
        {200, std::nullopt, RangeAnswer::Restart, std::nullopt},  // a new file without validators
        {206, "bytes 0-999/1000", RangeAnswer::AskAgain},    // from the start
        {206, "bytes 200-999/1000", RangeAnswer::AskAgain},  // before the kept end
        {206, "bytes 400-999/2000", RangeAnswer::AskAgain},  // another total
        {206, "bytes 400-1999/2000", RangeAnswer::AskAgain},
        {206, "bytes 400-499/1000", RangeAnswer::AskAgain},  // not to the end
        {206, "bytes 400-999/*", RangeAnswer::AskAgain},
        {206, std::nullopt, RangeAnswer::AskAgain},
        // If-Range ignored: the tail of another version, or of one that no
        // longer says which it is.
        {206, "bytes 400-999/1000", RangeAnswer::AskAgain, "\"v2\""},
        {206, "bytes 400-999/1000", RangeAnswer::AskAgain, std::nullopt},
        {416, "bytes */1000", RangeAnswer::AskAgain},
        {304, std::nullopt, RangeAnswer::AskAgain},
        {412, std::nullopt, RangeAnswer::AskAgain},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.status) + " " + c.contentRange.value_or("-") + " " + c.validator.value_or("-"));
        EXPECT_EQ(judgeRangeAnswer(c.status, c.contentRange, c.validator, 400, ResumeRecord{"u", v1, 1000}),
                  c.answer);
    }
}

TEST(ResumeRecord, ReadsBackWhatItWroteAndNothingTornOrForeign)
{
    const ResumeRecord record{"http://127.0.0.1:8080/velmora.zip", "\"v1\"", 12898509};
    EXPECT_EQ(parseRecord(recordText(record)), record);
    const std::string text = recordText(record);
    for (const std::string& bad : {text.substr(0, text.size() - 1), text.substr(0, 20), "velmora-part 1\n"s,
                                   "other 1\na\nb\n5\n"s, "velmora-part 1\na\nb\n-5\n"s, ""s})
        EXPECT_EQ(parseRecord(bad), std::nullopt) << bad;
    EXPECT_EQ(resumeValidator("\"e\"", "date"), "\"e\"");
    EXPECT_EQ(resumeValidator(std::nullopt, "date"), "date");
    EXPECT_EQ(resumeValidator("W/\"e\"", "date"), std::nullopt) << "a weak ETag cannot name the bytes";
    EXPECT_EQ(resumeValidator(std::nullopt, std::nullopt), std::nullopt);
}

}  // namespace
}  // namespace velmora
