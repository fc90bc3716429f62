// The marker comparison: whole text against whole text, nothing trimmed;
// and the site's addresses and captions.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/menu_table.h"
#include "app/update_notice.h"
#include "base/site.h"
#include "updater/release_signature.h"

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

// Every address the program makes from the site host takes the site's
// scheme: the nine pages, the banner, the notice, the archive and its
// signature, and the home page the updater's link opens.
TEST(SiteAddress, EveryAddressOfTheSiteTakesItsScheme)
{
    const std::vector<std::string> expected = {
        "velmora.cn/tiaozhuan/index1.html",  "velmora.cn/tiaozhuan/tv.html",   "velmora.cn/tiaozhuan/movie.html",
        "velmora.cn/tiaozhuan/juchang.html", "velmora.cn/tiaozhuan/dongman.html", "velmora.cn/tiaozhuan/mtv.html",
        "velmora.cn/tiaozhuan/dtgb.html",    "velmora.cn/tiaozhuan/mfdh.html", "velmora.cn/tiaozhuan/book.htm",
        "velmora.cn/gg/01.html",             "velmora.cn/update/velmora1.0.txt", "velmora.cn/velmora.zip.sig",
        "www.velmora.cn"};
    for (const std::string scheme : {"http", "https"}) {
        const auto on = [&](std::string_view path) { return siteAddressOn(scheme, "velmora.cn", path); };
        std::vector<std::string> made;
        for (const MenuItem& item : kMenuItems)
            if (!item.path.empty())
                made.push_back(on(item.path));
        made.insert(made.end(), {on(kBannerPagePath), on(kNoticePath), signatureAddress(on("/velmora.zip")),
                                 homePageAddressOn(scheme, "velmora.cn")});
        ASSERT_EQ(made.size(), expected.size());
        for (std::size_t i = 0; i < made.size(); ++i)
            EXPECT_EQ(made[i], scheme + "://" + expected[i]);
    }
    // The program's own: the scheme and the host it was built with.
    EXPECT_EQ(siteAddress("/velmora.zip"), std::string(kSiteScheme) + "://" + std::string(kSiteHost) + "/velmora.zip");
    EXPECT_EQ(homePageAddress(), std::string(kSiteScheme) + "://www." + std::string(kSiteHost));
}

}  // namespace
}  // namespace velmora
