// The geometry tag: four fields, four spaces, and what a damaged tag reads as.
#include <limits>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "quote/geometry_tag.h"

namespace velmora {
namespace {

const LocaleNumbers kC{".", "-"};
const LocaleNumbers kGerman{",", "-"};

TEST(WriteGeometryTag, WritesEachFieldFollowedByOneSpace)
{
    struct Case {
        ControlGeometry geometry;
        const LocaleNumbers* locale;
        const char* tag;
    };
    const Case cases[] = {
        {{120, 360, 4815, 2535}, &kC, "120 360 4815 2535 "},
        {{0, 0, 11295, 8655}, &kC, "0 0 11295 8655 "},
        {{-120, 0, 0.5f, 7.25f}, &kGerman, "-120 0 0,5 7,25 "},
    };
    for (const Case& c : cases)
        EXPECT_EQ(writeGeometryTag(c.geometry, *c.locale), std::optional<std::string>(c.tag)) << c.tag;
    EXPECT_EQ(std::string(cases[0].tag).size(), 18u);
}

TEST(WriteGeometryTag, HasNoTagForAGeometryThatWouldNotReadBack)
{
    EXPECT_FALSE(writeGeometryTag({0, 0, std::numeric_limits<float>::infinity(), 10}, kC));
    EXPECT_FALSE(writeGeometryTag({std::numeric_limits<float>::quiet_NaN(), 0, 10, 10}, kC));
}

struct ReadCase {
    const char* name;
    const char* tag;
    GeometryValues before;  // what the slots held from earlier controls
    GeometryValues after;
};

TEST(ReadGeometryTag, FollowsTheSpacesAndKeepsSlotsForFieldsThatDoNotConvert)
{
    const GeometryValues earlier{7, 8, 9, 10};
    const ReadCase cases[] = {
        {"whole tag", "120 360 4815 2535 ", earlier, {120, 360, 4815, 2535}},
        {"negative and fractional", "-120 0.5 1e+30 2535 ", earlier, {-120, 0.5, 1e30, 2535}},
        {"last space missing", "120 360 4815 2535", earlier, {120, 360, 4815, 0}},
        {"only two fields", "120 360 ", earlier, {120, 360, 0, 0}},
        {"empty tag", "", earlier, {0, 0, 0, 0}},
        {"no space at all", "12345", earlier, {0, 0, 0, 0}},
        {"word first", "abc 360 4815 2535 ", earlier, {7, 360, 4815, 2535}},
        {"word first, nothing earlier", "abc 360 4815 2535 ", {0, 0, 0, 0}, {0, 360, 4815, 2535}},
        {"empty field", "120  4815 2535 ", earlier, {120, 8, 4815, 2535}},
        {"words everywhere", "a b c d ", earlier, earlier},
        {"text after the fourth space", "1 2 3 4 5 6 junk", earlier, {1, 2, 3, 4}},
        {"leading space", " 1 2 3 ", earlier, {7, 1, 2, 3}},
        {"tab is no separator", "1\t2 3 4 5 ", earlier, {7, 3, 4, 5}},
        {"full-width space is no separator", "1\u30002 3 4 5 ", earlier, {7, 3, 4, 5}},
        {"other locale's separator", "0,5 1 2 3 ", earlier, {7, 1, 2, 3}},
        {"out of range", "1e400 1 2 3 ", earlier, {7, 1, 2, 3}},
    };
    for (const ReadCase& c : cases) {
        GeometryValues slots = c.before;
        readGeometryTag(c.tag, kC, slots);
        EXPECT_EQ(slots, c.after) << c.name;
    }
}

TEST(ReadGeometryTag, ReadsTheSeparatorOfTheLocaleItWasWrittenIn)
{
    GeometryValues slots{};
    readGeometryTag("0,5 -1,25 3 4 ", kGerman, slots);
    EXPECT_EQ(slots, (GeometryValues{0.5, -1.25, 3, 4}));
}

}  // namespace
}  // namespace velmora
