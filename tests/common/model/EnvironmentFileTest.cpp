// TolvEnv.xml model: positional reading, limits, the launcher's edits, and never losing the file on save.
#include "common/model/EnvironmentFile.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "common/config/StoreHosts.h"
#include "common/ipc/SuiteNames.h"
#include "common/text/Utf.h"
#include "tests/common/DefaultFiles.h"
#include "tests/common/io/MemoryFileStore.h"

namespace {

using common::CEnvironmentFile;
using common::CXmlDocument;
using common::PackageRecord;

const std::u16string kPath = u"E:\\Kelvo\\TolvEnv.xml";
const std::u16string kBackup = kPath + u".bak";

std::vector<uint8_t> DataFile(const std::string& name) {
    std::ifstream in(std::string(KELVO_TEST_DATA "/env/") + name, std::ios::binary);
    EXPECT_TRUE(in.good()) << name;
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::vector<uint8_t> Utf8(const std::string& text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

// A TolvEnv document from its MAINMENU children and PAGEENV children, in the file's own layout.
std::string EnvXml(const std::string& menu, const std::string& pageEnv) {
    return "<TolvEnv><MAINMENU>" + menu + "</MAINMENU><PAGEENV>" + pageEnv + "</PAGEENV></TolvEnv>";
}

std::string Package(const std::string& caption) {
    return "<Package><PKGTYPE>1</PKGTYPE><CAPTION>" + caption + "</CAPTION></Package>";
}

class EnvironmentFileTest : public testing::Test {
protected:
    void Put(std::vector<uint8_t> bytes) { m_store.files[kPath] = std::move(bytes); }

    // The file as another reader sees it, for checking what was saved.
    std::string Saved(const std::u16string& element, const std::u16string& parent = u"PAGEENV") {
        CXmlDocument document;
        EXPECT_TRUE(document.ParseBytes(m_store.files[kPath]));
        common::XmlPosition found = document.FindChild(document.FindChild(document.Root(), parent), element);
        return found ? common::Utf16ToUtf8(found.element->Text()) : "<missing>";
    }

    static std::string Caption(const PackageRecord& record) { return common::Utf16ToUtf8(record.caption.Get()); }

    kelvo_test::MemoryFileStore m_store;
    CEnvironmentFile m_env{m_store, kPath};
};

TEST_F(EnvironmentFileTest, DefaultFileLoadsFourMenuButtonsAndStaysUnchanged) {
    std::vector<uint8_t> bytes = kelvo_test::DefaultEnvironment();
    Put(bytes);
    ASSERT_TRUE(m_env.Load());
    EXPECT_TRUE(m_env.IsComplete());
    EXPECT_TRUE(m_env.Pages().empty());
    EXPECT_EQ(m_store.writeCount, 0);
    EXPECT_EQ(m_store.files[kPath], bytes);

    const struct {
        int32_t type;
        std::u16string caption, path, param;
    } expected[] = {
        {12, u"Storvia", u"explorer.exe", u"http://" + std::u16string(common::kStoreHttpHost) + u"/index.asp"},
        {13, u"열기", u"c:\\", u""},
        {11, u"검색", u"", u""},
        {10, u"설정", common::kSettingsProgram, u""},
    };
    for (size_t slot = 0; slot < 4; ++slot) {
        ASSERT_TRUE(m_env.Menu()[slot].has_value()) << slot;
        const PackageRecord& record = *m_env.Menu()[slot];
        EXPECT_EQ(record.pkgType, 0);
        EXPECT_EQ(record.pkgId, static_cast<int32_t>(slot));
        EXPECT_EQ(record.type, expected[slot].type);
        EXPECT_EQ(record.caption.Get(), expected[slot].caption);
        EXPECT_EQ(record.path.Get(), expected[slot].path);
        EXPECT_EQ(record.param.Get(), expected[slot].param);
        EXPECT_TRUE(record.icon.IsEmpty());
    }
    // The template is in the writer's layout: a page added and removed again gives the same bytes back.
    ASSERT_EQ(m_env.AddPage(), 0u);
    ASSERT_TRUE(m_env.RemovePage(0));
    EXPECT_EQ(m_store.files[kPath], bytes);
}

TEST_F(EnvironmentFileTest, DefaultFileHasTheWrittenLayoutAndBuiltInStoreHost) {
    std::vector<uint8_t> bytes = kelvo_test::DefaultEnvironment();
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(bytes[1], 0xFE);
    std::string text = common::Utf16ToUtf8(CXmlDocument::DecodeBytes(bytes.data(), bytes.size()));
    EXPECT_EQ(
        text.rfind(
            "<TolvEnv>\r\n\t<MAINMENU>\r\n\t\t<BUTTON01>\r\n\t\t\t<PKGTYPE>0</PKGTYPE>\r\n\t\t\t<PKGID>0</PKGID>\r\n",
            0),
        0u);
    EXPECT_NE(
        text.find("\t\t\t<PARAM>http://" + common::Utf16ToUtf8(common::kStoreHttpHost) + "/index.asp</PARAM>\r\n"),
        std::string::npos);
    EXPECT_NE(text.find("\t\t\t<ICON></ICON>\r\n"), std::string::npos);
    EXPECT_NE(
        text.find("\t<PAGEENV>\r\n\t\t<PageNum>0</PageNum>\r\n\t\t<CurrentPage>0</CurrentPage>\r\n\t</PAGEENV>\r\n"
                  "</TolvEnv>\r\n"),
        std::string::npos);
}

TEST_F(EnvironmentFileTest, PageNumIsCorrectedToPagesReadAndSavedAtLoad) {
    Put(DataFile("pagenum5-3pages.xml"));
    ASSERT_TRUE(m_env.Load());
    ASSERT_EQ(m_env.Pages().size(), 3u);
    EXPECT_EQ(m_store.writeCount, 1);
    EXPECT_EQ(Saved(u"PageNum"), "3");
    EXPECT_EQ(Saved(u"CurrentPage"), "2");  // read but never written back changed

    const auto& first = m_env.Pages()[0].packages;
    ASSERT_EQ(first.size(), 2u);
    EXPECT_EQ(Caption(first[0].record), "메모장");
    EXPECT_EQ(first[0].record.path.Get(), u"c:\\Portable Programs\\메모장\\notepad.exe");  // drive kept as stored
    EXPECT_EQ(first[0].record.pkgId, 17);
    EXPECT_EQ(first[0].record.shortcut, 'N');
    EXPECT_EQ(first[0].record.ctrl, 1);
    EXPECT_EQ(Caption(first[1].record), "R&D <문서>");
    EXPECT_EQ(m_env.Pages()[1].packageCount, 4);
    EXPECT_EQ(m_env.Pages()[1].packages.size(), 1u);
    EXPECT_TRUE(m_env.Pages()[2].packages.empty());
}

TEST_F(EnvironmentFileTest, Utf16FileGivesSameModelAndIsNotRewritten) {
    Put(DataFile("three-pages-utf16.xml"));
    ASSERT_TRUE(m_env.Load());
    EXPECT_EQ(m_store.writeCount, 0);
    ASSERT_EQ(m_env.Pages().size(), 3u);
    EXPECT_EQ(Caption(m_env.Pages()[0].packages[1].record), "R&D <문서>");
    EXPECT_EQ(Caption(m_env.Pages()[1].packages[0].record), "그림판");
}

TEST_F(EnvironmentFileTest, TruncatedFileIsNotSavedAtLoadAndIsKeptAsBackupBeforeFirstSave) {
    std::vector<uint8_t> original = DataFile("truncated.xml");
    Put(original);
    m_store.files[kBackup] = Utf8("an older backup");
    ASSERT_TRUE(m_env.Load());
    EXPECT_FALSE(m_env.IsComplete());
    EXPECT_EQ(m_store.writeCount, 0);  // PageNum (3) differs from the pages read, yet nothing is written
    EXPECT_EQ(m_store.files[kPath], original);
    ASSERT_EQ(m_env.Pages().size(), 2u);  // the second page was cut inside its package

    PackageRecord record;
    record.caption.Set(u"새 항목");
    ASSERT_TRUE(m_env.AddPackage(0, record).has_value());
    EXPECT_EQ(m_store.files[kBackup], original);
    EXPECT_NE(m_store.files[kPath], original);

    m_store.files[kBackup] = Utf8("sentinel");
    ASSERT_TRUE(m_env.RemovePackage(0, 0));
    EXPECT_EQ(m_store.files[kBackup], Utf8("sentinel"));  // only the first save keeps a copy
}

TEST_F(EnvironmentFileTest, TruncatedFileIsNotOverwrittenWhenItsBackupCannotBeWritten) {
    std::vector<uint8_t> original = DataFile("truncated.xml");
    Put(original);
    ASSERT_TRUE(m_env.Load());
    m_store.failingPaths.insert(kBackup);
    EXPECT_TRUE(m_env.AddPage().has_value());
    EXPECT_TRUE(m_env.HasUnsavedChanges());
    EXPECT_EQ(m_store.files[kPath], original);
    EXPECT_EQ(m_env.Pages().size(), 3u) << "the page is held in memory";
}

// Catches: a change that cannot be saved undone in memory (the launcher would drop the user's add or edit), the
// file touched meanwhile, and the held changes not written by the first save that works.
TEST_F(EnvironmentFileTest, FailedSaveKeepsTheChangeInMemoryAndTheNextSaveWritesAll) {
    Put(DataFile("three-pages-utf16.xml"));
    ASSERT_TRUE(m_env.Load());
    std::vector<uint8_t> before = m_store.files[kPath];
    PackageRecord record;
    record.caption.Set(u"바뀐 이름");
    m_store.isWriteFailing = true;

    EXPECT_TRUE(m_env.AddPage().has_value());
    EXPECT_TRUE(m_env.AddPackage(0, record).has_value());
    EXPECT_TRUE(m_env.UpdatePackage(0, 0, record));
    EXPECT_TRUE(m_env.RemovePackage(0, 1));
    EXPECT_TRUE(m_env.RemovePage(1));
    EXPECT_TRUE(m_env.HasUnsavedChanges());
    EXPECT_FALSE(m_env.IsMemoryOnly());
    EXPECT_EQ(m_store.files[kPath], before);
    ASSERT_EQ(m_env.Pages().size(), 3u);
    ASSERT_EQ(m_env.Pages()[0].packages.size(), 2u);
    EXPECT_EQ(Caption(m_env.Pages()[0].packages[0].record), "바뀐 이름");

    m_store.isWriteFailing = false;
    ASSERT_TRUE(m_env.UpdatePackage(0, 0, record));
    EXPECT_FALSE(m_env.HasUnsavedChanges());
    CEnvironmentFile reread(m_store, kPath);
    ASSERT_TRUE(reread.Load());
    ASSERT_EQ(reread.Pages().size(), 3u);
    ASSERT_EQ(reread.Pages()[0].packages.size(), 2u);
    EXPECT_EQ(Caption(reread.Pages()[0].packages[0].record), "바뀐 이름");
    EXPECT_EQ(Caption(reread.Pages()[0].packages[1].record), "바뀐 이름") << "the add made while unsaved";
}

TEST_F(EnvironmentFileTest, MenuSlotsAreTakenByPositionNotName) {
    std::string button = "<PKGTYPE>0</PKGTYPE><PKGID>%</PKGID><CAPTION>c</CAPTION>";
    auto entry = [&button](const std::string& name, char id) {
        std::string fields = button;
        fields.replace(fields.find('%'), 1, 1, id);
        return "<" + name + ">" + fields + "</" + name + ">";
    };
    Put(Utf8(EnvXml(
        entry("BUTTON01", '0') + entry("BUTTON07", '7') + "<BUTTON03/>" + entry("X", '4') + entry("BUTTON05", '5'),
        "<PageNum>0</PageNum><CurrentPage>0</CurrentPage>")));
    ASSERT_TRUE(m_env.Load());
    ASSERT_TRUE(m_env.Menu()[1].has_value());
    EXPECT_EQ(m_env.Menu()[1]->pkgId, 7);
    EXPECT_FALSE(m_env.Menu()[2].has_value());  // an entry without fields leaves its slot empty
    ASSERT_TRUE(m_env.Menu()[3].has_value());
    EXPECT_EQ(m_env.Menu()[3]->pkgId, 4);  // the fifth child is ignored
}

TEST_F(EnvironmentFileTest, Button07FileFillsSlotTwo) {
    Put(DataFile("button07.xml"));
    ASSERT_TRUE(m_env.Load());
    ASSERT_TRUE(m_env.Menu()[1].has_value());
    EXPECT_EQ(m_env.Menu()[1]->pkgId, 7);
    EXPECT_EQ(m_env.Menu()[1]->caption.Get(), u"열기");
    EXPECT_FALSE(m_env.Menu()[2].has_value());
}

TEST_F(EnvironmentFileTest, FieldNamesMatchIgnoringCaseAndMissingFieldsReadEmpty) {
    Put(DataFile("lowercase-fields.xml"));
    ASSERT_TRUE(m_env.Load());
    ASSERT_EQ(m_env.Pages().size(), 1u);
    ASSERT_EQ(m_env.Pages()[0].packages.size(), 1u);
    const PackageRecord& record = m_env.Pages()[0].packages[0].record;
    EXPECT_EQ(Caption(record), "소문자");
    EXPECT_EQ(record.path.Get(), u"c:\\low");

    Put(Utf8(EnvXml("<B><CAPTION>only</CAPTION></B>", "<PageNum>0</PageNum>")));
    ASSERT_TRUE(m_env.Load());
    ASSERT_TRUE(m_env.Menu()[0].has_value());
    EXPECT_EQ(m_env.Menu()[0]->type, 0);
    EXPECT_TRUE(m_env.Menu()[0]->path.IsEmpty());
}

TEST_F(EnvironmentFileTest, ReadsAtMostSixteenPackagesPerPageAndRefusesMore) {
    std::vector<uint8_t> original = DataFile("seventeen-packages.xml");
    Put(original);
    ASSERT_TRUE(m_env.Load());
    ASSERT_EQ(m_env.Pages().size(), 1u);
    EXPECT_EQ(m_env.Pages()[0].packageCount, 17);
    ASSERT_EQ(m_env.Pages()[0].packages.size(), 16u);
    EXPECT_EQ(Caption(m_env.Pages()[0].packages[15].record), "항목15");
    EXPECT_FALSE(m_env.AddPackage(0, PackageRecord()).has_value());
    EXPECT_EQ(m_store.files[kPath], original);
}

// The launcher shows every package element up to 16 whatever "PackageCount" says, so a stale or hostile
// count neither hides packages nor indexes past them.
TEST_F(EnvironmentFileTest, PackageCountNeitherHidesNorInventsPackages) {
    const struct {
        const char* count;
        size_t expected;
    } cases[] = {{"1", 3}, {"3", 3}, {"99", 3}, {"-5", 3}, {"x", 3}, {"99999999999", 3}};
    for (const auto& c : cases) {
        Put(Utf8(EnvXml("<B><TYPE>1</TYPE></B>", std::string("<PageNum>1</PageNum><CurrentPage>0</CurrentPage>") +
                                                     "<Page><PackageCount>" + c.count + "</PackageCount>" +
                                                     Package("a") + Package("b") + Package("c") + "</Page>")));
        ASSERT_TRUE(m_env.Load());
        ASSERT_EQ(m_env.Pages().size(), 1u);
        EXPECT_EQ(m_env.Pages()[0].packages.size(), c.expected) << c.count;
    }
}

TEST_F(EnvironmentFileTest, AddedPackageIsWithinTheCountItWritesEvenBehindUnreadOnes) {
    Put(Utf8(EnvXml("<B><TYPE>1</TYPE></B>",
                    "<PageNum>1</PageNum><CurrentPage>0</CurrentPage><Page><PackageCount>1"
                    "</PackageCount>" +
                        Package("a") + Package("b") + "</Page>")));
    ASSERT_TRUE(m_env.Load());
    PackageRecord record;
    record.caption.Set(u"new");
    std::optional<size_t> index = m_env.AddPackage(0, record);
    ASSERT_EQ(index, 2u);
    ASSERT_EQ(m_env.Pages()[0].packages.size(), 3u);
    EXPECT_EQ(Caption(m_env.Pages()[0].packages[2].record), "new");
    EXPECT_EQ(m_env.Pages()[0].packageCount, 3);
}

TEST_F(EnvironmentFileTest, PagesBeyondSixteenAreIgnoredAndNeverIndexed) {
    std::string pages;
    for (int i = 0; i < 18; ++i) {
        pages += "<Page><PackageCount>1</PackageCount>" + Package("p" + std::to_string(i)) + "</Page>";
    }
    Put(Utf8(EnvXml("<B><TYPE>1</TYPE></B>", "<PageNum>18</PageNum><CurrentPage>0</CurrentPage>" + pages)));
    ASSERT_TRUE(m_env.Load());
    ASSERT_EQ(m_env.Pages().size(), 16u);
    EXPECT_EQ(Caption(m_env.Pages()[15].packages[0].record), "p15");
    EXPECT_EQ(Saved(u"PageNum"), "16");
    EXPECT_FALSE(m_env.AddPage().has_value());
    EXPECT_FALSE(m_env.AddPackage(16, PackageRecord()).has_value());
    EXPECT_FALSE(m_env.RemovePage(16));
    EXPECT_FALSE(m_env.UpdatePackage(0, 1, PackageRecord()));
    EXPECT_FALSE(m_env.RemovePackage(0, 1));
}

struct StructureCase {
    const char* label;
    std::string xml;
    bool isLoaded;
    size_t menuEntries;
    size_t pages;
};

class EnvironmentFileStructure : public testing::TestWithParam<StructureCase> {};

TEST_P(EnvironmentFileStructure, LoadsOnlyWhatThePositionsAllow) {
    const StructureCase& c = GetParam();
    kelvo_test::MemoryFileStore store;
    store.files[kPath] = Utf8(c.xml);
    CEnvironmentFile env(store, kPath);
    EXPECT_EQ(env.Load(), c.isLoaded) << c.label;
    size_t menuEntries = 0;
    for (const auto& slot : env.Menu()) {
        menuEntries += slot.has_value() ? 1 : 0;
    }
    EXPECT_EQ(menuEntries, c.menuEntries) << c.label;
    EXPECT_EQ(env.Pages().size(), c.pages) << c.label;
    if (c.pages == 0) {
        EXPECT_FALSE(env.AddPackage(0, PackageRecord()).has_value()) << c.label;
    }
}

const std::string kMenu = "<B><TYPE>12</TYPE></B>";
const std::string kPage = "<Page><PackageCount>0</PackageCount></Page>";

INSTANTIATE_TEST_SUITE_P(
    EnvironmentFile, EnvironmentFileStructure,
    testing::Values(
        StructureCase{"wrong root", "<TolvSet><MAINMENU>" + kMenu + "</MAINMENU></TolvSet>", false, 0, 0},
        StructureCase{"empty file", "", false, 0, 0},
        StructureCase{"root in other case", "<tolvenv><mainmenu>" + kMenu + "</mainmenu></TOLVENV>", true, 1, 0},
        StructureCase{"first child not MAINMENU",
                      "<TolvEnv><PAGEENV><PageNum>1</PageNum>" + kPage + "</PAGEENV></TolvEnv>", true, 0, 0},
        StructureCase{"MAINMENU without children", EnvXml("", "<PageNum>1</PageNum>" + kPage), true, 0, 0},
        StructureCase{"no PAGEENV", "<TolvEnv><MAINMENU>" + kMenu + "</MAINMENU></TolvEnv>", true, 1, 0},
        StructureCase{"PAGEENV not second",
                      "<TolvEnv><MAINMENU>" + kMenu +
                          "</MAINMENU><X/><PAGEENV><PageNum>1"
                          "</PageNum>" +
                          kPage + "</PAGEENV></TolvEnv>",
                      true, 1, 0},
        StructureCase{"PageNum not first", EnvXml(kMenu, "<CurrentPage>0</CurrentPage>" + kPage), true, 1, 0},
        StructureCase{"page without PackageCount skipped",
                      EnvXml(kMenu, "<PageNum>2</PageNum><CurrentPage>0</CurrentPage><Page><Package/></Page>" + kPage),
                      true, 1, 1},
        StructureCase{"CurrentPage missing", EnvXml(kMenu, "<PageNum>1</PageNum>" + kPage), true, 1, 1}));

TEST_F(EnvironmentFileTest, MissingFileLoadsNothingAndNeverCreatesIt) {
    EXPECT_FALSE(m_env.Load());
    EXPECT_TRUE(m_env.IsMemoryOnly());
    EXPECT_TRUE(m_env.Pages().empty());
    EXPECT_TRUE(m_env.AddPage().has_value()) << "held in memory";
    EXPECT_EQ(m_env.Pages().size(), 1u);
    EXPECT_TRUE(m_env.HasUnsavedChanges());
    EXPECT_TRUE(m_store.files.empty());
    EXPECT_EQ(m_store.writeCount, 0);
}

TEST_F(EnvironmentFileTest, AddPageSavesOnceWithPageNumRaised) {
    Put(kelvo_test::DefaultEnvironment());
    ASSERT_TRUE(m_env.Load());
    ASSERT_EQ(m_env.AddPage(), 0u);
    ASSERT_EQ(m_env.AddPage(), 1u);
    EXPECT_EQ(m_store.writeCount, 2);
    EXPECT_EQ(Saved(u"PageNum"), "2");
    std::string text =
        common::Utf16ToUtf8(CXmlDocument::DecodeBytes(m_store.files[kPath].data(), m_store.files[kPath].size()));
    EXPECT_NE(text.find("\t\t<CurrentPage>0</CurrentPage>\r\n\t\t<Page>\r\n\t\t\t<PackageCount>0</PackageCount>\r\n"
                        "\t\t</Page>\r\n\t\t<Page>\r\n"),
              std::string::npos);
}

TEST_F(EnvironmentFileTest, AddPackageWritesSixteenFieldsAndTheNewCount) {
    Put(kelvo_test::DefaultEnvironment());
    ASSERT_TRUE(m_env.Load());
    ASSERT_EQ(m_env.AddPage(), 0u);
    PackageRecord record;
    record.pkgType = 1;
    record.pkgId = 42;
    record.caption.Set(u"A&B <C>");
    record.path.Set(u"c:\\Portable Programs\\A\\a.exe");
    record.updateFlag = 2;
    record.startOpen = 1;
    record.shortcut = 'K';
    record.ctrl = 1;
    ASSERT_EQ(m_env.AddPackage(0, record), 0u);
    record.shortcut = 0;
    ASSERT_EQ(m_env.AddPackage(0, record), 1u);
    EXPECT_EQ(m_env.Pages()[0].packageCount, 2);

    std::string text =
        common::Utf16ToUtf8(CXmlDocument::DecodeBytes(m_store.files[kPath].data(), m_store.files[kPath].size()));
    EXPECT_NE(text.find("\t\t\t<PackageCount>2</PackageCount>\r\n"
                        "\t\t\t<Package>\r\n"
                        "\t\t\t\t<PKGTYPE>1</PKGTYPE>\r\n"
                        "\t\t\t\t<PKGID>42</PKGID>\r\n"
                        "\t\t\t\t<TYPE>0</TYPE>\r\n"
                        "\t\t\t\t<CAPTION>A&amp;B &lt;C&gt;</CAPTION>\r\n"
                        "\t\t\t\t<PATH>c:\\Portable Programs\\A\\a.exe</PATH>\r\n"
                        "\t\t\t\t<PARAM></PARAM>\r\n"
                        "\t\t\t\t<ICON></ICON>\r\n"
                        "\t\t\t\t<DELETED>0</DELETED>\r\n"
                        "\t\t\t\t<UPDATEFLAG>2</UPDATEFLAG>\r\n"
                        "\t\t\t\t<STARTOPEN>1</STARTOPEN>\r\n"
                        "\t\t\t\t<STARTCLOSE>0</STARTCLOSE>\r\n"
                        "\t\t\t\t<SHORTCUT>K</SHORTCUT>\r\n"
                        "\t\t\t\t<ALT>0</ALT>\r\n"
                        "\t\t\t\t<SHIFT>0</SHIFT>\r\n"
                        "\t\t\t\t<CTRL>1</CTRL>\r\n"
                        "\t\t\t\t<WIN>0</WIN>\r\n"
                        "\t\t\t</Package>\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("<SHORTCUT></SHORTCUT>"), std::string::npos);

    CEnvironmentFile reread(m_store, kPath);
    ASSERT_TRUE(reread.Load());
    EXPECT_EQ(reread.Pages()[0].packages[0].record.caption.Get(), u"A&B <C>");
    EXPECT_EQ(reread.Pages()[0].packages[0].record.shortcut, 'K');
    EXPECT_EQ(reread.Pages()[0].packages[1].record.shortcut, 0);
}

TEST_F(EnvironmentFileTest, RemovePackageKeepsPackageCountAndRemovePageLowersPageNum) {
    Put(DataFile("three-pages-utf16.xml"));
    ASSERT_TRUE(m_env.Load());
    ASSERT_TRUE(m_env.RemovePackage(0, 0));
    EXPECT_EQ(m_env.Pages()[0].packageCount, 2);
    ASSERT_EQ(m_env.Pages()[0].packages.size(), 1u);
    EXPECT_EQ(Caption(m_env.Pages()[0].packages[0].record), "R&D <문서>");

    ASSERT_TRUE(m_env.AddPackage(0, PackageRecord()).has_value());
    EXPECT_EQ(m_env.Pages()[0].packageCount, 2);  // set to the page's count including the new one

    ASSERT_TRUE(m_env.RemovePage(0));
    EXPECT_EQ(Saved(u"PageNum"), "2");
    ASSERT_EQ(m_env.Pages().size(), 2u);
    EXPECT_EQ(Caption(m_env.Pages()[0].packages[0].record), "그림판");
}

TEST_F(EnvironmentFileTest, UpdatePackageWritesOnlyItsFiveFields) {
    Put(DataFile("three-pages-utf16.xml"));
    ASSERT_TRUE(m_env.Load());
    PackageRecord record = m_env.Pages()[0].packages[0].record;
    record.caption.Set(u"새 이름");
    record.icon.Set(u"c:\\icon.ico");
    record.updateFlag = 1;
    record.ctrl = 0;
    record.pkgId = 99;
    ASSERT_TRUE(m_env.UpdatePackage(0, 0, record));
    CEnvironmentFile reread(m_store, kPath);
    ASSERT_TRUE(reread.Load());
    const PackageRecord& saved = reread.Pages()[0].packages[0].record;
    EXPECT_EQ(Caption(saved), "새 이름");
    EXPECT_EQ(saved.icon.Get(), u"c:\\icon.ico");
    EXPECT_EQ(saved.updateFlag, 1);
    EXPECT_EQ(saved.ctrl, 1);
    EXPECT_EQ(saved.pkgId, 17);
}

TEST_F(EnvironmentFileTest, LongTextsAreCutToTheirFields) {
    std::string caption(3000, 'c');
    std::string path(400, 'p');
    Put(Utf8(EnvXml("<B><CAPTION>" + caption + "</CAPTION><PATH>" + path + "</PATH><SHORTCUT>한</SHORTCUT></B>",
                    "<PageNum>0</PageNum>")));
    ASSERT_TRUE(m_env.Load());
    ASSERT_TRUE(m_env.Menu()[0].has_value());
    EXPECT_EQ(m_env.Menu()[0]->caption.Get().size(), 1023u);
    EXPECT_EQ(m_env.Menu()[0]->path.Get().size(), 259u);
    EXPECT_EQ(m_env.Menu()[0]->shortcut, 0);  // no single-byte key code
}

}  // namespace
