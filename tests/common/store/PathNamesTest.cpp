// Name checks for store-given path parts: traversal, drive and UNC forms, devices, Windows-forbidden characters,
// lengths, and the join under a local folder.
#include "common/store/PathNames.h"

#include <gtest/gtest.h>

#include <string>

#include "common/text/Utf.h"

namespace {

using common::CheckDirectory;
using common::CheckPlainName;
using common::JoinUnder;
using common::kPathBufferUnits;
using common::NameError;

struct NameCase {
    std::u16string text;
    NameError expected;
};

std::string Describe(const NameCase& c) {
    return common::Utf16ToUtf8(c.text) + " -> " + common::NameErrorText(c.expected);
}

// A name that reaches outside the package folder, names a device, or is altered by Windows must be refused;
// a Korean or otherwise ordinary name must pass.
TEST(PathNames, PlainNamesFromTheStore) {
    const NameCase cases[] = {
        {u"메모장.exe", NameError::None},
        {u"한글 메모장", NameError::None},
        {u"readme", NameError::None},
        {u".profile", NameError::None},
        {u"a..b", NameError::None},
        {u"CONSOLE.exe", NameError::None},
        {u"COM10", NameError::None},
        {u"", NameError::Empty},
        {u".", NameError::DotElement},
        {u"..", NameError::DotElement},
        {u"..\\..\\x", NameError::Separator},
        {u"a/b", NameError::Separator},
        {u"\\\\server\\x", NameError::Separator},
        {u"C:\\x", NameError::Colon},
        {u"a:b", NameError::Colon},
        {u"file.txt:stream", NameError::Colon},
        {u"a<b", NameError::ForbiddenChar},
        {u"a|b", NameError::ForbiddenChar},
        {u"a?b", NameError::ForbiddenChar},
        {u"*.exe", NameError::ForbiddenChar},
        {std::u16string(u"a\0b", 3), NameError::ForbiddenChar},
        {u"tab\tname", NameError::ForbiddenChar},
        {u"name.", NameError::TrailingDotOrSpace},
        {u"name ", NameError::TrailingDotOrSpace},
        {u"...", NameError::TrailingDotOrSpace},
        {u"CON", NameError::ReservedDevice},
        {u"con.txt", NameError::ReservedDevice},
        {u"Nul.tar.gz", NameError::ReservedDevice},
        {u"PRN.", NameError::TrailingDotOrSpace},
        {u"CON .txt", NameError::ReservedDevice},
        {u"com1", NameError::ReservedDevice},
        {u"LPT9.log", NameError::ReservedDevice},
        {u"COM\u00B9", NameError::ReservedDevice},
        {u"conin$", NameError::ReservedDevice},
        {std::u16string(255, u'가'), NameError::None},
        {std::u16string(256, u'a'), NameError::TooLong},
        {std::u16string(300, u'a'), NameError::TooLong},
    };
    for (const NameCase& c : cases) {
        EXPECT_EQ(CheckPlainName(c.text, kPathBufferUnits), c.expected) << Describe(c);
    }
}

// The buffer a name is copied into bounds it, not only the element limit (a 50-unit caption field).
TEST(PathNames, PlainNameMustFitItsBuffer) {
    EXPECT_EQ(CheckPlainName(std::u16string(49, u'a'), 50), NameError::None);
    EXPECT_EQ(CheckPlainName(std::u16string(50, u'a'), 50), NameError::TooLong);
}

TEST(PathNames, DirectoriesFromTheStore) {
    const NameCase cases[] = {
        {u"", NameError::None},
        {u"/data", NameError::None},
        {u"/a/b/c", NameError::None},
        {u"/문서/도움말", NameError::None},
        {u"data", NameError::MissingLeadingSlash},
        {u"C:/x", NameError::MissingLeadingSlash},
        {u"\\\\server\\x", NameError::Separator},
        {u"\\x", NameError::Separator},
        {u"/", NameError::Empty},
        {u"//", NameError::Empty},
        {u"/a//b", NameError::Empty},
        {u"/a/", NameError::Empty},
        {u"/../x", NameError::DotElement},
        {u"/a/../../x", NameError::DotElement},
        {u"/a\\..\\..\\x", NameError::Separator},
        {u"/C:", NameError::Colon},
        {u"/a/CON", NameError::ReservedDevice},
        {u"/lpt1.dir/x", NameError::ReservedDevice},
        {u"/a./b", NameError::TrailingDotOrSpace},
        {u"/a /b", NameError::TrailingDotOrSpace},
        {u"/" + std::u16string(256, u'a'), NameError::TooLong},
    };
    for (const NameCase& c : cases) {
        EXPECT_EQ(CheckDirectory(c.text, kPathBufferUnits), c.expected) << Describe(c);
    }
    // Elements that each pass can still add up past the buffer.
    std::u16string deep;
    for (int i = 0; i < 60; ++i) {
        deep += u"/abcd";
    }
    EXPECT_EQ(CheckDirectory(deep, kPathBufferUnits), NameError::TooLong);
}

TEST(PathNames, SplitDirectoryGivesElementsWithoutLeadingSlash) {
    auto parts = common::SplitDirectory(u"/a/문서/c");
    ASSERT_TRUE(parts.has_value());
    ASSERT_EQ(parts->size(), 3u);
    EXPECT_EQ((*parts)[0], u"a");
    EXPECT_EQ((*parts)[1], u"문서");
    EXPECT_EQ((*parts)[2], u"c");
    EXPECT_TRUE(common::SplitDirectory(u"")->empty());
    EXPECT_FALSE(common::SplitDirectory(u"/../x").has_value());
    EXPECT_FALSE(common::SplitDirectory(u"a/b").has_value());
}

TEST(PathNames, JoinUnderUsesBackslashesBelowTheBase) {
    std::u16string path;
    ASSERT_EQ(JoinUnder(u"E:\\Portable Programs\\메모장", u"/data/img", u"a.png", kPathBufferUnits, path),
              NameError::None);
    EXPECT_EQ(path, u"E:\\Portable Programs\\메모장\\data\\img\\a.png");
    ASSERT_EQ(JoinUnder(u"E:\\Portable Programs\\메모장\\", u"", u"a.exe", kPathBufferUnits, path), NameError::None);
    EXPECT_EQ(path, u"E:\\Portable Programs\\메모장\\a.exe");
    ASSERT_EQ(JoinUnder(u"C:\\WINDOWS\\Temp\\x", u"/a/b", u"", kPathBufferUnits, path), NameError::None);
    EXPECT_EQ(path, u"C:\\WINDOWS\\Temp\\x\\a\\b");
}

TEST(PathNames, JoinUnderRefusesEscapesAndLeavesThePathAlone) {
    const struct {
        std::u16string directory;
        std::u16string name;
        NameError expected;
    } cases[] = {
        {u"/../..", u"autorun.inf", NameError::DotElement},
        {u"", u"..\\..\\autorun.inf", NameError::Separator},
        {u"", u"C:\\boot.ini", NameError::Colon},
        {u"x", u"a", NameError::MissingLeadingSlash},
        {u"//", u"a", NameError::Empty},
        {u"/a", u"con.txt", NameError::ReservedDevice},
    };
    for (const auto& c : cases) {
        std::u16string path = u"unchanged";
        EXPECT_EQ(JoinUnder(u"E:\\P", c.directory, c.name, kPathBufferUnits, path), c.expected)
            << common::Utf16ToUtf8(c.directory + u" | " + c.name);
        EXPECT_EQ(path, u"unchanged");
    }
}

// The joined path must leave room for the terminator: 259 units fit a 260-unit buffer, 260 do not.
TEST(PathNames, JoinUnderChecksTheTotalLength) {
    const std::u16string base = u"E:\\P";  // 4 units, plus "\" and the name
    std::u16string path;
    EXPECT_EQ(JoinUnder(base, u"", std::u16string(254, u'a'), kPathBufferUnits, path), NameError::None);
    EXPECT_EQ(path.size(), 259u);
    path.clear();
    EXPECT_EQ(JoinUnder(base, u"", std::u16string(255, u'a'), kPathBufferUnits, path), NameError::TooLong);
    EXPECT_TRUE(path.empty());
    EXPECT_EQ(JoinUnder(base, u"/" + std::u16string(200, u'b'), std::u16string(60, u'a'), kPathBufferUnits, path),
              NameError::TooLong);
}

}  // namespace
