// The settings program's package rows: what is listed, what a save writes, and removal.
#include "common/settings/PackageRows.h"
#include "common/store/Profile.h"

#include <gtest/gtest.h>

#include <string>

#include "common/text/Utf.h"
#include "common/xml/XmlDocument.h"
#include "tests/common/io/MemoryFileStore.h"

namespace {

const std::u16string kPath = u"F:\\Kelvo\\TolvEnv.xml";

std::string Package(int type, int id, const std::string& caption, const std::string& path,
                    const std::string& extra = "<STARTOPEN>0</STARTOPEN><STARTCLOSE>1</STARTCLOSE>") {
    return "<Package><PKGTYPE>" + std::to_string(type) + "</PKGTYPE><PKGID>" + std::to_string(id) +
           "</PKGID><TYPE>0</TYPE><CAPTION>" + caption + "</CAPTION><PATH>" + path +
           "</PATH><PARAM></PARAM><ICON></ICON>" + extra +
           "<SHORTCUT>k</SHORTCUT><ALT>1</ALT><SHIFT>0</SHIFT><CTRL>1</CTRL><WIN>0</WIN></Package>";
}

std::string Env(const std::string& page1, const std::string& page2) {
    return "<TolvEnv><MAINMENU></MAINMENU><PAGEENV><PageNum>2</PageNum><CurrentPage>0</CurrentPage><Page>"
           "<PackageCount>2</PackageCount>" +
           page1 + "</Page><Page><PackageCount>1</PackageCount>" + page2 + "</Page></PAGEENV></TolvEnv>";
}

class PackageRowsTest : public testing::Test {
protected:
    void Put(const std::string& xml) { m_store.files[kPath] = std::vector<uint8_t>(xml.begin(), xml.end()); }
    std::string Saved() {
        common::CXmlDocument document;
        document.ParseBytes(m_store.files[kPath]);
        return common::Utf16ToUtf8(document.ToText());
    }

    kelvo_test::MemoryFileStore m_store;
    common::PackageRows m_rows{m_store, kPath, u'F'};
};

// Catches: packages of other kinds listed, rows put on the wrong page, paths left on the old drive, and a
// hot key or start flag read from the wrong child.
TEST_F(PackageRowsTest, ListsStorePackagesWithTheirPagesAndTheSuitesDrive) {
    Put(Env(Package(1, 7, "메모장", "E:\\Portable Programs\\memo\\memo.exe") + Package(4, 0, "mine", "C:\\x.exe"),
            Package(1, 9, "뷰어", "E:\\Portable Programs\\Viewer\\viewer.exe")));
    ASSERT_TRUE(m_rows.Load());
    ASSERT_EQ(m_rows.Rows().size(), 2u);
    const common::PackageRow& memo = m_rows.Rows()[0];
    EXPECT_EQ(memo.pkgId, 7);
    EXPECT_EQ(memo.page, 0u);
    EXPECT_EQ(memo.path, u"F:\\Portable Programs\\memo\\memo.exe");
    EXPECT_EQ(memo.icon, u"") << "an empty ICON stays empty";
    EXPECT_EQ(memo.key, 'k');
    EXPECT_TRUE(memo.alt && memo.ctrl && !memo.shift && !memo.win);
    EXPECT_TRUE(memo.startClose && !memo.startOpen);
    EXPECT_EQ(m_rows.Rows()[1].page, 1u);
    m_store.files.erase(kPath);
    EXPECT_FALSE(m_rows.Load());
    EXPECT_TRUE(m_rows.Rows().empty());
}

// Catches: unchanged rows written, PATH written, a missing STARTOPEN created, and a removal that leaves the
// element or takes another.
TEST_F(PackageRowsTest, SavesChangedRowsFieldByFieldAndRemovesOne) {
    Put(Env(Package(1, 7, "메모장", "E:\\Portable Programs\\memo\\memo.exe", "<STARTCLOSE>0</STARTCLOSE>") +
                Package(1, 8, "둘째", "E:\\Portable Programs\\two\\two.exe"),
            Package(1, 9, "뷰어", "E:\\Portable Programs\\Viewer\\viewer.exe")));
    ASSERT_TRUE(m_rows.Load());
    common::PackageRow& memo = m_rows.Rows()[0];
    memo.caption = u"새 메모";
    memo.key = 'Q';
    memo.startOpen = true;
    memo.isChanged = true;
    m_rows.Rows()[1].caption = u"unsaved";  // not marked changed
    ASSERT_TRUE(m_rows.Save());
    std::string text = Saved();
    EXPECT_NE(text.find("<CAPTION>새 메모</CAPTION>"), std::string::npos);
    EXPECT_NE(text.find("<SHORTCUT>Q</SHORTCUT>"), std::string::npos);
    EXPECT_NE(text.find("<PATH>E:\\Portable Programs\\memo\\memo.exe</PATH>"), std::string::npos) << "PATH kept";
    EXPECT_EQ(text.find("unsaved"), std::string::npos);
    EXPECT_EQ(text.find("<STARTOPEN>1</STARTOPEN>"), std::string::npos) << "a missing STARTOPEN stays missing";

    ASSERT_TRUE(m_rows.Remove(1));
    text = Saved();
    EXPECT_EQ(text.find("둘째"), std::string::npos);
    EXPECT_NE(text.find("뷰어"), std::string::npos);
    EXPECT_NE(text.find("<PackageCount>2</PackageCount>"), std::string::npos) << "left for the launcher";
    EXPECT_FALSE(m_rows.Remove(5));
}

// Catches: removal or update looking for a renamed package under its new caption, and a path outside
// "Portable Programs" (or climbing out of it) taken as an install folder.
TEST(PackageRows, TheInstallFolderComesFromThePath) {
    EXPECT_EQ(common::InstallFolderOf(u"F:\\Portable Programs\\memo\\memo.exe", u'F'), u"memo");
    EXPECT_EQ(common::InstallFolderOf(u"f:\\portable programs\\Viewer\\bin\\v.exe", u'F'), u"Viewer");
    EXPECT_FALSE(common::InstallFolderOf(u"F:\\Other\\memo\\memo.exe", u'F'));
    EXPECT_FALSE(common::InstallFolderOf(u"F:\\Portable Programs\\..\\x.exe", u'F'));
    EXPECT_FALSE(common::InstallFolderOf(u"F:\\Portable Programs\\", u'F'));
}

}  // namespace
