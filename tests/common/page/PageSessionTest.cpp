#include "common/page/PageSession.h"

#include <gtest/gtest.h>

#include "tests/common/page/PageTestDoubles.h"

namespace common {
namespace {

using testing::DrawnText;
using testing::FindBox;
using testing::FixedTextMeasure;
using testing::LoadedPage;

constexpr int kLine = FixedTextMeasure::kLineHeight;

// Catches a reader that loses text or structure on the kind of markup real pages are written in.
TEST(PageSessionParsing, ReadsOddPages) {
    LoadedPage page(
        "<!DOCTYPE html><HTML><Head><TITLE> Store &amp; more </TITLE>"
        "<style>p { color: red } </p></style></head><BODY>"
        "<!-- a comment <b>not shown</b> -->"
        "<P CLASS=intro>first<p>second &lt;tag&gt; &#xAC00;&#44033; &unknown; a < b</P>"
        "<ul><li>one<li>two</ul>"
        "<div>x<Br>y</div></span></table>"
        "<script>var hidden = '<p>not text</p>';</script>"
        "<input type=hidden name=h value=secret><img src=a.png alt='the logo'>");
    EXPECT_EQ(page.session->Title(), u"Store & more");
    const PageLayout& layout = page.Layout();
    EXPECT_EQ(DrawnText(layout), u"first second <tag> 가각 &unknown; a < b one two x y the logo");
    // Two paragraphs, two list items, and the <br> each start a line of their own.
    EXPECT_LT(FindBox(layout, u"first")->top, FindBox(layout, u"second")->top);
    EXPECT_LT(FindBox(layout, u"one")->top, FindBox(layout, u"two")->top);
    EXPECT_GT(FindBox(layout, u"one")->left, FindBox(layout, u"first")->left);  // lists are indented
    EXPECT_LT(FindBox(layout, u"x")->top, FindBox(layout, u"y")->top);
    EXPECT_EQ(FindBox(layout, u"the logo"), nullptr);  // alt text is laid out word by word
    EXPECT_EQ(FindBox(layout, u"logo")->kind, PageBox::Kind::ImageAlt);
    EXPECT_GE(layout.height, FindBox(layout, u"logo")->bottom);
}

// Catches a page cut short or a crash on markup that ends in the middle of things.
TEST(PageSessionParsing, SurvivesTruncatedAndDeepMarkup) {
    for (std::string_view html : {"<p>text<b", "<a href='x", "<script>for(;;){}", "<!-- open", "<table><tr><td>a",
                                  "<title>t", "< p>1 < 2</p>", "<input value=\"x"}) {
        LoadedPage page(html);
        page.Layout(100);
    }
    std::string deep;
    for (int i = 0; i < 1000; ++i) {
        deep += "<div><table><tr><td>";
    }
    LoadedPage page(deep + "bottom");
    EXPECT_NE(FindBox(page.Layout(300), u"bottom"), nullptr);
}

// Catches words running out of the page, and a word wider than the line not being broken.
TEST(PageSessionLayout, WrapsLinesAndBreaksLongWords) {
    LoadedPage page("<p>aaaa bbbb cccc</p><p>0123456789012345678901234</p>");
    const PageLayout& layout = page.Layout(80);  // ten characters a line
    EXPECT_EQ(FindBox(layout, u"aaaa")->top, FindBox(layout, u"bbbb")->top);
    EXPECT_GT(FindBox(layout, u"cccc")->top, FindBox(layout, u"bbbb")->top);
    for (const PageBox& box : layout.boxes) {
        EXPECT_LE(box.right, 80) << std::string(box.text.begin(), box.text.end());
    }
    EXPECT_NE(FindBox(layout, u"0123456789"), nullptr);
    EXPECT_NE(FindBox(layout, u"0123456789"), nullptr);
    EXPECT_NE(FindBox(layout, u"01234"), nullptr);
    EXPECT_EQ(layout.height, FindBox(layout, u"01234")->bottom + kLine / 2);
}

// Catches a table read as running text: its rows must stack and its cells line up in columns.
// Catches: a list item's bullet on a line of its own above the item's text (the item's block start moved past
// the bullet's line), and an empty item whose bullet the next one overlaps.
TEST(PageSessionLayout, BulletsShareTheFirstLineOfTheirItem) {
    LoadedPage page("<ul>\n<li><b>memo</b> small <button>install</button></li>\n<li></li><li>last</li></ul><p>after</p>");
    const PageLayout& layout = page.Layout();
    std::vector<const PageBox*> bullets;
    for (const PageBox& box : layout.boxes) {
        if (box.kind == PageBox::Kind::Bullet) {
            bullets.push_back(&box);
        }
    }
    ASSERT_EQ(bullets.size(), 3u);
    EXPECT_EQ(bullets[0]->top, FindBox(layout, u"memo")->top);
    EXPECT_LT(bullets[0]->right, FindBox(layout, u"memo")->left);
    const PageBox* button = FindBox(layout, u"install");
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(FindBox(layout, u"memo")->top - button->top, button->bottom - FindBox(layout, u"memo")->bottom)
        << "the words sit in the middle of the button's line";
    EXPECT_GE(bullets[1]->top, bullets[0]->bottom);
    EXPECT_GE(bullets[2]->top, bullets[1]->bottom) << "the empty item keeps its line";
    EXPECT_EQ(bullets[2]->top, FindBox(layout, u"last")->top);
    EXPECT_GE(FindBox(layout, u"after")->top, FindBox(layout, u"last")->bottom);
}

TEST(PageSessionLayout, LaysTablesOutInRowsAndColumns) {
    LoadedPage page(
        "<table border=1><tr><th>Name<th>Size<th>"
        "<tr><td>Editor<td>12 MB<td><input type=button value='Install' onclick='go(1)'>"
        "<tr><td>A longer program name<td>3 MB<td><input type=button value='Install' onclick='go(2)'>"
        "</table><p>after</p>");
    const PageLayout& layout = page.Layout(600);
    const PageBox* name = FindBox(layout, u"Name");
    const PageBox* editor = FindBox(layout, u"Editor");
    const PageBox* longer = FindBox(layout, u"longer");
    const PageBox* size = FindBox(layout, u"Size");
    const PageBox* twelve = FindBox(layout, u"12");
    const PageBox* three = FindBox(layout, u"3");
    ASSERT_TRUE(name && editor && longer && size && twelve && three);
    EXPECT_EQ(name->style, TextStyle::Bold);
    EXPECT_LT(name->top, editor->top);
    EXPECT_LT(editor->top, longer->top);
    EXPECT_EQ(name->left, editor->left);
    EXPECT_EQ(size->left, twelve->left);
    EXPECT_EQ(twelve->left, three->left);
    EXPECT_GT(twelve->left, FindBox(layout, u"name")->right);  // the column is as wide as its widest cell
    std::vector<const PageBox*> buttons;
    int borders = 0;
    for (const PageBox& box : layout.boxes) {
        if (box.kind == PageBox::Kind::Button) {
            buttons.push_back(&box);
        }
        borders += box.kind == PageBox::Kind::CellBorder;
    }
    ASSERT_EQ(buttons.size(), 2u);
    EXPECT_EQ(buttons[0]->left, buttons[1]->left);
    EXPECT_EQ(buttons[0]->top, twelve->top - twelve->top + buttons[0]->top);
    EXPECT_GE(buttons[0]->top, editor->top - kLine);
    EXPECT_EQ(borders, 9);
    EXPECT_GT(FindBox(layout, u"after")->top, buttons[1]->bottom);
    // Narrower than the table wants: the columns share the width and the long name wraps inside its cell.
    const PageLayout& narrow = page.Layout(200);
    for (const PageBox& box : narrow.boxes) {
        EXPECT_LE(box.right, 200);
    }
}

// Catches buttons that do nothing: the store's install buttons call a function of the page's own script, which
// forwards to window.external with the package's index, folder and name.
TEST(PageSessionScripts, ButtonCallsPageFunctionThatReachesTheHost) {
    LoadedPage page(
        "<script>function install(index, dir, name) {"
        "  if (window.external.CB_IsOurCustomBrowser() !== true) { return; }"
        "  window.external.CB_InstallPackage(index, dir, name); }</script>"
        "<input type=button value='설치' onclick=\"install('12', 'apps/memo', '한글 메모장')\">"
        "<button onclick='window.external.CB_UpdatePackage(7, true)'>Update</button>");
    ASSERT_EQ(page.session->FocusableCount(), 2u);
    page.session->Activate(0);
    ASSERT_EQ(page.host.calls.size(), 2u);
    EXPECT_EQ(page.host.calls[0].name, u"CB_IsOurCustomBrowser");
    EXPECT_EQ(page.host.calls[1].name, u"CB_InstallPackage");
    EXPECT_EQ(page.host.calls[1].arguments, (std::vector<std::u16string>{u"12", u"apps/memo", u"한글 메모장"}));
    page.session->Activate(1);
    ASSERT_EQ(page.host.calls.size(), 3u);
    EXPECT_EQ(page.host.calls[2].arguments, (std::vector<std::u16string>{u"7", u"<true>"}));
    EXPECT_TRUE(page.host.alerts.empty());
}

// Catches an external object that answers every name (a page then cannot tell a missing member), or one whose
// unknown member kills the page's later clicks.
TEST(PageSessionScripts, UnknownExternalMemberIsAScriptError) {
    LoadedPage page(
        "<script>var seen = 'none';"
        "try { window.external.CB_Format('c:'); seen = 'called'; } catch (e) { seen = 'error'; }</script>"
        "<button onclick=\"alert(seen)\">show</button>");
    page.session->Activate(0);
    EXPECT_EQ(page.host.alerts, std::vector<std::u16string>{u"error"});
    EXPECT_TRUE(page.host.calls.empty());
}

// Catches a script change the view never sees: innerHTML and friends must ask for a new layout with the new text.
TEST(PageSessionScripts, DomChangesAskForANewLayout) {
    LoadedPage page(
        "<div id=status>old</div><input type=text id=field value=start>"
        "<button onclick=\"document.getElementById('status').innerHTML = '<b>new</b> ' + "
        "document.getElementById('field').value; document.title = 'changed'\">go</button>"
        "<p id=gone>bye</p><button onclick=\"document.getElementById('gone').style.display='none'\">hide</button>");
    page.Layout();
    EXPECT_FALSE(page.session->NeedsLayout());
    ASSERT_EQ(page.session->FocusableCount(), 3u);
    EXPECT_TRUE(page.session->IsTextField(0));
    page.session->SetFieldValue(0, u"typed");
    EXPECT_TRUE(page.session->NeedsLayout());
    page.Layout();
    page.session->Activate(1);
    EXPECT_TRUE(page.session->NeedsLayout());
    EXPECT_EQ(page.session->Title(), u"changed");
    const PageLayout& layout = page.Layout();
    EXPECT_EQ(FindBox(layout, u"old"), nullptr);
    ASSERT_NE(FindBox(layout, u"new"), nullptr);
    EXPECT_EQ(FindBox(layout, u"new")->style, TextStyle::Bold);
    EXPECT_NE(FindBox(layout, u"typed"), nullptr);
    page.session->Activate(2);
    EXPECT_EQ(FindBox(page.Layout(), u"bye"), nullptr);
}

// Catches a broken store script that pesters the user or takes the page down with it.
TEST(PageSessionScripts, ThrowingScriptLeavesThePageUsable) {
    LoadedPage page(
        "<script>throw new Error('broken');</script><script>var x = ;</script>"
        "<script>function ok() { window.external.CB_Close(); }</script>"
        "<button onclick='missing()'>bad</button><button onclick='ok()'>good</button>");
    page.session->Activate(0);
    page.session->Activate(1);
    EXPECT_TRUE(page.host.alerts.empty());
    ASSERT_EQ(page.host.calls.size(), 1u);
    EXPECT_EQ(page.host.calls[0].name, u"CB_Close");
    EXPECT_NE(FindBox(page.Layout(), u"good"), nullptr);
}

// Catches a page that hangs the window: a script that never ends, at load or on a click, is stopped, and the
// next click still runs.
TEST(PageSessionScripts, EndlessScriptIsStoppedAndTheNextClickWorks) {
    LoadedPage page(
        "<script>while (true) {}</script>"
        "<button onclick='for (;;) { try { while (1) {} } catch (e) {} }'>hang</button>"
        "<button onclick='window.external.CB_Close()'>close</button>");
    page.session->Activate(0);
    page.session->Activate(1);
    ASSERT_EQ(page.host.calls.size(), 1u);
    EXPECT_EQ(page.host.calls[0].name, u"CB_Close");
}

// Catches timers that never fire, fire early, fire twice, or cannot be cleared.
TEST(PageSessionScripts, TimersRunWhenDue) {
    LoadedPage page(
        "<script>var n = 0; setTimeout(function () { alert('late'); }, 500);"
        "var early = setTimeout(\"alert('cleared')\", 100); clearTimeout(early);"
        "var tick = setInterval(function () { if (++n == 3) { clearInterval(tick); alert('ticks ' + n); } }, 100);"
        "</script>");
    EXPECT_EQ(page.session->NextTimerMs(), 100u);
    page.session->RunTimers(99);
    EXPECT_TRUE(page.host.alerts.empty());
    page.session->RunTimers(1);
    page.session->RunTimers(100);
    page.session->RunTimers(100);
    EXPECT_EQ(page.host.alerts, std::vector<std::u16string>{u"ticks 3"});
    EXPECT_EQ(page.session->NextTimerMs(), 200u);
    page.session->RunTimers(1000);
    EXPECT_EQ(page.host.alerts, (std::vector<std::u16string>{u"ticks 3", u"late"}));
    EXPECT_FALSE(page.session->NextTimerMs());
}

// Catches links and forms that lead off the store's host, or a login form whose fields arrive mangled.
TEST(PageSessionNavigation, LinksAndFormsStayOnTheHost) {
    LoadedPage page(
        "<a href='detail.asp?id=3#top'>same</a> <a href='http://elsewhere.test/'>off</a>"
        "<a href='https://store.test:8080/'>secure</a> <a href='javascript:alert(\"js\")'>script</a>"
        "<a href='/../root.asp'>root</a>"
        "<form action='/login.asp' method=GET><input name=userID value='김 철수'>"
        "<input type=password name=userPwd><input type=hidden name=menu value='a&b'>"
        "<input type=submit value='로그인'></form>"
        "<a href='next.asp' onclick='return false'>cancelled</a>");
    PageSession& session = *page.session;
    ASSERT_EQ(session.FocusableCount(), 9u);
    session.Activate(0);
    EXPECT_EQ(session.TakeNavigation()->url, u"http://store.test:8080/apps/detail.asp?id=3");
    EXPECT_FALSE(session.TakeNavigation());
    session.Activate(1);
    session.Activate(2);
    EXPECT_FALSE(session.TakeNavigation());
    session.Activate(3);
    EXPECT_EQ(page.host.alerts, std::vector<std::u16string>{u"js"});
    EXPECT_FALSE(session.TakeNavigation());
    session.Activate(4);
    EXPECT_EQ(session.TakeNavigation()->url, u"http://store.test:8080/root.asp");
    EXPECT_TRUE(session.IsTextField(6));
    session.SetFieldValue(6, u"p&ss=1#");
    session.Activate(7);
    EXPECT_EQ(session.TakeNavigation()->url,
              u"http://store.test:8080/login.asp?userID=%EA%B9%80%20%EC%B2%A0%EC%88%98&userPwd=p%26ss%3D1%23"
              u"&menu=a%26b");
    session.Activate(8);
    EXPECT_FALSE(session.TakeNavigation());
}

// Catches a form sent although its onsubmit check refused it (an empty login), or never sent once it passes.
TEST(PageSessionNavigation, OnsubmitCanStopTheForm) {
    LoadedPage page(
        "<form action=login.asp onsubmit=\"if (this.userID.value == '') { alert('ID'); return false; }\">"
        "<input name=userID><input type=submit value=go></form>");
    page.session->Activate(1);
    EXPECT_FALSE(page.session->TakeNavigation());
    EXPECT_EQ(page.host.alerts, std::vector<std::u16string>{u"ID"});
    page.session->SetFieldValue(0, u"kim");
    page.session->Activate(1);
    ASSERT_TRUE(page.session->TakeNavigation());
}

// Catches a login script that cannot reach its form: forms and their fields by name, and submit() from script;
// a form or field named like a built-in property ("length") must not break the lookup.
TEST(PageSessionNavigation, ScriptFillsAndSubmitsAForm) {
    LoadedPage page(
        "<form name=length></form><form name=login action=go.asp><input name=userID><input name=0></form>"
        "<button onclick=\"var f = document.forms.login; f.userID.value = 'me'; document.forms[1].submit()\">"
        "login</button>");
    page.session->Activate(2);
    ASSERT_EQ(page.session->FocusableCount(), 3u);
    std::optional<PageNavigation> navigation = page.session->TakeNavigation();
    ASSERT_TRUE(navigation);
    EXPECT_EQ(navigation->url, u"http://store.test:8080/apps/go.asp?userID=me&0=");
    EXPECT_EQ(page.session->FieldValue(0), u"me");
}

// Catches: a form whose field is named like an element member ("id", "value"): naming the field on the form
// called the member's missing setter outside any script, and the engine's fatal error ended the program at the
// login button's press.
TEST(PageSessionNavigation, FieldsNamedLikeElementMembersDoNotBreakTheForm) {
    LoadedPage page(
        "<form action=login.asp onsubmit=\"return document.forms[0].id.value != ''\">"
        "<input name=id><input type=password name=value><input name=innerHTML>"
        "<input type=submit value=Login></form>");
    ASSERT_EQ(page.session->FocusableCount(), 4u);
    page.session->Activate(3);
    EXPECT_FALSE(page.session->TakeNavigation()) << "onsubmit reads the field named id, which is empty";
    page.session->SetFieldValue(0, u"me");
    page.session->SetFieldValue(1, u"p w");
    page.session->Activate(3);
    std::optional<PageNavigation> navigation = page.session->TakeNavigation();
    ASSERT_TRUE(navigation);
    EXPECT_EQ(navigation->url, u"http://store.test:8080/apps/login.asp?id=me&value=p%20w&innerHTML=");
}

// Catches a Tab order that is not the document's, or boxes that point at the wrong focusable.
TEST(PageSessionNavigation, FocusablesInDocumentOrder) {
    LoadedPage page(
        "<table><tr><td><a href='a.asp'>first link</a><td><input type=text name=q size=5>"
        "<tr><td><input type=hidden name=h><input type=button value=btn><td><button>second</button>"
        "</table><a name=anchor>not a link</a><input type=password name=p value=pw>");
    const PageLayout& layout = page.Layout(600);
    ASSERT_EQ(page.session->FocusableCount(), 5u);
    EXPECT_EQ(FindBox(layout, u"first")->focusIndex, 0);
    EXPECT_EQ(FindBox(layout, u"link")->focusIndex, 0);
    EXPECT_EQ(FindBox(layout, u"link")->kind, PageBox::Kind::Link);
    EXPECT_EQ(FindBox(layout, u"btn")->focusIndex, 2);
    EXPECT_EQ(FindBox(layout, u"second")->focusIndex, 3);
    EXPECT_EQ(FindBox(layout, u"not")->focusIndex, -1);
    const PageBox* password = FindBox(layout, u"pw");
    ASSERT_NE(password, nullptr);
    EXPECT_EQ(password->kind, PageBox::Kind::PasswordField);
    EXPECT_EQ(password->focusIndex, 4);
    EXPECT_EQ(page.session->FieldValue(4), u"pw");
    for (const PageBox& box : layout.boxes) {
        if (box.kind == PageBox::Kind::TextField) {
            EXPECT_EQ(box.focusIndex, 1);
            EXPECT_EQ(box.right - box.left, 5 * FixedTextMeasure::kCharWidth + 8);
        }
    }
}

#if !defined(_WIN32)
// Catches text decoded in the wrong character set: the header wins over <meta>, <meta> over the UTF-8 default,
// and the arguments of external calls arrive as decoded text. Bytes from Python's cp949 codec:
// '프로그램'.encode('cp949') and '한글 메모장'.encode('cp949').
TEST(PageSessionCharset, DecodesEucKrBeforeParsing) {
    const std::string eucKrTitle = "\xc7\xc1\xb7\xce\xb1\xd7\xb7\xa5";
    const std::string eucKrName = "\xc7\xd1\xb1\xdb\x20\xb8\xde\xb8\xf0\xc0\xe5";
    const std::string body = "<title>" + eucKrTitle + "</title><button onclick=\"window.external.CB_InstallPackage('1',"
                             "'d','" + eucKrName + "')\">x</button>";
    {
        LoadedPage page("<meta http-equiv='Content-Type' content='text/html; charset=euc-kr'>" + body);
        EXPECT_EQ(page.session->Title(), u"프로그램");
        page.session->Activate(0);
        ASSERT_EQ(page.host.calls.size(), 1u);
        EXPECT_EQ(page.host.calls[0].arguments[2], u"한글 메모장");
    }
    {
        LoadedPage page("<meta charset=utf-8>" + body, "text/html; charset=KS_C_5601-1987");
        EXPECT_EQ(page.session->Title(), u"프로그램");
    }
    {
        LoadedPage page("<title>\xed\x94\x84\xeb\xa1\x9c</title>", "text/html");
        EXPECT_EQ(page.session->Title(), u"프로");
    }
    {
        LoadedPage page("<title>\xed\x94\x84</title>", "text/html; charset=x-unknown");  // read as UTF-8
        EXPECT_EQ(page.session->Title(), u"프");
    }
}
#endif

}  // namespace
}  // namespace common
