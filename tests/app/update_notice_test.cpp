// The marker comparison: whole text against whole text, nothing trimmed.
#include <gtest/gtest.h>

#include "app/update_notice.h"

namespace velmora {
namespace {

struct NoticeCase {
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
    ::testing::Values(NoticeCase{"有更新", true}, NoticeCase{"有更新\r\n", false},
                      NoticeCase{"有更新\n", false}, NoticeCase{" 有更新", false},
                      NoticeCase{"有更新\xE3\x80\x80", false},  // full-width space
                      NoticeCase{"\xEF\xBB\xBF有更新", false},  // a mark left in the text
                      NoticeCase{"", false}, NoticeCase{"无更新", false},
                      NoticeCase{"\xD3\xD0\xB8\xFC\xD0\xC2", false}));  // GBK bytes, not decoded

}  // namespace
}  // namespace velmora
