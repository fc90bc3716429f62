// Bytes of a fetched notice turned into text.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/http/document_text.h"
#include "tests/support/platform_capabilities.h"

namespace velmora {
namespace {

const std::string replacement = "\xEF\xBF\xBD";

TEST(DocumentText, DecodesUtf8OrElseGb18030)
{
    struct Case {
        const char* name;
        std::string bytes;
        std::string text;
    };
    const std::vector<Case> cases = {
        {"empty", "", ""},
        {"ascii", "velmora 1.0", "velmora 1.0"},
        {"utf8", "有更新", "有更新"},
        {"utf8 with bom", "\xEF\xBB\xBF有更新", "有更新"},
        {"bom only", "\xEF\xBB\xBF", ""},
        {"bom kept when not leading", "a\xEF\xBB\xBF", "a\xEF\xBB\xBF"},
        {"gbk marker", "\xD3\xD0\xB8\xFC\xD0\xC2", "有更新"},
        {"gbk with crlf", "\xD3\xD0\xB8\xFC\xD0\xC2\r\n", "有更新\r\n"},
        {"gb18030 four bytes", "\x81\x30\x81\x30", "\xC2\x80"},
        {"four-byte utf8", "\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},
        {"invalid byte", "a\xFF" "b", "a" + replacement + "b"},
        {"truncated gbk pair", "\xD3\xD0\xB8", "有" + replacement},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.bytes == "\x81\x30\x81\x30" && !test::hasGb18030FourByteTable())
            continue;
        EXPECT_EQ(documentText(c.bytes), c.text);
    }
}

TEST(DocumentText, RejectsWhatOnlyLooksLikeUtf8)
{
    struct Case {
        const char* name;
        std::string bytes;
        bool valid;
    };
    const std::vector<Case> cases = {
        {"ascii", "abc", true},
        {"two bytes", "\xC2\xA9", true},
        {"three bytes", "\xE6\x9C\x89", true},
        {"largest code point", "\xF4\x8F\xBF\xBF", true},
        {"overlong slash", "\xC0\xAF", false},
        {"overlong three bytes", "\xE0\x80\xAF", false},
        {"overlong four bytes", "\xF0\x80\x80\xAF", false},
        {"high surrogate", "\xED\xA0\x80", false},
        {"low surrogate", "\xED\xBF\xBF", false},
        {"past U+10FFFF", "\xF4\x90\x80\x80", false},
        {"five-byte lead", "\xF8\x88\x80\x80\x80", false},
        {"lone continuation", "\x80", false},
        {"truncated", "\xE6\x9C", false},
        {"bad continuation", "\xE6\x41\x89", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(isValidUtf8(c.bytes), c.valid);
        if (!c.valid) {
            EXPECT_NE(documentText(c.bytes), c.bytes) << "invalid UTF-8 must be decoded, not passed on";
        }
    }
}

}  // namespace
}  // namespace velmora
