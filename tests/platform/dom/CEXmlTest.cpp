// The DOM wrapper against real MSXML: the files the agent reads, the value rules its readers rely on, the
// quiet and loud failures, and the refusal of documents that carry a DTD.
#include <gtest/gtest.h>

#include <objbase.h>

#include <ostream>
#include <string>
#include <thread>

#include "DomTestSupport.h"
#include "common/ipc/SuiteNames.h"
#include "platform/WideText.h"
#include "platform/dom/CEXml.h"
#include "platform/dom/XmlItem.h"

namespace {

using domtest::BoxRecorder;
using domtest::DataPath;
using domtest::ItemAt;
using domtest::ScratchDir;
using domtest::ValueAt;

// Loads a test data file into `root` and expects no message box on the way.
void LoadTree(const wchar_t* name, CXmlItem& root) {
    BoxRecorder boxes;
    CCEXML xml(boxes);
    ASSERT_TRUE(xml.Load(DataPath(name))) << name << ": " << testing::PrintToString(xml.LastError());
    ASSERT_TRUE(xml.ToItemTree(root));
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST(CCEXML, ReadsAUtf8ProfileHeadAndFileList) {
    CXmlItem root;
    LoadTree(L"Profile-utf8.xml", root);

    EXPECT_EQ(root.GetName(), L"");  // the root stands for the document element without its name
    EXPECT_EQ(ValueAt(root, {L"HEAD", L"VERSION"}), L"1.2.0");  // the first of two VERSION elements
    EXPECT_EQ(ValueAt(root, {L"head", L"Alias"}), L"메모장");
    EXPECT_EQ(ValueAt(root, {L"HEAD", L"EXEFILE"}), L"notepad.exe");
    EXPECT_EQ(ValueAt(root, {L"HEAD", L"SVCTYPE"}), L"free");

    const CXmlItem* list = ItemAt(root, {L"GAMEFILELIST"});
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->ChildCount(), 3);
    const CXmlItem* first = list->FindChild(L"FILE", 0);
    // Attributes are not carried: the FILE element's children are its only content.
    EXPECT_EQ(first->ChildCount(), 9);
    EXPECT_EQ(ValueAt(*first, {L"FILESIZE"}), L"69120");
    EXPECT_EQ(ValueAt(*first, {L"DIRECTORY"}), L"");
    const CXmlItem* second = list->FindChild(L"FILE", 1);
    EXPECT_EQ(ValueAt(*second, {L"FILENAME"}), L"도움말.txt");
    EXPECT_EQ(ValueAt(*second, {L"DIRECTORY"}), L"/doc/한글");
    EXPECT_EQ(ValueAt(*second, {L"FILESIZE"}), L"12bytes");
    const CXmlItem* third = list->FindChild(L"FILE", 2);  // named ENTRY, still an entry by position
    EXPECT_EQ(third->GetName(), L"ENTRY");
    EXPECT_EQ(ValueAt(*third, {L"FILENAME"}), L"Q&A <read me>.txt");
    EXPECT_EQ(list->FindChild(L"FILE", 3), nullptr);
}

TEST(CCEXML, ReadsAUtf16ProfileWithAnyRootNameAndLowerCaseElements) {
    CXmlItem root;
    LoadTree(L"Profile-utf16.xml", root);

    EXPECT_EQ(ValueAt(root, {L"HEAD", L"VERSION"}), L"3.0.1");
    EXPECT_EQ(ValueAt(root, {L"HEAD", L"ALIAS"}), L"켈보");
    EXPECT_EQ(ValueAt(root, {L"GAMEFILELIST", L"FILE", L"FILESIZE"}), L"204800");
}

TEST(CCEXML, ReadsTheEnvironmentFileAsTheLauncherWritesIt) {
    // UTF-16LE with FF FE, CR LF line ends and tab indentation, no XML declaration.
    CXmlItem root;
    LoadTree(platform::WideCStr(common::kEnvironmentFile), root);

    const CXmlItem* menu = ItemAt(root, {L"MAINMENU"});
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->ChildCount(), 2);
    EXPECT_EQ(menu->GetValue(), L"");  // indentation is not text
    EXPECT_EQ(ValueAt(*menu, {L"BUTTON01", L"PARAM"}), L"http://127.0.0.1:18080/index.asp?a=1&b=2");
    EXPECT_EQ(ValueAt(*menu, {L"BUTTON01", L"ICON"}), L"");
    EXPECT_EQ(ValueAt(*menu, {L"BUTTON02", L"CAPTION"}), L"열기");
    EXPECT_EQ(ValueAt(*menu, {L"BUTTON02", L"PATH"}), L"c:\\");

