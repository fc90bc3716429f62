// Every address the program makes from the site host takes the site's
// scheme: the nine pages, the banner, the notice, the archive and its
// signature, and the home page the updater's link opens.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/menu_table.h"
#include "app/update_notice.h"
#include "base/site.h"
#include "updater/release_signature.h"

namespace velmora {
namespace {

TEST(SiteAddress, EveryAddressOfTheSiteTakesItsScheme)
{
    const std::vector<std::string> pages = {"/tiaozhuan/index1.html", "/tiaozhuan/tv.html",   "/tiaozhuan/movie.html",
                                            "/tiaozhuan/juchang.html", "/tiaozhuan/dongman.html", "/tiaozhuan/mtv.html",
                                            "/tiaozhuan/dtgb.html",   "/tiaozhuan/mfdh.html",  "/tiaozhuan/book.htm"};
    for (const std::string scheme : {"http", "https"}) {
        SCOPED_TRACE(scheme);
        const auto on = [&](std::string_view path) { return siteAddressOn(scheme, "velmora.cn", path); };
        std::vector<std::string> made;
        for (const MenuItem& item : kMenuItems)
            if (item.action == MenuAction::Navigate)
                made.push_back(on(item.path));
        std::vector<std::string> expected;
        for (const std::string& page : pages)
            expected.push_back(scheme + "://velmora.cn" + page);
        EXPECT_EQ(made, expected) << "the nine pages";
        EXPECT_EQ(on(kStartPagePath), scheme + "://velmora.cn/tiaozhuan/index1.html");
        EXPECT_EQ(on(kBannerPagePath), scheme + "://velmora.cn/gg/01.html");
        EXPECT_EQ(on(kNoticePath), scheme + "://velmora.cn/update/velmora1.0.txt");
        EXPECT_EQ(signatureAddress(on("/velmora.zip")), scheme + "://velmora.cn/velmora.zip.sig");
        EXPECT_EQ(homePageAddressOn(scheme, "velmora.cn"), scheme + "://www.velmora.cn");
    }
    // The program's own: the scheme and the host it was built with.
    EXPECT_EQ(siteAddress("/velmora.zip"), std::string(kSiteScheme) + "://" + std::string(kSiteHost) + "/velmora.zip");
    EXPECT_EQ(homePageAddress(), std::string(kSiteScheme) + "://www." + std::string(kSiteHost));
}

}  // namespace
}  // namespace velmora
