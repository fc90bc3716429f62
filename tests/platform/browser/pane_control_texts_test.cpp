// The zoom steps and the words of the find bar and of printing.
#include <gtest/gtest.h>

#include "platform/browser/pane_control_texts.h"

namespace velmora {
namespace {

TEST(ZoomSteps, WalkTheBrowserTableAndStopAtItsEnds)
{
    // Written out here rather than taken from the program's own table, so a
    // wrong step shows.
    const int steps[] = {25, 33, 50, 67, 75, 80, 90, 100, 110, 125, 150, 175, 200, 250, 300, 400, 500};
    for (std::size_t i = 0; i + 1 < std::size(steps); ++i) {
        EXPECT_EQ(zoomInStep(steps[i]), steps[i + 1]);
        EXPECT_EQ(zoomOutStep(steps[i + 1]), steps[i]);
    }
    // At the ends the end holds; a level between steps (the engine's own
    // Ctrl+wheel step, a page's own zoom) moves to the next step in the
    // direction asked.
    const struct {
        int from, in, out;
    } cases[] = {{25, 33, 25}, {500, 500, 400}, {105, 110, 100}, {160, 175, 150}};
    for (const auto& c : cases) {
        EXPECT_EQ(zoomInStep(c.from), c.in) << c.from;
        EXPECT_EQ(zoomOutStep(c.from), c.out) << c.from;
    }
    EXPECT_EQ(zoomText(110), "缩放：110%");
}

TEST(FindCountText, NamesTheMatchShownAndHowMany)
{
    const struct {
        int active, matches;
        const char* text;
    } cases[] = {
        {2, 5, "第 2 个，共 5 个"},
        {1, 1, "第 1 个，共 1 个"},
        {0, 0, "无匹配结果"},
        {0, 3, "第 1 个，共 3 个"},  // the engine counts before it picks one
        {12, 10, "第 10 个，共 10 个"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(findCountText(c.active, c.matches), c.text);
}

TEST(PrintFileName, IsThePageTitleAsAFileName)
{
    const struct {
        const char* title;
        const char* name;
    } cases[] = {
        {"浏览器功能测试页", "浏览器功能测试页.pdf"},
        {"", "网页.pdf"},
        {"a/b\\c:d*e?f\"g<h>i|j", "a_b_c_d_e_f_g_h_i_j.pdf"},
        {"新闻. ", "新闻.pdf"},
        {"\t", "_.pdf"},
        {"CON", "_CON.pdf"},
        {"nul.txt", "_nul.txt.pdf"},
        {"Com7", "_Com7.pdf"},
        {"COM10", "COM10.pdf"},
        {"lpt0", "_lpt0.pdf"},
        {"COM³.txt", "_COM³.txt.pdf"},
        {"CONSOLE", "CONSOLE.pdf"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(printFileName(c.title), c.name);
}

// Long titles: at most 100 characters, and no name over 255 bytes, cut
// between characters.
TEST(PrintFileName, IsCutBetweenCharactersToWhatAFileSystemTakes)
{
    const auto repeated = [](std::string_view piece, int times) {
        std::string text;
        for (int i = 0; i < times; ++i)
            text += piece;
        return text;
    };
    const struct {
        const char* what;
        std::string title;
        std::string name;
    } cases[] = {
        {"100 letters", repeated("a", 100), repeated("a", 100) + ".pdf"},
        {"120 letters", repeated("a", 120), repeated("a", 100) + ".pdf"},
        {"86 Chinese characters", repeated("新", 86), repeated("新", 83) + ".pdf"},
        {"four-byte characters", repeated("😀", 70), repeated("😀", 62) + ".pdf"},
        {"cut before a trailing space", repeated("a", 99) + " b", repeated("a", 99) + ".pdf"},
        {"cut down to a device's name", "NUL" + repeated(" ", 97) + "x", "_NUL.pdf"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string name = printFileName(c.title);
        EXPECT_EQ(name, c.name);
        EXPECT_LE(name.size(), 255u);
    }
}

}  // namespace
}  // namespace velmora
