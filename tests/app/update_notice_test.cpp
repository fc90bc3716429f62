// The marker comparison: whole text against whole text, nothing trimmed.
#include <gtest/gtest.h>

#include "base/site.h"
#include "app/update_notice.h"

namespace velmora {
namespace {

struct NoticeCase {
    const char* name;
    const char* text;
    bool asks;
};

class UpdateNoticeTest : public ::testing::TestWithParam<NoticeCase> {};

TEST_P(UpdateNoticeTest, OnlyTheExactMarkerAsks)
{
    EXPECT_EQ(isUpdateMarker(GetParam().text), GetParam().asks) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, UpdateNoticeTest,
    ::testing::Values(NoticeCase{"Marker", "有更新", true}, NoticeCase{"MarkerCrLf", "有更新\r\n", false},
                      NoticeCase{"MarkerLf", "有更新\n", false}, NoticeCase{"SpaceMarker", " 有更新", false},
                      NoticeCase{"MarkerFullWidthSpace", "有更新\xE3\x80\x80", false},
                      NoticeCase{"ByteOrderMarkMarker", "\xEF\xBB\xBF有更新", false},  // a mark left in the text
                      NoticeCase{"Empty", "", false}, NoticeCase{"OtherText", "无更新", false},
                      NoticeCase{"UndecodedGbk", "\xD3\xD0\xB8\xFC\xD0\xC2", false}),
    [](const auto& info) { return std::string(info.param.name); });

// Captions name the site in capitals; only the letters a to z change (the
// build's own host, an address, has none to show it).
TEST(CaptionName, IsWwwAndTheHostInCapitals)
{
    const struct {
        const char* host;
        const char* name;
    } cases[] = {
        {"velmora.cn", "WWW.VELMORA.CN"},
        {"Hq.Quotes-2.cn:8080", "WWW.HQ.QUOTES-2.CN:8080"},
        {"127.0.0.1:8741", "WWW.127.0.0.1:8741"},
        {"zz.az", "WWW.ZZ.AZ"},
        {"", "WWW."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(captionNameOf(c.host), c.name) << c.host;
}

}  // namespace
}  // namespace velmora
