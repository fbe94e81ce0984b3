// Path and name helpers on Windows-style paths.
#include "common/ipc/SuiteNames.h"
#include "common/text/PathUtil.h"

#include <gtest/gtest.h>

namespace {

using namespace common;

TEST(PathUtil, FolderOfStopsBeforeLastBackslash) {
    EXPECT_EQ(FolderOf(u"E:\\Kelvo\\Tolv.exe"), u"E:\\Kelvo");
    EXPECT_EQ(FolderOf(u"E:\\Tolv.exe"), u"E:");
    EXPECT_EQ(FolderOf(u"\\Tolv.exe"), u"");
    EXPECT_EQ(FolderOf(common::kLauncherProgram), std::nullopt);
    EXPECT_EQ(FolderOf(u""), std::nullopt);
}

TEST(PathUtil, JoinPathAddsOneBackslash) {
    EXPECT_EQ(JoinPath(u"E:\\Kelvo", common::kEnvironmentFile), u"E:\\Kelvo\\TolvEnv.xml");
    EXPECT_EQ(JoinPath(u"E:", common::kEnvironmentFile), u"E:\\TolvEnv.xml");
    EXPECT_EQ(JoinPath(u"E:\\", common::kEnvironmentFile), u"E:\\TolvEnv.xml");
    EXPECT_EQ(JoinPath(u"", u"a"), u"\\a");
}

TEST(PathUtil, ReplaceDriveLetterOnlyWhenSecondCharIsColon) {
    EXPECT_EQ(ReplaceDriveLetter(u"c:\\Portable Programs\\x.exe", u'F'), u"F:\\Portable Programs\\x.exe");
    EXPECT_EQ(ReplaceDriveLetter(u"c:", u'F'), u"F:");
    EXPECT_EQ(ReplaceDriveLetter(u"explorer.exe", u'F'), u"explorer.exe");
    EXPECT_EQ(ReplaceDriveLetter(u"\\\\server\\share", u'F'), u"\\\\server\\share");
    EXPECT_EQ(ReplaceDriveLetter(u"c", u'F'), u"c");
    EXPECT_EQ(ReplaceDriveLetter(u"", u'F'), u"");
}

TEST(PathUtil, FileTitleDropsFolderAndLastExtension) {
    EXPECT_EQ(FileTitle(u"E:\\Docs\\보고서.final.hwp"), u"보고서.final");
    EXPECT_EQ(FileTitle(u"E:\\Docs\\README"), u"README");
    EXPECT_EQ(FileTitle(u"E:/Docs/a.txt"), u"a");
    EXPECT_EQ(FileTitle(u"E:\\dir.d\\noext"), u"noext");
    EXPECT_EQ(FileTitle(u"E:\\.profile"), u".profile");
    EXPECT_EQ(FileTitle(u"E:\\Docs\\"), u"");
}

TEST(PathUtil, ExtensionStartsWithIgnoresCaseAndFolderDots) {
    EXPECT_TRUE(ExtensionStartsWith(u"E:\\x\\Link.LNK", u".lnk"));
    EXPECT_TRUE(ExtensionStartsWith(u"E:\\x\\setup.exe", u".ex"));
    EXPECT_FALSE(ExtensionStartsWith(u"E:\\x.lnk\\file", u".lnk"));
    EXPECT_FALSE(ExtensionStartsWith(u"E:\\x\\file.ln", u".lnk"));
    EXPECT_FALSE(ExtensionStartsWith(u"noext", u"."));
}

}  // namespace
