// TolvSet.xml: each program's reading rule against the same files, the settings program's save, the default.
#include "common/settings/SettingsFile.h"

#include <gtest/gtest.h>

#include <fstream>
#include <initializer_list>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "common/settings/LauncherSettings.h"
#include "common/text/Utf.h"
#include "tests/common/DefaultFiles.h"
#include "tests/common/io/MemoryFileStore.h"

namespace {

using common::CSettingsFile;
using common::CXmlDocument;
using common::HotKeyEntry;
using common::SettingsRecord;

const std::u16string kPath = u"E:\\Kelvo\\TolvSet.xml";
const std::u16string kBackup = kPath + CSettingsFile::kBackupSuffix;

std::vector<uint8_t> ReadDisk(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::vector<uint8_t> DataFile(const std::string& name) {
    std::vector<uint8_t> bytes = ReadDisk(std::string(KELVO_TEST_DATA "/settings/") + name);
    EXPECT_FALSE(bytes.empty()) << name;
    return bytes;
}

std::vector<uint8_t> Utf8(const std::string& text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

HotKeyEntry HotKey(uint8_t key, int32_t alt, int32_t ctrl, int32_t shift, int32_t win) {
    HotKeyEntry entry;
    entry.key = key;
    entry.alt = alt;
    entry.ctrl = ctrl;
    entry.shift = shift;
    entry.win = win;
    return entry;
}

// Every field set and distinct, so that a reader that zeroes instead of leaving a field alone is seen.
SettingsRecord Prefilled() {
    SettingsRecord record;
    record.language.Set(u"이전");
    record.skin.Set(u"이전 스킨");
    record.backImage.Set(u"E:\\이전.bmp");
    record.transparent = 91;
    record.alwaysOnTop = 92;
    record.autoRun = 93;
    record.updateCheck = 94;
    record.autoLogin = 95;
    record.trayIconMode = 96;
    record.addBackupBtn = 97;
    record.addDocumentBtn = 98;
    record.launcherOpen = HotKey('P', 1, 1, 1, 1);
    record.launcherHide = HotKey('Q', 1, 0, 0, 0);
    record.backup = HotKey('R', 0, 1, 0, 0);
    record.search = HotKey('S', 0, 0, 1, 0);
    return record;
}

// The General block and hot keys the positional cases below are built from, and what they read as.
const std::string kGeneral =
    "<General><Language>한글</Language><Skin>기본값</Skin><BackImage>E:\\b.bmp</BackImage>"
    "<Transparent>1</Transparent><AlwaysOnTop>2</AlwaysOnTop><AutoRun>3</AutoRun><UpdateCheck>4</UpdateCheck>"
    "<AutoLogin>5</AutoLogin><TrayIconMode>6</TrayIconMode><AddBackupBtn>7</AddBackupBtn>"
    "<AddDocumentBtn>8</AddDocumentBtn></General>";
const std::string kAccKey =
    "<AccKey><LauncherOpen><ALT>1</ALT><SHIFT>0</SHIFT><CTRL>0</CTRL><WIN>0</WIN><HOTCHAR>O</HOTCHAR></LauncherOpen>"
    "<LauncherHide><ALT>0</ALT><SHIFT>1</SHIFT><CTRL>0</CTRL><WIN>0</WIN><HOTCHAR>H</HOTCHAR></LauncherHide>"
    "<Backup><ALT>0</ALT><SHIFT>0</SHIFT><CTRL>1</CTRL><WIN>0</WIN><HOTCHAR>9</HOTCHAR></Backup>"
    "<Search><ALT>0</ALT><SHIFT>0</SHIFT><CTRL>0</CTRL><WIN>1</WIN><HOTCHAR>F</HOTCHAR></Search></AccKey>";
const std::string kOthers = "<Others><RecentURL>http://최근</RecentURL></Others>";

void PutGeneral(SettingsRecord& record) {
    record.language.Set(u"한글");
    record.skin.Set(u"기본값");
    record.backImage.Set(u"E:\\b.bmp");
    record.transparent = 1;
    record.alwaysOnTop = 2;
    record.autoRun = 3;
    record.updateCheck = 4;
    record.autoLogin = 5;
    record.trayIconMode = 6;
    record.addBackupBtn = 7;
    record.addDocumentBtn = 8;
}

void PutHotKeys(SettingsRecord& record) {
    record.launcherOpen = HotKey('O', 1, 0, 0, 0);
    record.launcherHide = HotKey('H', 0, 0, 1, 0);
    record.backup = HotKey('9', 0, 1, 0, 0);
    record.search = HotKey('F', 0, 0, 0, 1);
}

class SettingsFile : public testing::Test {
protected:
    void Put(std::vector<uint8_t> bytes) { m_store.files[kPath] = std::move(bytes); }

    SettingsRecord LoadFresh(bool expectLoaded = true) {
        CSettingsFile file(m_store, kPath);
        SettingsRecord record;
        EXPECT_EQ(file.Load(record), expectLoaded);
        return record;
    }

    // Names of an element's children in order, e.g. "General,ETC,Others", as a fresh reader of the file sees them.
    std::string ChildNames(std::initializer_list<const char16_t*> path) {
        CXmlDocument document;
        EXPECT_TRUE(document.ParseBytes(m_store.files[kPath]));
        common::XmlPosition position = document.Root();
        for (const char16_t* name : path) {
            position = document.FindChild(position, name);
        }
        std::string names;
        for (common::CXmlElement* child = position ? position.element->FirstChild() : nullptr; child;
             child = position.element->NextChild(child)) {
            names += (names.empty() ? "" : ",") + common::Utf16ToUtf8(child->Name());
        }
        return names;
    }

    kelvo_test::MemoryFileStore m_store;
    CSettingsFile m_file{m_store, kPath};
};

TEST_F(SettingsFile, DefaultFileReadsAsTheDefaultsByEveryRule) {
    std::vector<uint8_t> bytes = kelvo_test::DefaultSettings();
    EXPECT_EQ(bytes.size(), 1162u) << "the size of the agent's resource 136";
    Put(bytes);
    SettingsRecord record = Prefilled();
    ASSERT_TRUE(m_file.Load(record));
    EXPECT_TRUE(m_file.IsComplete());
    EXPECT_TRUE(m_file.CanStoreHotKeys());
    SettingsRecord expected;
    expected.language.Set(u"한글");
    expected.skin.Set(u"기본값");
    EXPECT_EQ(record, expected);

    CXmlDocument document;
    ASSERT_TRUE(document.ParseBytes(m_store.files[kPath]));
    SettingsRecord snapshot;
    std::u16string recentUrl = u"stale";
    EXPECT_TRUE(common::ReadAgentSettings(document, snapshot, &recentUrl));
    EXPECT_EQ(snapshot, expected);
    EXPECT_EQ(recentUrl, u"");
}

TEST_F(SettingsFile, SavingTheDefaultRecordRewritesTheDefaultFileByteForByte) {
    std::vector<uint8_t> bytes = kelvo_test::DefaultSettings();
    Put(bytes);
    SettingsRecord record;
    ASSERT_TRUE(m_file.Load(record));
    ASSERT_TRUE(m_file.Save(record));
    EXPECT_EQ(m_store.files[kPath], bytes);  // empty hot key entries stay empty
}

// The same hand-made file in UTF-8 without a byte-order mark and in UTF-16LE with FF FE.
class SettingsFileEncoding : public SettingsFile, public testing::WithParamInterface<const char*> {};

TEST_P(SettingsFileEncoding, KoreanFileLoadsWithLeadingIntegerParseAndHotKeys) {
    Put(DataFile(GetParam()));
    SettingsRecord record;
    ASSERT_TRUE(m_file.Load(record));
    EXPECT_EQ(record.language.Get(), u"한글");
    EXPECT_EQ(record.skin.Get(), u"기본값");
    EXPECT_EQ(record.backImage.Get(), u"E:\\배경 그림\\하늘.bmp");
    EXPECT_EQ(record.transparent, 12);  // "  12abc"
    EXPECT_EQ(record.alwaysOnTop, -3);  // "-3"
    EXPECT_EQ(record.autoRun, 0);       // "x"
    EXPECT_EQ(record.updateCheck, 1);
    EXPECT_EQ(record.trayIconMode, 1);
    EXPECT_EQ(record.addDocumentBtn, 1);
    EXPECT_EQ(record.launcherOpen, HotKey(0x37, 0, 1, 0, 0));  // HOTCHAR "7" with CTRL 1
    EXPECT_EQ(record.launcherHide, HotKeyEntry());
    EXPECT_EQ(record.backup, HotKey('B', 1, 0, 1, 1));
    EXPECT_EQ(record.search, HotKeyEntry());

    CXmlDocument document;
    document.ParseBytes(m_store.files[kPath]);
    SettingsRecord snapshot;
    std::u16string recentUrl;
    EXPECT_TRUE(common::ReadAgentSettings(document, snapshot, &recentUrl));
    EXPECT_EQ(snapshot, record);
    EXPECT_EQ(recentUrl, u"http://가게.example/목록.asp?p=1&q=2");
    EXPECT_EQ(common::ReadUpdateCheck(document), 1);
    EXPECT_EQ(common::ReadLauncherBackImage(document), std::u16string(u"E:\\배경 그림\\하늘.bmp"));
}

INSTANTIATE_TEST_SUITE_P(Files, SettingsFileEncoding, testing::Values("korean-utf8.xml", "korean-utf16.xml"));

TEST_F(SettingsFile, UnchangedSaveOfWriterLayoutFileKeepsEveryByte) {
    std::vector<uint8_t> original = DataFile("korean-utf16.xml");
    Put(original);
    SettingsRecord record;
    ASSERT_TRUE(m_file.Load(record));
    ASSERT_TRUE(m_file.Save(record));
    // Only the two numbers the load could not take as written change: they are written back as read.
    std::u16string before = CXmlDocument::DecodeBytes(original.data(), original.size());
    before.replace(before.find(u"  12abc"), 7, u"12");
    before.replace(before.find(u">x<"), 3, u">0<");
    std::vector<uint8_t> saved = m_store.files[kPath];
    EXPECT_EQ(CXmlDocument::DecodeBytes(saved.data(), saved.size()), before);
}

TEST_F(SettingsFile, SaveRoundTripsKoreanTextAndValuesAndKeepsOrderAndRecentUrl) {
    Put(DataFile("korean-utf8.xml"));
    SettingsRecord record;
    ASSERT_TRUE(m_file.Load(record));
    record.language.Set(u"조선말");
    record.skin.Set(u"푸른 & <하늘>");
    record.backImage.Set(u"");
    record.transparent = 9;
    record.alwaysOnTop = 1;
    record.autoLogin = -2147483647 - 1;
    record.addBackupBtn = 1;
    record.launcherOpen = HotKey('Z', 1, 1, 1, 1);
    record.backup = HotKeyEntry();          // an entry cleared in the settings program
    record.search = HotKey(0, 5, 0, 0, 0);  // a modifier value the settings program never writes survives
    ASSERT_TRUE(m_file.Save(record));

    EXPECT_EQ(LoadFresh(), record);
    EXPECT_EQ(ChildNames({}), "General,ETC,Others");
    EXPECT_EQ(ChildNames({u"General"}),
              "Language,Skin,BackImage,Transparent,AlwaysOnTop,AutoRun,UpdateCheck,AutoLogin,TrayIconMode,"
              "AddBackupBtn,AddDocumentBtn");
    EXPECT_EQ(ChildNames({u"ETC", u"AccKey"}), "LauncherOpen,LauncherHide,Backup,Search");
    EXPECT_EQ(ChildNames({u"ETC", u"AccKey", u"Backup"}), "ALT,SHIFT,CTRL,WIN,HOTCHAR");
    CXmlDocument document;
    document.ParseBytes(m_store.files[kPath]);
    std::u16string recentUrl;
    SettingsRecord snapshot;
    EXPECT_TRUE(common::ReadAgentSettings(document, snapshot, &recentUrl));
    EXPECT_EQ(recentUrl, u"http://가게.example/목록.asp?p=1&q=2");
}

TEST_F(SettingsFile, TextsLongerThanTheirFieldsAreCut) {
    std::string longText(300, 'a');
    Put(Utf8("<TolvSet><General><Language>" + longText + "</Language><Skin>" + longText + "</Skin><BackImage>" +
             longText + "</BackImage></General></TolvSet>"));
    SettingsRecord record;
    ASSERT_TRUE(m_file.Load(record));
    EXPECT_EQ(record.language.Get().size(), 19u);
    EXPECT_EQ(record.skin.Get().size(), 99u);
    EXPECT_EQ(record.backImage.Get().size(), 259u);
}

TEST_F(SettingsFile, TextsReadAsASaveWouldWriteAndReloadThem) {
    const struct {
        std::string language;
        std::u16string expected;
    } cases[] = {
        {std::string("a\0b", 3), u"a"},     // nothing behind a NUL survives in the field
        {std::string("\x01\0b", 3), u""},   // what is left is white space to the reader
        {std::string(19, ' ') + "x", u""},  // and so is what the field keeps of this
        {" 가 ", u" 가 "},                  // white space around other text is kept
    };
    for (const auto& c : cases) {
        Put(Utf8("<TolvSet><General><Language>" + c.language + "</Language></General></TolvSet>"));
        SettingsRecord record;
        ASSERT_TRUE(m_file.Load(record));
        EXPECT_EQ(record.language.Get(), c.expected);
        ASSERT_TRUE(m_file.Save(record));
        EXPECT_EQ(LoadFresh(), record);
    }
}

// Which parts of a file each rule takes, by position. The settings program starts from a zeroed record; the
// agent is given a record that already holds values, which must survive wherever the file has nothing to say.
struct ShapeCase {
    const char* name;
    std::string xml;
    bool isLoaded;        // the settings program's Load
    bool isAccepted;      // the agent's rule
    bool isGeneralRead;   // the General values reach the record
    bool areHotKeysRead;  // the hot keys reach the record
};

void PrintTo(const ShapeCase& c, std::ostream* os) {
    *os << c.name;
}

class SettingsFileShape : public SettingsFile, public testing::WithParamInterface<ShapeCase> {};

TEST_P(SettingsFileShape, SettingsProgramAndAgentTakeTheirParts) {
    const ShapeCase& c = GetParam();
    Put(Utf8(c.xml));
    SettingsRecord loaded = Prefilled();
    EXPECT_EQ(m_file.Load(loaded), c.isLoaded);
    SettingsRecord expected;
    if (c.isGeneralRead) {
        PutGeneral(expected);
    }
    if (c.areHotKeysRead) {
        PutHotKeys(expected);
    }
    EXPECT_EQ(loaded, c.isLoaded ? expected : SettingsRecord());
    EXPECT_EQ(m_file.CanStoreHotKeys(), c.areHotKeysRead);

    CXmlDocument document;
    document.ParseBytes(m_store.files[kPath]);
    SettingsRecord snapshot = Prefilled();
    std::u16string recentUrl;
    EXPECT_EQ(common::ReadAgentSettings(document, snapshot, &recentUrl), c.isAccepted);
    SettingsRecord expectedSnapshot = Prefilled();
    if (c.isGeneralRead) {
        PutGeneral(expectedSnapshot);
    }
    if (c.areHotKeysRead) {
        PutHotKeys(expectedSnapshot);
    }
    EXPECT_EQ(snapshot, expectedSnapshot);
    EXPECT_EQ(recentUrl, c.isAccepted ? u"http://최근" : u"");
    EXPECT_EQ(common::ReadUpdateCheck(document), c.isGeneralRead ? 4 : 0);
}

const std::string kEtc = "<ETC>" + kAccKey + "</ETC>";

INSTANTIATE_TEST_SUITE_P(
    Files, SettingsFileShape,
    testing::Values(
        ShapeCase{"Complete", "<TolvSet>" + kGeneral + kEtc + kOthers + "</TolvSet>", true, true, true, true},
        ShapeCase{"NamesInOtherCase",
                  "<tolvset><GENERAL><language>한글</language><SKIN>기본값</SKIN><backimage>E:\\b.bmp</backimage>"
                  "<transparent>1</transparent><alwaysontop>2</alwaysontop><AUTORUN>3</AUTORUN>"
                  "<updatecheck>4</updatecheck><autologin>5</autologin><trayiconmode>6</trayiconmode>"
                  "<addbackupbtn>7</addbackupbtn><adddocumentbtn>8</adddocumentbtn></GENERAL><etc>" +
                      std::string(kAccKey) + "</etc><others><recenturl>http://최근</recenturl></others></tolvset>",
                  true, true, true, true},
        ShapeCase{"OthersMissing", "<TolvSet>" + kGeneral + kEtc + "</TolvSet>", true, false, true, true},
        ShapeCase{"OthersWithoutChildren", "<TolvSet>" + kGeneral + kEtc + "<Others></Others></TolvSet>", true, false,
                  true, true},
        ShapeCase{"OthersSecondAndEtcThird", "<TolvSet>" + kGeneral + kOthers + kEtc + "</TolvSet>", true, false, true,
                  false},
        ShapeCase{"SecondIsNotEtc",
                  "<TolvSet>" + kGeneral + "<Hotkeys>" + kAccKey + "</Hotkeys>" + kOthers + "</TolvSet>", true, true,
                  true, false},
        ShapeCase{"EtcWithoutAccKeyFirst",
                  "<TolvSet>" + kGeneral + "<ETC><Other/>" + kAccKey + "</ETC>" + kOthers + "</TolvSet>", true, true,
                  true, false},
        ShapeCase{"EtcWithoutChildren", "<TolvSet>" + kGeneral + "<ETC></ETC>" + kOthers + "</TolvSet>", true, true,
                  true, false},
        ShapeCase{"GeneralNotFirst", "<TolvSet>" + kEtc + kGeneral + kOthers + "</TolvSet>", false, false, false,
                  false},
        ShapeCase{"GeneralWithoutChildren", "<TolvSet><General></General>" + kEtc + kOthers + "</TolvSet>", false,
                  false, false, false},
        ShapeCase{"RootWithoutChildren", "<TolvSet></TolvSet>", false, false, false, false},
        ShapeCase{"OtherRoot", "<TolvEnv>" + kGeneral + kEtc + kOthers + "</TolvEnv>", false, false, false, false},
        ShapeCase{"NotXml", "TolvSet", false, false, false, false},
        ShapeCase{"TruncatedInOthers", "<TolvSet>" + kGeneral + kEtc + "<Others><RecentURL>http://최근</RecentURL>",
                  true, true, true, true}),
    [](const testing::TestParamInfo<ShapeCase>& info) { return std::string(info.param.name); });

TEST_F(SettingsFile, MissingGeneralFieldsReadAsZeroForSettingsAndStayForAgent) {
    Put(Utf8("<TolvSet><General><Skin>새 스킨</Skin><AutoRun>1</AutoRun></General><ETC><AccKey/></ETC>" +
             std::string(kOthers) + "</TolvSet>"));
    SettingsRecord expected;
    expected.skin.Set(u"새 스킨");
    expected.autoRun = 1;
    EXPECT_EQ(LoadFresh(), expected);

    CXmlDocument document;
    document.ParseBytes(m_store.files[kPath]);
    SettingsRecord snapshot = Prefilled();
    EXPECT_TRUE(common::ReadAgentSettings(document, snapshot, nullptr));
    SettingsRecord expectedSnapshot = Prefilled();
    expectedSnapshot.skin.Set(u"새 스킨");
    expectedSnapshot.autoRun = 1;
    EXPECT_EQ(snapshot, expectedSnapshot);
}

TEST_F(SettingsFile, MissingHotKeyChildrenReadAsZeroForSettingsAndStayForAgent) {
    Put(Utf8(std::string("<TolvSet>") + kGeneral +
             "<ETC><AccKey><LauncherOpen><HOTCHAR>K</HOTCHAR><shift>1</shift></LauncherOpen>"
             "<LauncherHide/><Backup><WIN>1</WIN></Backup></AccKey></ETC>" +
             kOthers + "</TolvSet>"));
    SettingsRecord loaded = LoadFresh();
    EXPECT_EQ(loaded.launcherOpen, HotKey('K', 0, 0, 1, 0));
    EXPECT_EQ(loaded.launcherHide, HotKeyEntry());
    EXPECT_EQ(loaded.backup, HotKey(0, 0, 0, 0, 1));
    EXPECT_EQ(loaded.search, HotKeyEntry());

    CXmlDocument document;
    document.ParseBytes(m_store.files[kPath]);
    SettingsRecord snapshot = Prefilled();
    EXPECT_TRUE(common::ReadAgentSettings(document, snapshot, nullptr));
    EXPECT_EQ(snapshot.launcherOpen, HotKey('K', 1, 1, 1, 1));
    EXPECT_EQ(snapshot.launcherHide, Prefilled().launcherHide);  // empty entry
    EXPECT_EQ(snapshot.backup, HotKey('R', 0, 1, 0, 1));
    EXPECT_EQ(snapshot.search, Prefilled().search);  // missing entry
}

TEST_F(SettingsFile, HotCharGivesItsFirstUnitAsTheKeyWhenItFitsAByte) {
    const struct {
        std::string hotChar;
        uint8_t key;
    } cases[] = {
        {"7", 0x37}, {"K", 'K'}, {"", 0}, {"AB", 'A'}, {"é", 0xE9}, {"한", 0}, {"\x01x", 0},
    };
    for (const auto& c : cases) {
        Put(Utf8(std::string("<TolvSet>") + kGeneral + "<ETC><AccKey><Search><CTRL>1</CTRL><HOTCHAR>" + c.hotChar +
                 "</HOTCHAR></Search></AccKey></ETC></TolvSet>"));
        EXPECT_EQ(LoadFresh().search, HotKey(c.key, 0, 1, 0, 0)) << c.hotChar;
    }
}

// Saving a hot key into entries of every shape: it must read back, and an entry never gains children for nothing.
struct HotKeySaveCase {
    const char* name;
    std::string accKey;          // the AccKey element as the file holds it
    HotKeyEntry launcherOpen;    // what the settings program saves
    HotKeyEntry expected;        // what a reload gives
    std::string openChildren;    // LauncherOpen's children after the save
    std::string accKeyChildren;  // AccKey's children after the save
};

void PrintTo(const HotKeySaveCase& c, std::ostream* os) {
    *os << c.name;
}

class SettingsFileHotKeySave : public SettingsFile, public testing::WithParamInterface<HotKeySaveCase> {};

TEST_P(SettingsFileHotKeySave, HotKeySurvivesReload) {
    const HotKeySaveCase& c = GetParam();
    Put(Utf8(std::string("<TolvSet>") + kGeneral + "<ETC>" + c.accKey + "</ETC>" + kOthers + "</TolvSet>"));
    SettingsRecord record;
    ASSERT_TRUE(m_file.Load(record));
    record.launcherOpen = c.launcherOpen;
    ASSERT_TRUE(m_file.Save(record));
    EXPECT_EQ(LoadFresh().launcherOpen, c.expected);
    EXPECT_EQ(ChildNames({u"ETC", u"AccKey", u"LauncherOpen"}), c.openChildren);
    EXPECT_EQ(ChildNames({u"ETC", u"AccKey"}), c.accKeyChildren);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, SettingsFileHotKeySave,
    testing::Values(HotKeySaveCase{"EmptyEntryGetsItsFiveChildren",
                                   "<AccKey><LauncherOpen></LauncherOpen><Search/></AccKey>", HotKey('L', 1, 1, 0, 0),
                                   HotKey('L', 1, 1, 0, 0), "ALT,SHIFT,CTRL,WIN,HOTCHAR", "LauncherOpen,Search"},
                    HotKeySaveCase{"ModifierAloneIsKeptToo", "<AccKey><LauncherOpen/></AccKey>", HotKey(0, 0, 0, 0, 1),
                                   HotKey(0, 0, 0, 0, 1), "ALT,SHIFT,CTRL,WIN,HOTCHAR", "LauncherOpen"},
                    HotKeySaveCase{"EmptyEntryWithoutHotKeyStaysEmpty", "<AccKey><LauncherOpen/><Search/></AccKey>",
                                   HotKeyEntry(), HotKeyEntry(), "", "LauncherOpen,Search"},
                    HotKeySaveCase{"PartialEntryGetsTheMissingChildrenAppended",
                                   "<AccKey><LauncherOpen><HOTCHAR>A</HOTCHAR><CTRL>0</CTRL></LauncherOpen></AccKey>",
                                   HotKey('M', 0, 1, 1, 0), HotKey('M', 0, 1, 1, 0), "HOTCHAR,CTRL,ALT,SHIFT,WIN",
                                   "LauncherOpen"},
                    HotKeySaveCase{"ClearedEntryKeepsItsChildren",
                                   "<AccKey><LauncherOpen><ALT>1</ALT><SHIFT>0</SHIFT><CTRL>0</CTRL><WIN>0</WIN>"
                                   "<HOTCHAR>X</HOTCHAR></LauncherOpen></AccKey>",
                                   HotKeyEntry(), HotKeyEntry(), "ALT,SHIFT,CTRL,WIN,HOTCHAR", "LauncherOpen"},
                    HotKeySaveCase{"MissingEntryIsAppendedToAccKey", "<AccKey><Search/></AccKey>",
                                   HotKey('N', 0, 0, 0, 1), HotKey('N', 0, 0, 0, 1), "ALT,SHIFT,CTRL,WIN,HOTCHAR",
                                   "Search,LauncherOpen"},
                    HotKeySaveCase{"MissingEntryWithoutHotKeyIsNotCreated", "<AccKey><Search/></AccKey>", HotKeyEntry(),
                                   HotKeyEntry(), "", "Search"},
                    HotKeySaveCase{"AccKeyNotFirstInEtcStoresNothing", "<Other/><AccKey><LauncherOpen/></AccKey>",
                                   HotKey('L', 1, 0, 0, 0), HotKeyEntry(), "", "LauncherOpen"}),
    [](const testing::TestParamInfo<HotKeySaveCase>& info) { return std::string(info.param.name); });

TEST_F(SettingsFile, HotKeySavedIntoDefaultFileReachesTheAgent) {
    Put(kelvo_test::DefaultSettings());
    SettingsRecord record;
    ASSERT_TRUE(m_file.Load(record));
    record.backup = HotKey('B', 0, 1, 1, 0);
    ASSERT_TRUE(m_file.Save(record));
    CXmlDocument document;
    document.ParseBytes(m_store.files[kPath]);
    SettingsRecord snapshot;
    EXPECT_TRUE(common::ReadAgentSettings(document, snapshot, nullptr));
    EXPECT_EQ(snapshot.backup, HotKey('B', 0, 1, 1, 0));
    EXPECT_EQ(snapshot.launcherOpen, HotKeyEntry());
}

TEST_F(SettingsFile, SaveAfterFailedLoadWritesNothing) {
    const char* files[] = {
        nullptr,  // no file at all
        "<TolvSet><ETC><AccKey/></ETC><General><Language>x</Language></General></TolvSet>",
        "<TolvEnv><General><Language>x</Language></General></TolvEnv>",
        "<TolvSet/>",
    };
    for (const char* xml : files) {
        m_store.files.clear();
        if (xml != nullptr) {
            Put(Utf8(xml));
        }
        SettingsRecord record;
        EXPECT_FALSE(m_file.Load(record));
        EXPECT_FALSE(m_file.IsLoaded());
        record.language.Set(u"바뀜");
        EXPECT_FALSE(m_file.Save(record));
        EXPECT_EQ(m_store.writeCount, 0) << (xml ? xml : "missing");
        EXPECT_EQ(m_store.files.size(), xml != nullptr ? 1u : 0u);
    }
}

TEST_F(SettingsFile, LaterFailedLoadStopsSavesOverTheEarlierDocument) {
    Put(kelvo_test::DefaultSettings());
    SettingsRecord record;
    ASSERT_TRUE(m_file.Load(record));
    Put(Utf8("<TolvSet><Others/></TolvSet>"));
    EXPECT_FALSE(m_file.Load(record));
    EXPECT_FALSE(m_file.Save(record));
    EXPECT_EQ(m_store.writeCount, 0);
}

TEST_F(SettingsFile, FailedWriteLeavesTheFileAndTheNextSaveStartsFromIt) {
    std::vector<uint8_t> original = kelvo_test::DefaultSettings();
    Put(original);
    SettingsRecord record;
    ASSERT_TRUE(m_file.Load(record));
    SettingsRecord changed = record;
    changed.language.Set(u"바뀜");
    changed.launcherOpen = HotKey('L', 1, 0, 0, 0);
    m_store.isWriteFailing = true;
    EXPECT_FALSE(m_file.Save(changed));
    EXPECT_EQ(m_store.files[kPath], original);

    // The children the failed save created are gone: saving the old record again restores the file exactly.
    m_store.isWriteFailing = false;
    ASSERT_TRUE(m_file.Save(record));
    EXPECT_EQ(m_store.files[kPath], original);
    ASSERT_TRUE(m_file.Save(changed));
    EXPECT_EQ(LoadFresh(), changed);
}

TEST_F(SettingsFile, TruncatedFileIsKeptAsBackupBeforeTheFirstSave) {
    std::vector<uint8_t> original = DataFile("truncated-in-acckey.xml");
    Put(original);
    SettingsRecord record;
    ASSERT_TRUE(m_file.Load(record));
    EXPECT_FALSE(m_file.IsComplete());
    EXPECT_EQ(record.launcherOpen, HotKey('7', 0, 1, 0, 0));
    EXPECT_EQ(record.backup, HotKeyEntry());  // the cut entry's ALT has no text yet

    m_store.failingPaths.insert(kBackup);
    EXPECT_FALSE(m_file.Save(record));
    EXPECT_EQ(m_store.files[kPath], original);

    m_store.failingPaths.clear();
    ASSERT_TRUE(m_file.Save(record));
    EXPECT_EQ(m_store.files[kBackup], original);
    EXPECT_EQ(LoadFresh(), record);
    m_store.files[kBackup] = Utf8("sentinel");
    ASSERT_TRUE(m_file.Save(record));
    EXPECT_EQ(m_store.files[kBackup], Utf8("sentinel"));  // only the first save keeps a copy
}

TEST_F(SettingsFile, LauncherAndUpdaterTakeOnlyWhatTheyUse) {
    const struct {
        std::string xml;
        std::optional<std::u16string> backImage;
        int32_t updateCheck;
    } cases[] = {
        {"", std::nullopt, 0},
        {"<TolvSet><General><BackImage>E:\\하늘.bmp</BackImage><UpdateCheck>1</UpdateCheck></General></TolvSet>",
         u"E:\\하늘.bmp", 1},
        {"<tolvset><general><backimage>E:\\a.bmp</backimage></general></tolvset>", u"E:\\a.bmp", 0},
        {"<TolvSet><General><BackImage></BackImage><UpdateCheck> 7x</UpdateCheck></General></TolvSet>", std::nullopt,
         7},
        {"<TolvSet><ETC/><General><BackImage>E:\\a.bmp</BackImage><UpdateCheck>1</UpdateCheck></General></TolvSet>",
         std::nullopt, 0},
        {"<TolvEnv><General><BackImage>E:\\a.bmp</BackImage><UpdateCheck>1</UpdateCheck></General></TolvEnv>",
         std::nullopt, 0},
    };
    for (const auto& c : cases) {
        CXmlDocument document;
        document.ParseBytes(Utf8(c.xml));
        EXPECT_EQ(common::ReadLauncherBackImage(document), c.backImage) << c.xml;
        EXPECT_EQ(common::ReadUpdateCheck(document), c.updateCheck) << c.xml;
    }
}

}  // namespace