    const CXmlItem* pages = ItemAt(root, {L"PAGEENV"});
    ASSERT_NE(pages, nullptr);
    EXPECT_EQ(ValueAt(*pages, {L"PageNum"}), L"2");
    const CXmlItem* firstPage = pages->FindChild(L"Page");
    ASSERT_NE(firstPage, nullptr);
    ASSERT_EQ(firstPage->ChildCount(), 3);
    EXPECT_EQ(ValueAt(*firstPage->FindChild(L"", 1), {L"PATH"}), L"c:\\Portable Programs\\메모장\\notepad.exe");
    EXPECT_EQ(ValueAt(*firstPage->FindChild(L"", 2), {L"CAPTION"}), L"R&D <문서>");
    EXPECT_EQ(pages->FindChild(L"", 3)->ChildCount(), 1);  // the second Page holds only its count
}

struct ValueCase {
    const wchar_t* element;
    const wchar_t* value;
    int childCount;
};

void PrintTo(const ValueCase& valueCase, std::ostream* os) {
    *os << testing::PrintToString(std::wstring(valueCase.element));
}

class CCEXMLValues : public testing::TestWithParam<ValueCase> {};

// The value rules the profile and environment readers rely on: the last text, CDATA or comment node directly
// inside the element wins, and only elements become items.
TEST_P(CCEXMLValues, ElementValueFollowsItsLastTextNode) {
    CXmlItem root;
    LoadTree(L"values.xml", root);
    const CXmlItem* item = root.FindChild(GetParam().element);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->GetValue(), GetParam().value);
    EXPECT_EQ(item->ChildCount(), GetParam().childCount);
}

INSTANTIATE_TEST_SUITE_P(
    Values, CCEXMLValues,
    testing::Values(ValueCase{L"TextThenComment", L"hidden note", 0}, ValueCase{L"AttributesOnly", L"", 0},
                    ValueCase{L"CData", L"<raw> & text", 0}, ValueCase{L"Mixed", L"last", 1},
                    ValueCase{L"Instruction", L"text", 0},  // a processing instruction is neither text nor item
                    ValueCase{L"Entities", L"&<>\"'한", 0}, ValueCase{L"Empty", L"", 0}),
    [](const testing::TestParamInfo<ValueCase>& info) {
        std::wstring element = info.param.element;
        return std::string(element.begin(), element.end());  // element names here are ASCII
    });

TEST(CCEXML, EmptyDocumentElementGivesAnEmptyRoot) {
    CXmlItem root;
    LoadTree(L"empty-root.xml", root);
    EXPECT_EQ(root.ChildCount(), 0);
    EXPECT_EQ(root.GetValue(), L"");
}

TEST(CCEXML, UnreadableFilesFailQuietlyAndKeepTheParseError) {
    for (const wchar_t* name : {L"not-xml.txt", L"truncated.xml", L"no-such-file.xml"}) {
        BoxRecorder boxes;
        CCEXML xml(boxes);
        std::wstring path = DataPath(name);
        EXPECT_FALSE(xml.Load(path)) << testing::PrintToString(std::wstring(name));
        EXPECT_TRUE(boxes.boxes().empty());
        // Nothing is left to walk or to save over a good file.
        CXmlItem root;
        EXPECT_FALSE(xml.ToItemTree(root));
        EXPECT_EQ(root.ChildCount(), 0);
        EXPECT_TRUE(boxes.boxes().empty());
        EXPECT_EQ(xml.LastError().rfind(L"Error 0x", 0), 0u) << testing::PrintToString(xml.LastError());
        EXPECT_NE(xml.LastError().find(L"\r\nReason: "), std::wstring::npos);
        EXPECT_NE(xml.LastError().find(path), std::wstring::npos);
    }
}

