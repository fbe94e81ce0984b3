// The suite's own update: reading its profile, the version rule, and where each file is installed.
#include "common/ipc/SuiteNames.h"
#include "common/update/SuiteUpdate.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<uint8_t> Bytes(const std::string& text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

std::string Entry(const std::string& name, const std::string& comparison, int size, int real) {
    return "<FILE><FILENAME>" + name + "</FILENAME><DIRECTORY>/ignored</DIRECTORY><COMPARISON>" + comparison +
           "</COMPARISON><FILESIZE>" + std::to_string(size) + "</FILESIZE><REALSIZE>" + std::to_string(real) +
           "</REALSIZE></FILE>";
}

// Catches: another document taken for the suite's profile, entries or sizes lost, a size read without S, and a
// server file name that would land outside the suite folder taken at all.
TEST(SuiteUpdate, ReadsTheProfileAndRefusesFileNamesThatLeaveTheSuite) {
    common::SuiteUpdateProfile profile;
    std::string text = "<?xml version=\"1.0\"?><UPDATEPROFILE><GAMEFILELIST>" + Entry("Tolv.exe", "S", 10, 12) +
                       Entry("Start.exe", "SD", 5, 5) + Entry("readme.txt", "D", 7, 8) +
                       "</GAMEFILELIST><HEAD><VERSION>1.0.1</VERSION></HEAD></UPDATEPROFILE>";
    ASSERT_EQ(common::ReadSuiteUpdateProfile(Bytes(text), profile), common::SuiteProfileError::None);
    EXPECT_EQ(profile.version, u"1.0.1");
    ASSERT_EQ(profile.files.size(), 3u);
    EXPECT_EQ(profile.files[1].fileName, common::kStarterProgram);
    EXPECT_EQ(profile.files[2].fetchedSize, -1) << "FILESIZE counts only with S";
    EXPECT_EQ(profile.fileSizeTotal, 15);
    EXPECT_EQ(profile.realSizeTotal, 25);

    for (const char* bad : {"..\\Windows\\x.exe", "a/b.exe", "C:x.exe", "CON", ""}) {
        std::string hostile = "<UPDATEPROFILE><HEAD><VERSION>2</VERSION></HEAD><GAMEFILELIST>" + Entry(bad, "S", 1, 1) +
                              "</GAMEFILELIST></UPDATEPROFILE>";
        EXPECT_EQ(common::ReadSuiteUpdateProfile(Bytes(hostile), profile), common::SuiteProfileError::BadFileName)
            << bad;
        EXPECT_TRUE(profile.files.empty());
        EXPECT_TRUE(profile.version.empty());
    }
    EXPECT_EQ(common::ReadSuiteUpdateProfile(Bytes("<PROFILE><HEAD/></PROFILE>"), profile),
              common::SuiteProfileError::NotAProfile);
    EXPECT_EQ(common::ReadSuiteUpdateProfile(Bytes("<UPDATEPROFILE></UPDATEPROFILE>"), profile),
              common::SuiteProfileError::NotAProfile);
    EXPECT_EQ(common::ReadSuiteUpdateProfile(Bytes("<html>404</html>"), profile),
              common::SuiteProfileError::NotAProfile);
}

// Catches: versions ordered as numbers, letter case counted, a trailing blank ignored, a missing local profile
// taken as current, and an unreadable server profile offered as an update.
TEST(SuiteUpdate, OffersAnyDifferentServerVersion) {
    EXPECT_FALSE(common::IsSuiteUpdateOffered(u"1.0.1", u"1.0.1"));
    EXPECT_FALSE(common::IsSuiteUpdateOffered(u"1.0a", u"1.0A"));
    EXPECT_TRUE(common::IsSuiteUpdateOffered(u"1.2", u"1.1"));
    EXPECT_TRUE(common::IsSuiteUpdateOffered(u"1.0", u"1.0 "));
    EXPECT_TRUE(common::IsSuiteUpdateOffered(u"", u"1.0"));
    EXPECT_FALSE(common::IsSuiteUpdateOffered(u"1.0", u""));
    EXPECT_FALSE(common::IsSuiteUpdateOffered(u"", u""));
}

// Catches: the starter put in the suite folder (autorun.inf names it at the drive root), and any other file put
// elsewhere.
TEST(SuiteUpdate, TheStarterGoesToTheDriveRootEveryOtherFileToTheSuite) {
    EXPECT_EQ(common::SuiteUpdateTarget(u"K:\\Kelvo", common::kLauncherProgram), u"K:\\Kelvo\\Tolv.exe");
    EXPECT_EQ(common::SuiteUpdateTarget(u"K:\\Kelvo", common::kStagedUpdaterProgram), u"K:\\Kelvo\\KelvoUp.ex_");
    EXPECT_EQ(common::SuiteUpdateTarget(u"K:\\Kelvo", u"start.EXE"), u"K:\\start.EXE");
    EXPECT_FALSE(common::SuiteUpdateTarget(u"K:\\Kelvo", u"..\\x.exe"));
    EXPECT_FALSE(common::SuiteUpdateTarget(u"", common::kLauncherProgram));
}

}  // namespace
