// Package profile reading: the head rules, the file-list entry rules, names refused anywhere, and the limits.
#include "common/store/Profile.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

#include "common/text/Utf.h"
#include "common/xml/XmlDocument.h"

namespace {

using common::CFileInfo;
using common::NameError;
using common::PackageProfile;
using common::ProfileError;
using common::ProfileItem;
using common::ProfileProblem;

std::vector<uint8_t> ReadDataFile(const std::string& name) {
    std::ifstream in(std::string(KELVO_TEST_DATA) + "/profiles/" + name, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

ProfileItem TreeFromBytes(const std::vector<uint8_t>& bytes) {
    common::CXmlDocument document;
    EXPECT_TRUE(document.ParseBytes(bytes));
    if (!document.Root()) {
        return {};
    }
    return common::ProfileItemFromXml(*document.Root().element, common::kProfileTreeDepth, common::kMaxFileEntries + 1);
}

ProfileItem TreeFromText(const std::u16string& text) {
    common::CXmlDocument document;
    EXPECT_TRUE(document.Parse(text)) << common::Utf16ToUtf8(text);
    if (!document.Root()) {
        return {};
    }
    return common::ProfileItemFromXml(*document.Root().element, common::kProfileTreeDepth, common::kMaxFileEntries + 1);
}

std::u16string Head(const std::u16string& alias = u"Game", const std::u16string& exe = u"game.exe") {
    return u"<HEAD><VERSION>1</VERSION><CHANNEL>game</CHANNEL><ALIAS>" + alias + u"</ALIAS><EXEFILE>" + exe +
           u"</EXEFILE></HEAD>";
}

std::u16string Entry(const std::u16string& name, const std::u16string& directory = u"") {
    return u"<FILE><FILENAME>" + name + u"</FILENAME><DIRECTORY>" + directory +
           u"</DIRECTORY><COMPARISON>S</COMPARISON><FILESIZE>10</FILESIZE><REALSIZE>10</REALSIZE></FILE>";
}

std::u16string Profile(const std::u16string& head, const std::u16string& entries) {
    return u"<PROFILE>" + head + u"<GAMEFILELIST>" + entries + u"</GAMEFILELIST></PROFILE>";
}

// The same profile in UTF-8 and UTF-16: Korean names, a nested directory and a 20 MB entry must come through
// with every field in place.
TEST(Profile, ReadsKoreanProfileWithNestedDirectoryAndLargeFile) {
    for (const char* file : {"memo-utf8.xml", "memo-utf16.xml"}) {
        SCOPED_TRACE(file);
        PackageProfile profile;
        ProfileProblem problem;
        ASSERT_EQ(common::ReadProfile(TreeFromBytes(ReadDataFile(file)), profile, &problem), ProfileError::None)
            << common::NameErrorText(problem.nameError) << " at " << problem.entry;
        EXPECT_EQ(profile.head.version, u"2.1.0");
        EXPECT_EQ(profile.head.channel, u"utility");
        EXPECT_EQ(profile.head.alias, u"한글메모장");
        EXPECT_EQ(profile.head.exeFile, u"메모장.exe");
        EXPECT_EQ(profile.head.baseDir, u"apps2");
        EXPECT_EQ(profile.head.svcType, u"free");
        ASSERT_EQ(profile.files.size(), 3u);

        const CFileInfo& exe = profile.files[0];
        EXPECT_EQ(exe.fileName, u"메모장.exe");
        EXPECT_EQ(exe.directory, u"");
        EXPECT_EQ(exe.fetchedSize, 20971520);
        EXPECT_EQ(exe.realSize, 20971520);
        EXPECT_EQ(exe.comparison, common::kCompareSize | common::kCompareDate | common::kCompareChecksum);
        EXPECT_EQ(exe.date, u"2008-03-14");
        EXPECT_EQ(exe.checksum, u"9f2c");
        EXPECT_EQ(exe.type, u"exe");

        const CFileInfo& manual = profile.files[1];
        EXPECT_EQ(manual.fileName, u"설명서.txt");
        EXPECT_EQ(manual.directory, u"/문서/도움말");
        EXPECT_EQ(manual.fetchedSize, 1234);
        EXPECT_EQ(manual.compress, 1);
        EXPECT_EQ(manual.date, u"");      // no D
        EXPECT_EQ(manual.checksum, u"");  // no C

        for (const CFileInfo& entry : profile.files) {
            EXPECT_EQ(entry.transferState, common::kTransferPending);
        }
        EXPECT_EQ(profile.totalRealSize, 20971520 + 4096 + 766);
        EXPECT_EQ(profile.ProgressTotal(), 2 * (20971520 + 4096 + 766));
    }
}

// Root of any name, lower-case element names, the first of two VERSIONs, entries of any element name,
// comparison letters in any case, and leading-integer numbers.
TEST(Profile, FollowsTheLookupAndNumberRules) {
    PackageProfile profile;
    ASSERT_EQ(common::ReadProfile(TreeFromBytes(ReadDataFile("update-lowercase.xml")), profile), ProfileError::None);
    EXPECT_EQ(profile.head.version, u"1.0.3");
    EXPECT_EQ(profile.head.alias, u"Kelvo");
    EXPECT_FALSE(profile.head.baseDir.has_value());
    ASSERT_EQ(profile.files.size(), 2u);

    const CFileInfo& noLetters = profile.files[0];  // <ITEM>, COMPARISON "xyz"
    EXPECT_EQ(noLetters.comparison, 0u);
    EXPECT_EQ(noLetters.fetchedSize, -1);
    EXPECT_EQ(noLetters.date, u"");
    EXPECT_EQ(noLetters.checksum, u"");
    EXPECT_EQ(noLetters.realSize, 12);  // "12abc"

    const CFileInfo& spaced = profile.files[1];  // COMPARISON "c s d"
    EXPECT_EQ(spaced.comparison, common::kCompareSize | common::kCompareDate | common::kCompareChecksum);
    EXPECT_EQ(spaced.fetchedSize, -7);
    EXPECT_EQ(spaced.realSize, 0);  // empty
}

TEST(Profile, NumbersUseSixtyFourBitsAndClamp) {
    const struct {
        std::u16string text;
        int64_t expected;
    } cases[] = {
        {u"3000000000", 3000000000},  // past 32 bits: a 3 GB file
        {u"  +42", 42},
        {u"\t-0", 0},
        {u"abc", 0},
        {u"9223372036854775807", std::numeric_limits<int64_t>::max()},
        {u"9223372036854775808", std::numeric_limits<int64_t>::max()},
        {u"99999999999999999999999999", std::numeric_limits<int64_t>::max()},
        {u"-9223372036854775808", std::numeric_limits<int64_t>::min()},
        {u"-99999999999999999999999999", std::numeric_limits<int64_t>::min()},
    };
    for (const auto& c : cases) {
        PackageProfile profile;
        std::u16string entry = u"<F><FILENAME>a</FILENAME><COMPARISON>S</COMPARISON><FILESIZE>" + c.text +
                               u"</FILESIZE><REALSIZE>" + c.text + u"</REALSIZE></F>";
        ASSERT_EQ(common::ReadProfile(TreeFromText(Profile(Head(), entry)), profile), ProfileError::None);
        EXPECT_EQ(profile.files[0].fetchedSize, c.expected) << common::Utf16ToUtf8(c.text);
        EXPECT_EQ(profile.files[0].realSize, c.expected) << common::Utf16ToUtf8(c.text);
    }
}

TEST(Profile, EmptyOrMissingListGivesNoEntries) {
    for (const std::u16string& text : {u"<P>" + Head() + u"</P>", u"<P>" + Head() + u"<GAMEFILELIST/></P>",
                                       u"<P>" + Head() + u"<GAMEFILELIST>only text</GAMEFILELIST></P>"}) {
        PackageProfile profile;
        EXPECT_EQ(common::ReadProfile(TreeFromText(text), profile), ProfileError::None);
        EXPECT_TRUE(profile.files.empty());
        EXPECT_EQ(profile.ProgressTotal(), 0);
    }
}

TEST(Profile, RequiredHeadValues) {
    const struct {
        std::u16string head;
        ProfileError expected;
    } cases[] = {
        {u"", ProfileError::NoHead},
        {u"<HEADER><VERSION>1</VERSION></HEADER>", ProfileError::NoHead},
        {u"<HEAD><CHANNEL>c</CHANNEL><ALIAS>a</ALIAS><EXEFILE>e</EXEFILE></HEAD>", ProfileError::MissingVersion},
        {u"<HEAD><VERSION></VERSION><CHANNEL>c</CHANNEL><ALIAS>a</ALIAS><EXEFILE>e</EXEFILE></HEAD>",
         ProfileError::MissingVersion},
        {u"<HEAD><VERSION> \t </VERSION><CHANNEL>c</CHANNEL><ALIAS>a</ALIAS><EXEFILE>e</EXEFILE></HEAD>",
         ProfileError::MissingVersion},
        {u"<HEAD><VERSION>1</VERSION><ALIAS>a</ALIAS><EXEFILE>e</EXEFILE></HEAD>", ProfileError::MissingChannel},
        {u"<HEAD><VERSION>1</VERSION><CHANNEL>c</CHANNEL><EXEFILE>e</EXEFILE></HEAD>", ProfileError::MissingAlias},
        {u"<HEAD><VERSION>1</VERSION><CHANNEL>c</CHANNEL><ALIAS>a</ALIAS><EXEFILE/></HEAD>",
         ProfileError::MissingExeFile},
        {u"<head><version>1</version><channel>c</channel><alias>a</alias><exefile>e</exefile></head>",
         ProfileError::None},
    };
    for (const auto& c : cases) {
        PackageProfile profile;
        EXPECT_EQ(common::ReadProfile(TreeFromText(u"<PROFILE>" + c.head + u"</PROFILE>"), profile), c.expected)
            << common::Utf16ToUtf8(c.head);
    }
    // A source that keeps white-space-only text (the light XML parser skips it) must be refused the same way.
    ProfileItem root{
        u"P",
        u"",
        {{u"HEAD",
          u"",
          {{u"VERSION", u" \t\r\n", {}}, {u"CHANNEL", u"c", {}}, {u"ALIAS", u"a", {}}, {u"EXEFILE", u"e", {}}}}}};
    PackageProfile profile;
    EXPECT_EQ(common::ReadProfile(root, profile), ProfileError::MissingVersion);
}

// One bad name anywhere refuses the whole profile, and the caller's profile stays as it was.
TEST(Profile, RefusesPathNamesThatLeaveThePackageFolder) {
    const struct {
        const char* what;
        std::u16string text;
        ProfileError error;
        NameError nameError;
        size_t entry;
    } cases[] = {
        {"alias up", Profile(Head(u".."), Entry(u"a")), ProfileError::BadAlias, NameError::DotElement, 0},
        {"alias caption", Profile(Head(std::u16string(50, u'가')), u""), ProfileError::BadAlias, NameError::TooLong, 0},
        {"exe drive", Profile(Head(u"Game", u"C:\\x.exe"), u""), ProfileError::BadExeFile, NameError::Colon, 0},
        {"file up", Profile(Head(), Entry(u"ok") + Entry(u"..\\..\\x")), ProfileError::BadFileName,
         NameError::Separator, 1},
        {"file empty", Profile(Head(), Entry(u"")), ProfileError::BadFileName, NameError::Empty, 0},
        {"dir up", Profile(Head(), Entry(u"a") + Entry(u"b", u"/../x")), ProfileError::BadDirectory,
         NameError::DotElement, 1},
        {"dir relative", Profile(Head(), Entry(u"a", u"data")), ProfileError::BadDirectory,
         NameError::MissingLeadingSlash, 0},
        {"path length", Profile(Head(), Entry(std::u16string(200, u'a'), u"/" + std::u16string(40, u'b'))),
         ProfileError::PathTooLong, NameError::TooLong, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PackageProfile profile;
        profile.head.alias = u"kept";
        ProfileProblem problem;
        EXPECT_EQ(common::ReadProfile(TreeFromText(c.text), profile, &problem), c.error);
        EXPECT_EQ(problem.error, c.error);
        EXPECT_EQ(problem.nameError, c.nameError) << common::NameErrorText(problem.nameError);
        EXPECT_EQ(problem.entry, c.entry);
        EXPECT_EQ(profile.head.alias, u"kept");
        EXPECT_TRUE(profile.files.empty());
    }
    PackageProfile profile;
    EXPECT_EQ(common::ReadProfile(TreeFromBytes(ReadDataFile("traversal.xml")), profile), ProfileError::BadDirectory);
}

// The drive path "X:\Portable Programs\<alias>\..." is 21 units plus the alias; 259 units in all still fit.
TEST(Profile, DrivePathLimitIsExact) {
    const std::u16string alias = u"Game";  // folder "X:\Portable Programs\Game" is 25 units
    PackageProfile profile;
    EXPECT_EQ(common::ReadProfile(TreeFromText(Profile(Head(alias), Entry(std::u16string(233, u'a')))), profile),
              ProfileError::None);
    EXPECT_EQ(common::ReadProfile(TreeFromText(Profile(Head(alias), Entry(std::u16string(234, u'a')))), profile),
              ProfileError::PathTooLong);
    EXPECT_EQ(common::ReadProfile(TreeFromText(Profile(Head(alias, std::u16string(233, u'e')), u"")), profile),
              ProfileError::None);
    EXPECT_EQ(common::ReadProfile(TreeFromText(Profile(Head(alias, std::u16string(234, u'e')), u"")), profile),
              ProfileError::BadExeFile);
}

ProfileItem ListOf(size_t count, const std::u16string& realSize) {
    ProfileItem root;
    ProfileItem head;
    head.name = u"HEAD";
    for (const char16_t* name : {u"VERSION", u"CHANNEL", u"ALIAS", u"EXEFILE"}) {
        head.children.push_back({name, u"x", {}});
    }
    ProfileItem list;
    list.name = u"GAMEFILELIST";
    ProfileItem entry{u"FILE", u"", {{u"FILENAME", u"f", {}}, {u"REALSIZE", realSize, {}}}};
    list.children.assign(count, entry);
    root.children = {head, list};
    return root;
}

// Sums of huge sizes must saturate rather than overflow (UBSan would stop on a signed overflow).
TEST(Profile, LargestListSumsWithoutOverflow) {
    PackageProfile profile;
    ASSERT_EQ(common::ReadProfile(ListOf(common::kMaxFileEntries, u"9223372036854775807"), profile),
              ProfileError::None);
    EXPECT_EQ(profile.files.size(), common::kMaxFileEntries);
    EXPECT_EQ(profile.totalRealSize, std::numeric_limits<int64_t>::max());
    EXPECT_EQ(profile.ProgressTotal(), std::numeric_limits<int64_t>::max());

    ASSERT_EQ(common::ReadProfile(ListOf(3, u"-9223372036854775808"), profile), ProfileError::None);
    EXPECT_EQ(profile.totalRealSize, std::numeric_limits<int64_t>::min());
    EXPECT_EQ(profile.ProgressTotal(), std::numeric_limits<int64_t>::min());
}

TEST(Profile, RefusesListsPastTheEntryLimit) {
    PackageProfile profile;
    EXPECT_EQ(common::ReadProfile(ListOf(common::kMaxFileEntries + 1, u"1"), profile), ProfileError::TooManyFiles);

    // 50 000 entries through the XML adapter: the copy stops one past the limit and the reader refuses it.
    std::u16string entries;
    for (int i = 0; i < 50000; ++i) {
        entries += u"<F><FILENAME>f</FILENAME><REALSIZE>2000000000</REALSIZE></F>";
    }
    ProfileItem tree = TreeFromText(Profile(Head(), entries));
    const ProfileItem* list = common::FindItem(tree, u"GAMEFILELIST");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->children.size(), common::kMaxFileEntries + 1);
    EXPECT_EQ(common::ReadProfile(tree, profile), ProfileError::TooManyFiles);
    EXPECT_TRUE(profile.files.empty());
}

// The adapter keeps only the levels the reader uses, so deep documents cost nothing beyond them.
TEST(Profile, AdapterCopiesOnlyTheReadLevels) {
    ProfileItem tree = TreeFromText(u"<R><A>a<B>b<C>c<D>d</D></C></B></A></R>");
    ASSERT_EQ(tree.children.size(), 1u);
    const ProfileItem& c = tree.children[0].children[0].children[0];
    EXPECT_EQ(c.name, u"C");
    EXPECT_EQ(c.value, u"c");
    EXPECT_TRUE(c.children.empty());
}

TEST(Profile, KeptHeadCarriesOptionalValuesAcrossProfiles) {
    PackageProfile first;
    PackageProfile second;
    ASSERT_EQ(common::ReadProfile(TreeFromBytes(ReadDataFile("memo-utf8.xml")), first), ProfileError::None);
    ASSERT_EQ(common::ReadProfile(TreeFromBytes(ReadDataFile("update-lowercase.xml")), second), ProfileError::None);
    common::ProfileHead kept;
    common::KeepHead(first.head, kept);
    common::KeepHead(second.head, kept);
    EXPECT_EQ(kept.alias, u"Kelvo");
    EXPECT_EQ(kept.baseDir, u"apps2");
    EXPECT_EQ(kept.svcType, u"free");

    common::ProfileHead withEmpty = second.head;
    withEmpty.baseDir = u"";  // present but empty replaces
    common::KeepHead(withEmpty, kept);
    EXPECT_EQ(kept.baseDir, u"");
}

TEST(Profile, VersionAloneForTheUpdateCheck) {
    EXPECT_EQ(common::ReadProfileVersion(TreeFromText(u"<X><head><VERSION>1.2</VERSION></head></X>")), u"1.2");
    EXPECT_EQ(common::ReadProfileVersion(TreeFromText(u"<X><HEAD><VERSION></VERSION></HEAD></X>")), std::nullopt);
    EXPECT_EQ(common::ReadProfileVersion(TreeFromText(u"<X><VERSION>1</VERSION></X>")), std::nullopt);
    // A bad file list does not stop the version comparison.
    EXPECT_EQ(common::ReadProfileVersion(TreeFromBytes(ReadDataFile("traversal.xml"))), u"1");
}

}  // namespace
