// Light XML document: tokeniser, tag scanner, parser errors, positions, writer format and encodings.
#include "common/xml/XmlDocument.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "common/text/Utf.h"
#include "tests/common/io/MemoryFileStore.h"

namespace {

using common::CXmlDocument;
using common::CXmlElement;
using common::XmlError;
using common::XmlPosition;

// A compact image of a subtree: name, attributes in memory order, text and children.
std::string Dump(const CXmlElement* element) {
    std::string out = common::Utf16ToUtf8(element->Name());
    for (const common::CXmlAttribute* a = element->FirstAttribute(); a; a = a->Next()) {
        out += " " + common::Utf16ToUtf8(a->Name()) + "=" + common::Utf16ToUtf8(a->Value());
    }
    out += "{" + common::Utf16ToUtf8(element->Text()) + "}";
    if (element->HasChildren()) {
        out += "(";
        for (const CXmlElement* c = element->FirstChild(); c; c = element->NextChild(c)) {
            out += Dump(c) + ";";
        }
        out += ")";
    }
    return out;
}

std::string DumpDocument(const CXmlDocument& document) {
    std::string out;
    const CXmlElement* first = document.Root().element;
    for (const CXmlElement* e = first; e;) {
        out += Dump(e) + "|";
        e = e->Next() == first ? nullptr : e->Next();
    }
    return out;
}

std::string WrittenUtf8(const CXmlDocument& document) {
    return common::Utf16ToUtf8(document.ToText());
}

TEST(XmlDocument, ParsesTextAttributesAndChildrenInRingOrder) {
    CXmlDocument document;
    ASSERT_TRUE(document.Parse(u"<A x=\"1\" y=two><B>한글</B><C/><B>second</B></A>"));
    EXPECT_EQ(document.LastError(), XmlError::None);
    EXPECT_EQ(document.LastErrorText(), nullptr);
    // Attributes are pushed to the front while reading: memory order is the reverse of the source.
    EXPECT_EQ(DumpDocument(document), "A y=two x=1{}(B{한글};C{};B{second};)|");
    const CXmlElement* a = document.Root().element;
    EXPECT_EQ(a->FirstChild()->Previous()->Text(), u"second");  // previous(first) is the last child
    EXPECT_EQ(a->FirstChild()->Previous()->Next(), a->FirstChild());
}

TEST(XmlDocument, KeepsWhiteSpaceAroundText) {
    CXmlDocument document;
    ASSERT_TRUE(document.Parse(u"<a> x </a>"));
    EXPECT_EQ(document.Root().element->Text(), u" x ");
}

TEST(XmlDocument, SelfClosingElementsGetStartAndEndTagsWhenWritten) {
    CXmlDocument document;
    ASSERT_TRUE(document.Parse(u"<r><a/><b /><c k=\"v\"/></r>"));
    EXPECT_EQ(DumpDocument(document), "r{}(a{};b{};c k=v{};)|");
    EXPECT_EQ(WrittenUtf8(document), "<r>\r\n\t<a></a>\r\n\t<b></b>\r\n\t<c k=\"v\"></c>\r\n</r>\r\n");
}

TEST(XmlDocument, SkipsDeclarationAndCommentsBeforeAndInsideElements) {
    CXmlDocument document;
    ASSERT_TRUE(document.Parse(u"<?xml version=\"1.0\"?>\r\n<!-- 주석 -->\r\n<r><!-- inner --><a>1</a></r>"));
    EXPECT_EQ(DumpDocument(document), "r{}(a{1};)|");
}

TEST(XmlDocument, AcceptsEndTagDifferingOnlyInCase) {
    CXmlDocument document;
    EXPECT_TRUE(document.Parse(u"<PackageCount>3</PACKAGECOUNT>"));
}

TEST(XmlDocument, EndTagNameStopsAtClosingBracketSpaceSlashOrEquals) {
    for (std::u16string text : {u"<a>x</a>", u"<a>x</a >", u"<a>x</a/>", u"<a>x</a=>", u"<ab>x</ab\t>"}) {
        CXmlDocument document;
        EXPECT_TRUE(document.Parse(text)) << common::Utf16ToUtf8(text);
    }
}

TEST(XmlDocument, MixedContentFailsAfterAppendingTheChild) {
    CXmlDocument document;
    EXPECT_FALSE(document.Parse(u"<A><B>1</B>tail</A>"));
    EXPECT_EQ(document.LastError(), XmlError::NotATag);
    EXPECT_EQ(std::u16string(document.LastErrorText()), u"엘리먼트는 태그로 시작해야 합니다.");
    EXPECT_EQ(DumpDocument(document), "A{}(B{1};)|");
}

TEST(XmlDocument, DecodesPredefinedEntitiesAndKeepsLoneAmpersands) {
    CXmlDocument document;
    ASSERT_TRUE(document.Parse(u"<a v=\"&quot;q&quot; &amp;&lt;&gt;\">&amp;&lt;&gt;&quot;&apos; &nbsp; & &amp</a>"));
    const CXmlElement* a = document.Root().element;
    EXPECT_EQ(a->Text(), u"&<>\"' &nbsp; & &amp");
    EXPECT_EQ(a->FirstAttribute()->Value(), u"\"q\" &<>");
}

TEST(XmlDocument, WriterEscapesMarkupInTextAndAttributeValues) {
    CXmlDocument document;
    XmlPosition root = document.AppendTopLevel(u"r");
    root.element->SetText(u"a&b<c>d\"e");
    root.element->PushFrontAttribute(u"k", u"x\"y<z>&");
    EXPECT_EQ(WrittenUtf8(document), "<r k=\"x&quot;y&lt;z&gt;&amp;\">a&amp;b&lt;c&gt;d\"e</r>\r\n");
    CXmlDocument reread;
    ASSERT_TRUE(reread.Parse(document.ToText()));
    EXPECT_EQ(reread.Root().element->Text(), u"a&b<c>d\"e");
    EXPECT_EQ(reread.Root().element->FirstAttribute()->Value(), u"x\"y<z>&");
}

// Catches: a character XML forbids even as a reference (a C0 control other than tab, line feed and carriage
// return, U+FFFE, U+FFFF, half of a surrogate pair) written into the file, where the agent's DOM reader would
// refuse the whole file; and a character XML allows (tab, line breaks, a whole pair, Hangul) dropped with them.
TEST(XmlDocument, WriterDropsCharactersXmlForbids) {
    CXmlDocument document;
    XmlPosition root = document.AppendTopLevel(u"r");
    const std::u16string text = std::u16string(u"a\u0001b\u0008\u000B\u000C\u001F\tc\n\rd") + char16_t(0) +
                                u"\uFFFE\uFFFF\U0001F600\xD800x\xDC00y\u007F\u0085\uFFFD한";
    root.element->SetText(text);
    root.element->PushFrontAttribute(u"k", u"v\u0002w\xDFFF");
    const std::u16string written = document.ToText();
    for (char16_t unit : written) {
        EXPECT_FALSE(unit < 0x20 && unit != u'\t' && unit != u'\n' && unit != u'\r') << "control " << int(unit);
        EXPECT_FALSE(unit == 0xFFFE || unit == 0xFFFF) << "non-character " << int(unit);
    }
    CXmlDocument reread;
    ASSERT_TRUE(reread.Parse(written));
    EXPECT_EQ(reread.Root().element->Text(), u"ab\tc\n\rd\U0001F600xy\u007F\u0085\uFFFD한");
    EXPECT_EQ(reread.Root().element->FirstAttribute()->Value(), u"vw");
}

TEST(XmlDocument, WritesTabsCrLfAndTextBeforeFirstChild) {
    CXmlDocument document;
    ASSERT_TRUE(
        document.Parse(u"<TolvEnv><MAINMENU><B><ICON></ICON><TYPE>12</TYPE></B></MAINMENU>"
                       u"<M>lead<c>1</c></M></TolvEnv>"));
    EXPECT_EQ(WrittenUtf8(document),
              "<TolvEnv>\r\n"
              "\t<MAINMENU>\r\n"
              "\t\t<B>\r\n"
              "\t\t\t<ICON></ICON>\r\n"
              "\t\t\t<TYPE>12</TYPE>\r\n"
              "\t\t</B>\r\n"
              "\t</MAINMENU>\r\n"
              "\t<M>lead<c>1</c>\r\n"
              "\t</M>\r\n"
              "</TolvEnv>\r\n");
}

TEST(XmlDocument, RoundTripReversesAttributesAndKeepsEverythingElse) {
    const std::u16string source =
        u"<Root a=\"1\" b=\"2\" c=\"3\"><t>한글 &amp; &lt;x&gt;</t><m>lead<c k=\"v w\">1</c></m><e/></Root>";
    CXmlDocument first;
    ASSERT_TRUE(first.Parse(source));
    CXmlDocument second;
    ASSERT_TRUE(second.ParseBytes(first.ToBytes()));
    EXPECT_EQ(DumpDocument(first), "Root c=3 b=2 a=1{}(t{한글 & <x>};m{lead}(c k=v w{1};);e{};)|");
    EXPECT_EQ(DumpDocument(second), "Root a=1 b=2 c=3{}(t{한글 & <x>};m{lead}(c k=v w{1};);e{};)|");
    // Two saves restore the original attribute order, so the bytes become a fixed point.
    CXmlDocument third;
    ASSERT_TRUE(third.ParseBytes(second.ToBytes()));
    EXPECT_EQ(third.ToBytes(), first.ToBytes());
}

struct ErrorCase {
    std::u16string text;
    XmlError error;
};

class XmlDocumentErrors : public testing::TestWithParam<ErrorCase> {};

TEST_P(XmlDocumentErrors, RejectsMalformedInputWithItsError) {
    CXmlDocument document;
    EXPECT_FALSE(document.Parse(GetParam().text));
    EXPECT_EQ(document.LastError(), GetParam().error);
    EXPECT_FALSE(document.IsComplete());
    EXPECT_NE(document.LastErrorText(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    XmlDocument, XmlDocumentErrors,
    testing::Values(ErrorCase{u"text<a/>", XmlError::NotATag}, ErrorCase{u"<a/>text<b/>", XmlError::NotATag},
                    ErrorCase{u"<a></b>", XmlError::TagMismatch}, ErrorCase{u"<a><b></a></b>", XmlError::TagMismatch},
                    ErrorCase{u"<a>x</>", XmlError::TagMismatch}, ErrorCase{u"<a b></a>", XmlError::BadAttribute},
                    ErrorCase{u"<a b=></a>", XmlError::BadAttribute}, ErrorCase{u"<a b=/></a>", XmlError::BadAttribute},
                    ErrorCase{u"<a b \"c\"></a>", XmlError::BadAttribute},
                    ErrorCase{u"<a b=\"open></a>", XmlError::BadAttribute},
                    ErrorCase{u"<a \"b\"=\"c\"></a>", XmlError::BadAttribute},
                    ErrorCase{u"<a b==\"c\"></a>", XmlError::BadAttribute}, ErrorCase{u"<></>", XmlError::BadName},
                    ErrorCase{u"< ></>", XmlError::BadName}, ErrorCase{u"<\"q\"></q>", XmlError::BadName},
                    ErrorCase{u"</a>", XmlError::BadName}, ErrorCase{u"< ?x/>", XmlError::BadName},
                    ErrorCase{std::u16string(u"<\0!-/>", 6), XmlError::BadName},
                    ErrorCase{u"<" + std::u16string(CXmlDocument::kMaxNameLength + 1, u'n') + u"/>", XmlError::BadName},
                    ErrorCase{u"<a " + std::u16string(CXmlDocument::kMaxNameLength + 1, u'n') + u"=\"1\"/>",
                              XmlError::BadName}));

TEST(XmlDocument, TextMessagesAreTheFixedKoreanTexts) {
    EXPECT_EQ(std::u16string(CXmlDocument::ErrorText(XmlError::TagMismatch)),
              u"시작태그와 종료태그가 일치하지 않습니다.");
    EXPECT_EQ(std::u16string(CXmlDocument::ErrorText(XmlError::BadAttribute)),
              u"속성과 속성값 정의가 올바르지 않거나 값이 지정되어 있지 않습니다.");
}

TEST(XmlDocument, LeftoverAfterLastElementMakesParseIncomplete) {
    CXmlDocument document;
    EXPECT_TRUE(document.Parse(u"<A/>\r\n\t "));
    EXPECT_FALSE(document.Parse(u"<A/><B k=\"v"));
    EXPECT_FALSE(document.Parse(u"<A/>trailing"));
    EXPECT_EQ(document.LastError(), XmlError::None);
    EXPECT_EQ(DumpDocument(document), "A{}|");
}

TEST(XmlDocument, TruncatedInputKeepsOpenElementsWithoutErrorText) {
    CXmlDocument document;
    EXPECT_FALSE(document.Parse(u"<A><B>1</B><C>partial"));
    EXPECT_EQ(document.LastError(), XmlError::None);
    EXPECT_FALSE(document.IsComplete());
    EXPECT_EQ(DumpDocument(document), "A{}(B{1};C{};)|");
}

TEST(XmlDocument, EveryPrefixOfAFileParsesWithinBounds) {
    const std::u16string full = u"<?xml?><A k=\"v\"><B>한 &amp; x</B><C/><D a=b>t</D></A>";
    for (size_t length = 0; length <= full.size(); ++length) {
        // An exact-size heap copy, so ASan reports any read past the end of the text.
        std::unique_ptr<char16_t[]> copy(new char16_t[length]);
        std::copy(full.begin(), full.begin() + length, copy.get());
        CXmlDocument document;
        bool isComplete = document.Parse(std::u16string_view(copy.get(), length));
        EXPECT_EQ(isComplete, length == 0 || length == 7 || length == full.size()) << length;
    }
}

TEST(XmlDocument, NestingDepthIsCapped) {
    auto nested = [](size_t depth) {
        std::u16string text;
        for (size_t i = 0; i < depth; ++i) {
            text += u"<a>";
        }
        for (size_t i = 0; i < depth; ++i) {
            text += u"</a>";
        }
        return text;
    };
    CXmlDocument document;
    EXPECT_TRUE(document.Parse(nested(CXmlDocument::kMaxDepth)));
    EXPECT_FALSE(document.Parse(nested(CXmlDocument::kMaxDepth + 1)));
    EXPECT_EQ(document.LastError(), XmlError::TooDeep);
    EXPECT_FALSE(document.Parse(nested(100000)));
    EXPECT_EQ(document.LastError(), XmlError::TooDeep);
}

TEST(XmlDocument, FreesLongSiblingAndAttributeListsWithoutDeepRecursion) {
    std::u16string text = u"<r";
    for (int i = 0; i < 50000; ++i) {
        text += u" a=\"1\"";
    }
    text += u">";
    for (int i = 0; i < 50000; ++i) {
        text += u"<c/>";
    }
    text += u"</r>";
    CXmlDocument document;
    EXPECT_TRUE(document.Parse(text));
    document.Clear();
    EXPECT_FALSE(document.Root());
}

class XmlDocumentFiles : public testing::TestWithParam<const char*> {};

TEST_P(XmlDocumentFiles, Utf8WithAndWithoutSignatureAndUtf16GiveTheSameTree) {
    std::ifstream in(std::string(KELVO_TEST_DATA "/xml/") + GetParam(), std::ios::binary);
    ASSERT_TRUE(in.good());
    kelvo_test::MemoryFileStore store;
    store.files[u"sample.xml"].assign(std::istreambuf_iterator<char>(in), {});
    CXmlDocument document;
    ASSERT_TRUE(document.Load(store, u"sample.xml"));
    ASSERT_TRUE(document.IsComplete());
    EXPECT_EQ(DumpDocument(document),
              "Root kind=env version=2{}(Name{한글 이름 & <태그>};Path{c:\\Portable Programs\\메모장};Empty{};"
              "Spaced{ x };Group id=7{}(Item{1};Item{2};);)|");
    std::vector<uint8_t> bytes = document.ToBytes();
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(bytes[1], 0xFE);
}

INSTANTIATE_TEST_SUITE_P(XmlDocument, XmlDocumentFiles,
                         testing::Values("sample-utf8.xml", "sample-utf8-bom.xml", "sample-utf16.xml"));

TEST(XmlDocument, DecodeBytesDropsOddTrailingByteOfUtf16) {
    const uint8_t bytes[] = {0xFF, 0xFE, 0x5C, 0xD5, 'A'};
    EXPECT_EQ(CXmlDocument::DecodeBytes(bytes, sizeof(bytes)), u"\uD55C");
    const uint8_t lone[] = {0xFF};
    EXPECT_EQ(CXmlDocument::DecodeBytes(lone, 1), u"\uFFFD");
    EXPECT_EQ(CXmlDocument::DecodeBytes(nullptr, 0), u"");
}

TEST(XmlDocument, FindChildMatchesFirstInRingOrderIgnoringCase) {
    CXmlDocument document;
    ASSERT_TRUE(document.Parse(u"<r><Caption>1</Caption><CAPTION>2</CAPTION></r>"));
    XmlPosition found = document.FindChild(document.Root(), u"caption");
    ASSERT_TRUE(found);
    EXPECT_EQ(found.element->Text(), u"1");
    EXPECT_EQ(found.parent, document.Root().element);
    EXPECT_FALSE(document.FindChild(document.Root(), u"PATH"));
    EXPECT_FALSE(document.FindChild({}, u"Caption"));
}

TEST(XmlDocument, AppendAndRemoveKeepTheRingConsistent) {
    CXmlDocument document;
    XmlPosition root = document.AppendTopLevel(u"r");
    EXPECT_FALSE(document.AppendChild({}, u"orphan"));
    XmlPosition a = document.AppendChild(root, u"a");
    XmlPosition b = document.AppendChild(root, u"b");
    XmlPosition c = document.AppendChild(root, u"c");
    document.AppendChild(b, u"inner");
    EXPECT_EQ(DumpDocument(document), "r{}(a{};b{}(inner{};);c{};)|");

    EXPECT_TRUE(document.Remove(b));
    EXPECT_EQ(DumpDocument(document), "r{}(a{};c{};)|");
    EXPECT_EQ(a.element->Next(), c.element);
    EXPECT_EQ(c.element->Next(), a.element);
    EXPECT_TRUE(document.Remove(a));  // removing the first child moves the entry on
    EXPECT_EQ(root.element->FirstChild(), c.element);
    EXPECT_EQ(c.element->Previous(), c.element);
    EXPECT_TRUE(document.Remove(c));  // the only child leaves no first child
    EXPECT_FALSE(root.element->HasChildren());
    EXPECT_EQ(WrittenUtf8(document), "<r></r>\r\n");
}

TEST(XmlDocument, RemoveRefusesPositionWithWrongParent) {
    CXmlDocument document;
    ASSERT_TRUE(document.Parse(u"<r><a><x/></a><b/></r>"));
    XmlPosition a = document.FindChild(document.Root(), u"a");
    XmlPosition b = document.FindChild(document.Root(), u"b");
    EXPECT_FALSE(document.Remove({b.element, a.element}));
    EXPECT_FALSE(document.Remove({}));
    EXPECT_EQ(DumpDocument(document), "r{}(a{}(x{};);b{};)|");
}

TEST(XmlDocument, LoadAndSaveGoThroughTheStore) {
    kelvo_test::MemoryFileStore store;
    CXmlDocument document;
    ASSERT_TRUE(document.Parse(u"<r>1</r>"));
    EXPECT_FALSE(document.Load(store, u"missing.xml"));
    EXPECT_FALSE(document.Root());  // an unreadable file gives an empty document

    ASSERT_TRUE(document.Parse(u"<r>1</r>"));
    ASSERT_TRUE(document.Save(store, u"a.xml"));
    store.isWriteFailing = true;
    document.Root().element->SetText(u"2");
    EXPECT_FALSE(document.Save(store, u"a.xml"));
    CXmlDocument reread;
    ASSERT_TRUE(reread.Load(store, u"a.xml"));
    EXPECT_EQ(reread.Root().element->Text(), u"1");
}

}  // namespace