TEST(CCEXML, LaterLoadReplacesTheEarlierDocument) {
    BoxRecorder boxes;
    CCEXML xml(boxes);
    ASSERT_TRUE(xml.Load(DataPath(L"Profile-utf8.xml")));
    ASSERT_TRUE(xml.Load(DataPath(L"Profile-utf16.xml")));
    CXmlItem root;
    ASSERT_TRUE(xml.ToItemTree(root));
    EXPECT_EQ(ValueAt(root, {L"HEAD", L"VERSION"}), L"3.0.1");
    EXPECT_TRUE(xml.LastError().empty());

    // A failed load must not leave the earlier document to be walked or saved as if it were the new one.
    ASSERT_FALSE(xml.Load(DataPath(L"not-xml.txt")));
    CXmlItem after;
    EXPECT_FALSE(xml.ToItemTree(after));
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST(CCEXML, SaveWritesTheDocumentAsLoaded) {
    ScratchDir dir;
    BoxRecorder boxes;
    {
        CCEXML xml(boxes);
        ASSERT_TRUE(xml.Load(DataPath(L"Profile-utf8.xml")));
        CXmlItem root;
        ASSERT_TRUE(xml.ToItemTree(root));
        root.FindChild(L"HEAD")->FindChild(L"VERSION")->SetValue(L"changed in the tree only");
        ASSERT_TRUE(xml.Save(dir.File(L"saved.xml")));
    }
    CCEXML reread(boxes);
    ASSERT_TRUE(reread.Load(dir.File(L"saved.xml")));
    CXmlItem root;
    ASSERT_TRUE(reread.ToItemTree(root));
    EXPECT_EQ(ValueAt(root, {L"HEAD", L"VERSION"}), L"1.2.0");
    EXPECT_EQ(ValueAt(root, {L"HEAD", L"ALIAS"}), L"메모장");
    EXPECT_EQ(ValueAt(root, {L"GAMEFILELIST", L"ENTRY", L"FILENAME"}), L"Q&A <read me>.txt");
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST(CCEXML, SaveFailureShowsOneErrorBox) {
    ScratchDir dir;
    struct Attempt {
        const char* what;
        bool loadFirst;
        std::wstring target;
    };
    for (const Attempt& attempt : {Attempt{"into a missing folder", true, dir.File(L"missing\\saved.xml")},
                                   Attempt{"before any load", false, dir.File(L"saved.xml")}}) {
        BoxRecorder boxes;
        CCEXML xml(boxes);
        if (attempt.loadFirst) {
            ASSERT_TRUE(xml.Load(DataPath(L"Profile-utf8.xml")));
        }
        EXPECT_FALSE(xml.Save(attempt.target)) << attempt.what;
        ASSERT_EQ(boxes.boxes().size(), 1u) << attempt.what;
        EXPECT_EQ(boxes.boxes()[0].text, L"Cannot save XML file");
        EXPECT_EQ(boxes.boxes()[0].caption, L"Error Saving XML");
        EXPECT_EQ(boxes.boxes()[0].style, static_cast<UINT>(MB_ICONERROR));
        EXPECT_FALSE(xml.LastError().empty());
    }
}

// Catches: the agent's boxes shown without their owner (they then fall behind the frame), and a wrapper made to
// show nothing that still reaches the user.
TEST(CCEXML, BoxesGoToTheInjectedOwnerOrNowhere) {
    ScratchDir dir;
    BoxRecorder boxes;
    const HWND owner = ::GetDesktopWindow();
    CCEXML owned(boxes, owner);
    EXPECT_FALSE(owned.Save(dir.File(L"saved.xml")));
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].owner, owner);

    CCEXML quiet;
    EXPECT_FALSE(quiet.Save(dir.File(L"saved.xml")));
    EXPECT_FALSE(quiet.LastError().empty()) << "a quiet wrapper still says why";
    EXPECT_EQ(boxes.boxes().size(), 1u);
}

TEST(CCEXML, RefusesADocumentWithAnInlineDtd) {
    // Entities declared in a DTD are how a document expands without bound or reaches outside; MSXML 3 and 6
    // refuse it by ProhibitDTD, and under Wine the wrapper's own check does.
    BoxRecorder boxes;
    CCEXML xml(boxes);
    EXPECT_FALSE(xml.Load(DataPath(L"internal-dtd.xml")));
    EXPECT_TRUE(boxes.boxes().empty());
    EXPECT_NE(xml.LastError().find(L"DTD"), std::wstring::npos) << testing::PrintToString(xml.LastError());
    CXmlItem root;
    EXPECT_FALSE(xml.ToItemTree(root));
}

TEST(CCEXML, WorksOnAThreadThatIsAlreadySingleThreaded) {
    // The agent's browser thread is in a single-threaded apartment before any wrapper is made there.
    std::thread worker([] {
        ASSERT_EQ(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
        {
            BoxRecorder boxes;
            CCEXML xml(boxes);
            EXPECT_TRUE(xml.Load(DataPath(L"Profile-utf8.xml")));
            CXmlItem root;
            EXPECT_TRUE(xml.ToItemTree(root));
            EXPECT_EQ(ValueAt(root, {L"HEAD", L"CHANNEL"}), L"utility");
        }
        ::CoUninitialize();
    });
    worker.join();
}

}  // namespace
