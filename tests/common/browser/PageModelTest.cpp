// The store page reader: blocks, runs and buttons, and the one kind of script a button may run.
#include "common/browser/PageModel.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using common::BlockKind;

// Catches: entity-encoded quotes in onclick not decoded (the store page writes &#x27;), arguments cut or
// reordered, and calls to anything but window.external taken as calls.
TEST(PageModel, ParsesOnlyExternalCallsWithStringArguments) {
    auto call = common::ParseExternalCall(u" window.external.CB_InstallPackage('101', \"utility\",'한글메모장'); ");
    ASSERT_TRUE(call);
    EXPECT_EQ(call->method, u"CB_InstallPackage");
    ASSERT_EQ(call->arguments.size(), 3u);
    EXPECT_EQ(call->arguments[0], u"101");
    EXPECT_EQ(call->arguments[2], u"한글메모장");
    auto closing = common::ParseExternalCall(u"javascript:window.external.CB_Close()");
    ASSERT_TRUE(closing);
    EXPECT_TRUE(closing->arguments.empty());
    auto escaped = common::ParseExternalCall(u"window.external.X('it\\'s')");
    ASSERT_TRUE(escaped);
    EXPECT_EQ(escaped->arguments[0], u"it's");
    for (const char16_t* other :
         {u"alert('x')", u"window.external.X(1)", u"window.external.X('a'", u"window.external.X('a') + 1",
          u"window.externalX()", u"window.external.('a')", u"window.external.X('a',)",
          u"window.external.X('1','2','3','4','5','6','7','8','9')"}) {
        EXPECT_FALSE(common::ParseExternalCall(other)) << std::u16string(other).size();
    }
}

// Catches: the store page's packages lost or merged, button calls not attached to their buttons, script text
// shown as page text, white space not collapsed, and references not decoded.
TEST(PageModel, ReadsTheStorePage) {
    const std::string html =
        "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>Storvia</title></head><body>\n"
        "<h1>Storvia   프로그램\n스토어</h1><p id=\"inside\"></p><ul>\n"
        "<li><b>한글 메모장</b> <span>작은 &amp; 빠른</span>\n"
        "<button onclick=\"window.external.CB_InstallPackage(&#x27;101&#x27;, &#x27;utility&#x27;, "
        "&#x27;한글메모장&#x27;)\">설치</button></li>\n"
        "<li><b>그림 뷰어</b><button onclick='window.external.CB_UpdatePackage(\"102\", \"graphics\", \"Viewer\")'>"
        "업데이트</button></li></ul>\n"
        "<button onclick=\"window.external.CB_Close()\">닫기</button>\n"
        "<script>if (a < b) { document.write('<p>no</p>'); }</script><!-- <p>hidden</p> --></body></html>";
    common::PageModel page = common::ReadPage(html);
    EXPECT_EQ(page.title, u"Storvia");
    ASSERT_EQ(page.blocks.size(), 4u);
    EXPECT_EQ(page.blocks[0].kind, BlockKind::Heading);
    ASSERT_EQ(page.blocks[0].runs.size(), 1u);
    EXPECT_EQ(page.blocks[0].runs[0].text, u"Storvia 프로그램 스토어");

    const common::PageBlock& memo = page.blocks[1];
    EXPECT_EQ(memo.kind, BlockKind::ListItem);
    ASSERT_EQ(memo.runs.size(), 3u);
    EXPECT_TRUE(memo.runs[0].isBold);
    EXPECT_EQ(memo.runs[0].text, u"한글 메모장");
    EXPECT_EQ(memo.runs[1].text, u" 작은 & 빠른");
    EXPECT_TRUE(memo.runs[2].isButton);
    EXPECT_EQ(memo.runs[2].text, u"설치");
    ASSERT_TRUE(memo.runs[2].call);
    EXPECT_EQ(memo.runs[2].call->method, u"CB_InstallPackage");
    EXPECT_EQ(memo.runs[2].call->arguments, (std::vector<std::u16string>{u"101", u"utility", u"한글메모장"}));

    ASSERT_TRUE(page.blocks[2].runs.back().call);
    EXPECT_EQ(page.blocks[2].runs.back().call->arguments[2], u"Viewer");
    EXPECT_EQ(page.blocks[3].runs[0].text, u"닫기");
    ASSERT_TRUE(page.blocks[3].runs[0].call);
    EXPECT_EQ(page.blocks[3].runs[0].call->method, u"CB_Close");
}

// Catches: a page that never closes a tag or a quote read past its end, and a huge page kept whole.
TEST(PageModel, BroadPagesStayBounded) {
    EXPECT_TRUE(common::ReadPage("<p>a<b").blocks.size() <= 1);
    EXPECT_EQ(common::ReadPage("<button onclick=\"window.external.X('a)>x").blocks.size(), 0u);
    std::string many;
    for (int i = 0; i < 3000; ++i) {
        many += "<p>item " + std::to_string(i) + "</p>";
    }
    EXPECT_EQ(common::ReadPage(many).blocks.size(), common::kMaxBlocks);
    EXPECT_EQ(common::ReadPage("<p>&#xD800; &#99999999; &bogus; &#65;</p>").blocks[0].runs[0].text,
              u"\uFFFD &#99999999; &bogus; A");
}

}  // namespace
