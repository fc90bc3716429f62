// The proportional layout on a window made of data.
#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

#include <gtest/gtest.h>

#include "quote/layout_error.h"
#include "quote/proportional_layout.h"
#include "tests/quote/fake_layout_target.h"

namespace velmora {
namespace {

using test::FakeLayoutControl;
using test::FakeLayoutTarget;
using test::Placement;

constexpr float kDesignWidth = 11010;
constexpr float kDesignHeight = 8625;
const ControlGeometry kBrowser{0, 0, 11295, 8655};
const ControlGeometry kBox{120, 360, 4815, 2535};

FakeLayoutTarget designedWindow(const std::vector<ControlGeometry>& controls)
{
    FakeLayoutTarget window;
    window.width = kDesignWidth;
    window.height = kDesignHeight;
    for (const ControlGeometry& geometry : controls)
        window.addControl(geometry);
    return window;
}

struct RescaleCase {
    const char* name;
    float width;
    float height;
    std::vector<ControlGeometry> controls;
    std::vector<Placement> moves;
};

TEST(ResizeForm, ScalesEveryRecordedGeometryByTheRatioOfTheSizes)
{
    const RescaleCase cases[] = {
        {"ratios of 1", kDesignWidth, kDesignHeight, {kBrowser, kBox},
         {{0, 0, 11295, 8655}, {120, 360, 4815, 2535}}},
        {"width doubled", 2 * kDesignWidth, kDesignHeight, {kBrowser, kBox},
         {{0, 0, 22590, 8655}, {240, 360, 9630, 2535}}},
        {"height halved", kDesignWidth, kDesignHeight / 2, {kBrowser, kBox},
         {{0, 0, 11295, 4327.5}, {120, 180, 4815, 1267.5}}},
        {"minimised", 0, 0, {kBrowser, kBox}, {{0, 0, 0, 0}, {0, 0, 0, 0}}},
        {"negative Left", 2 * kDesignWidth, 2 * kDesignHeight, {{-300, -15, 600, 100}},
         {{-600, -30, 1200, 200}}},
        {"fractional current size", 1.5f * kDesignWidth, kDesignHeight, {{100, 10, 0.5f, 0}},
         {{150, 10, 0.75, 0}}},
    };
    for (const RescaleCase& c : cases) {
        FakeLayoutTarget window = designedWindow(c.controls);
        ProportionalLayout layout;
        layout.ResizeInit(window);
        window.width = c.width;
        window.height = c.height;
        layout.ResizeForm(window);
        for (std::size_t i = 0; i < c.moves.size(); ++i) {
            ASSERT_EQ(window.controls[i].moves.size(), 1u) << c.name;
            EXPECT_EQ(window.controls[i].moves[0], c.moves[i]) << c.name << ", control " << i;
        }
    }
}

TEST(ResizeForm, ReturnsToTheRecordedGeometryAfterAnyResizes)
{
    const std::vector<std::vector<std::pair<float, float>>> journeys = {
        {{0, 0}, {kDesignWidth, kDesignHeight}},
        {{12345.6f, 7000}, {3.3f, 9999}, {0, 0}, {22020, 17250}, {1, 1}, {kDesignWidth, kDesignHeight}},
    };
    const ControlGeometry odd{-7, 13, 4817, 2539};
    for (const auto& journey : journeys) {
        FakeLayoutTarget window = designedWindow({kBrowser, kBox, odd});
        ProportionalLayout layout;
        layout.ResizeInit(window);
        for (const auto& [width, height] : journey) {
            window.width = width;
            window.height = height;
            layout.ResizeForm(window);
        }
        EXPECT_EQ(window.controls[0].lastMove(), (Placement{0, 0, 11295, 8655}));
        EXPECT_EQ(window.controls[1].lastMove(), (Placement{120, 360, 4815, 2535}));
        EXPECT_EQ(window.controls[2].lastMove(), (Placement{-7, 13, 4817, 2539}));
    }
}

TEST(ResizeInit, RoundsTheScaleSizeToTheNearestIntegerAndHalvesToEven)
{
    const std::pair<float, std::int32_t> cases[] = {
        {1000.5f, 1000}, {1001.5f, 1002}, {2.5f, 2},      {3.5f, 4},           {0.49f, 0},
        {-0.5f, 0},      {-1.5f, -2},     {11010, 11010}, {2147483520.0f, 2147483520},
        {-2147483648.0f, std::numeric_limits<std::int32_t>::min()},
    };
    for (const auto& [scale, recorded] : cases) {
        FakeLayoutTarget window;
        window.width = scale;
        window.height = scale;
        ProportionalLayout layout;
        layout.ResizeInit(window);
        EXPECT_EQ(layout.InitScaleWidth(), recorded) << scale;
        EXPECT_EQ(layout.InitScaleHeight(), recorded) << scale;
    }
}

TEST(ResizeInit, ReportsASizeBeyondThirtyTwoBitsBeforeWritingAnything)
{
    const float beyond[] = {2147483648.0f, -2147483904.0f, std::numeric_limits<float>::infinity(),
                            std::numeric_limits<float>::quiet_NaN()};
    for (const float height : beyond) {
        FakeLayoutTarget window = designedWindow({kBox});
        ProportionalLayout layout;
        layout.ResizeInit(window);
        window.controls[0].current = kBrowser;
        window.width = 500;
        window.height = height;
        EXPECT_THROW(layout.ResizeInit(window), LayoutError) << height;
        EXPECT_EQ(layout.InitScaleWidth(), 11010) << height;
        EXPECT_EQ(layout.InitScaleHeight(), 8625) << height;
        EXPECT_EQ(window.controls[0].tag, "120 360 4815 2535 ") << height;
    }
}

TEST(ResizeForm, ReportsADivisionFailureBeforeTouchingAnyControl)
{
    const std::pair<float, float> nothingRecorded[] = {{0, 0}, {kDesignWidth, kDesignHeight}, {100, 0}};
    for (const auto& [width, height] : nothingRecorded) {
        FakeLayoutTarget window = designedWindow({kBox});
        window.controls[0].tag = "1 2 3 4 ";
        window.width = width;
        window.height = height;
        ProportionalLayout layout;
        EXPECT_THROW(layout.ResizeForm(window), LayoutError) << width << " x " << height;
        EXPECT_TRUE(window.controls[0].moves.empty());
        EXPECT_EQ(window.controls[0].tag, "1 2 3 4 ");
    }

    // Recorded while the window had no inner area.
    FakeLayoutTarget window = designedWindow({kBox});
    window.height = 0;
    ProportionalLayout layout;
    layout.ResizeInit(window);
    window.height = kDesignHeight;
    EXPECT_THROW(layout.ResizeForm(window), LayoutError);
    EXPECT_TRUE(window.controls[0].moves.empty());
}

TEST(ResizeForm, ReportsARatioThatIsNotANumber)
{
    FakeLayoutTarget window = designedWindow({kBox});
    ProportionalLayout layout;
    layout.ResizeInit(window);
    for (const float width : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()}) {
        window.width = width;
        EXPECT_THROW(layout.ResizeForm(window), LayoutError) << width;
    }
    EXPECT_TRUE(window.controls[0].moves.empty());
}

TEST(ProportionalLayout, SkipsControlsThatCannotTakePartAndHandlesTheRest)
{
    FakeLayoutTarget window;
    window.width = kDesignWidth;
    window.height = kDesignHeight;
    window.addMenuItem("菜单");
    FakeLayoutControl& readOnlyTag = window.addControl(kBox);
    readOnlyTag.tag = "旧的";
    readOnlyTag.refusesTag = true;
    FakeLayoutControl& refusing = window.addControl(kBox);
    refusing.refusesMoves = true;
    FakeLayoutControl& oldText = window.addControl(kBrowser);
    oldText.tag = "别的文字";

    ProportionalLayout layout;
    layout.ResizeInit(window);
    EXPECT_EQ(window.controls[0].tag, "菜单");
    EXPECT_EQ(readOnlyTag.tag, "旧的");
    EXPECT_EQ(refusing.tag, "120 360 4815 2535 ");
    EXPECT_EQ(oldText.tag, "0 0 11295 8655 ");

    window.width = 2 * kDesignWidth;
    layout.ResizeForm(window);
    EXPECT_TRUE(window.controls[0].moves.empty());
    // Its old tag has no space, so it reads as four zeros.
    EXPECT_EQ(readOnlyTag.lastMove(), (Placement{0, 0, 0, 0}));
    EXPECT_TRUE(refusing.moves.empty());
    EXPECT_EQ(oldText.lastMove(), (Placement{0, 0, 22590, 8655}));
}

struct TagCase {
    const char* name;
    std::vector<const char*> tags;  // control by control, the last one is checked
    Placement move;
};

TEST(ResizeForm, ReadsDamagedTagsFieldByField)
{
    const TagCase cases[] = {
        {"empty tag", {""}, {0, 0, 0, 0}},
        {"last space missing", {"120 360 4815 2535"}, {240, 360, 9630, 0}},
        {"word first, first control", {"abc 360 4815 2535 "}, {0, 360, 9630, 2535}},
        {"word first, after a control", {"100 1 2 3 ", "abc 360 4815 2535 "}, {200, 360, 9630, 2535}},
        {"word first, after a tag without spaces", {"100 1 2 3 ", "菜单", "abc 360 4815 2535 "},
         {0, 360, 9630, 2535}},
        {"empty field", {"100 1 2 3 ", "120  4815 2535 "}, {240, 1, 9630, 2535}},
        {"text after the fourth space", {"1 2 3 4 5 6 "}, {2, 2, 6, 4}},
    };
    for (const TagCase& c : cases) {
        FakeLayoutTarget window;
        window.width = kDesignWidth;
        window.height = kDesignHeight;
        ProportionalLayout layout;
        layout.ResizeInit(window);
        for (const char* tag : c.tags)
            window.addControl(kBox).tag = tag;
        window.width = 2 * kDesignWidth;
        layout.ResizeForm(window);
        EXPECT_EQ(window.controls.back().lastMove(), c.move) << c.name;
    }
}

// A control that cannot move still reads its tag: what it reads is what a
// field of the next control falls back on when it does not convert.
TEST(ResizeForm, AControlWithoutMoveStillFillsTheValueList)
{
    FakeLayoutTarget window = designedWindow({});
    ProportionalLayout layout;
    layout.ResizeInit(window);
    window.addMenuItem("100 1 2 3 ");
    window.addControl(kBox).tag = "abc 360 4815 2535 ";
    window.width = 2 * kDesignWidth;
    layout.ResizeForm(window);
    EXPECT_TRUE(window.controls.front().moves.empty());
    EXPECT_EQ(window.controls.back().lastMove(), (Placement{200, 360, 9630, 2535}));
}

// 11011 / 11010 has no exact float: a ratio in single precision would be off
// in the seventh digit.
TEST(ResizeForm, ScalesInDoublePrecision)
{
    FakeLayoutTarget window = designedWindow({});
    ProportionalLayout layout;
    layout.ResizeInit(window);
    window.addControl(kBox).tag = "120 360 4815 2535 ";
    window.width = 11011;
    window.height = 8626;
    layout.ResizeForm(window);
    const double horizontal = 11011.0 / 11010.0;
    const double vertical = 8626.0 / 8625.0;
    EXPECT_EQ(window.controls.back().lastMove(),
              (Placement{120 * horizontal, 360 * vertical, 4815 * horizontal, 2535 * vertical}));
}

TEST(ResizeForm, LeavesAControlWhoseScaledValuesOverflow)
{
    FakeLayoutTarget window = designedWindow({});
    ProportionalLayout layout;
    layout.ResizeInit(window);
    window.addControl(kBox).tag = "1e308 0 10 10 ";
    window.addControl(kBox).tag = "1 0 10 10 ";
    window.width = 2 * kDesignWidth;
    layout.ResizeForm(window);
    EXPECT_TRUE(window.controls[0].moves.empty());
    EXPECT_EQ(window.controls[1].lastMove(), (Placement{2, 0, 20, 10}));
}

TEST(ProportionalLayout, AWindowWithoutControlsOnlyRecordsAndComputes)
{
    FakeLayoutTarget window = designedWindow({});
    ProportionalLayout layout;
    layout.ResizeInit(window);
    EXPECT_EQ(layout.InitScaleWidth(), 11010);
    EXPECT_EQ(layout.InitScaleHeight(), 8625);
    window.width = 5;
    EXPECT_NO_THROW(layout.ResizeForm(window));
}

TEST(ProportionalLayout, WritesAndReadsTagsInTheWindowsLocale)
{
    FakeLayoutTarget window = designedWindow({{0.5f, -1.25f, 100.75f, 3e20f}});
    window.locale = {",", "\u2212"};
    ProportionalLayout layout;
    layout.ResizeInit(window);
    EXPECT_EQ(window.controls[0].tag, "0,5 \u22121,25 100,75 3e+20 ");
    layout.ResizeForm(window);
    EXPECT_EQ(window.controls[0].lastMove(), (Placement{0.5, -1.25, 100.75, 3e20}));
}

}  // namespace
}  // namespace velmora
