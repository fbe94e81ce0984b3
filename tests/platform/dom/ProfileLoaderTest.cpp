// Profiles read from disk through MSXML into the portable model: both encodings, hostile names, huge lists.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <string>

#include "platform/WideText.h"
#include "platform/dom/ProfileLoader.h"

namespace {

std::wstring ProfilePath(const char* name) {
    std::string path = std::string(KELVO_TEST_DATA) + "/profiles/" + name;
    return std::wstring(path.begin(), path.end());
}

TEST(ProfileLoader, ReadsTheSameProfileFromUtf8AndUtf16) {
    for (const char* name : {"memo-utf8.xml", "memo-utf16.xml"}) {
        common::PackageProfile profile;
        ASSERT_EQ(platform::LoadProfileFile(ProfilePath(name), profile), common::ProfileError::None) << name;
        EXPECT_EQ(profile.head.alias, u"한글메모장");
        EXPECT_EQ(profile.head.exeFile, u"메모장.exe");
        ASSERT_GE(profile.files.size(), 2u);
        EXPECT_EQ(profile.files[0].realSize, 20971520);
        EXPECT_EQ(profile.files[1].directory, u"/문서/도움말");
        EXPECT_EQ(profile.files[1].fileName, u"설명서.txt");
    }
}

TEST(ProfileLoader, RefusesAProfileWhoseNamesClimbOutOfThePackage) {
    common::PackageProfile profile;
    common::ProfileProblem problem{};
    EXPECT_EQ(platform::LoadProfileFile(ProfilePath("traversal.xml"), profile, &problem),
              common::ProfileError::BadDirectory);
    EXPECT_TRUE(profile.files.empty()) << "a refused profile is refused whole";
}

TEST(ProfileLoader, HugeFileListIsRefusedByItsLimitWithoutOverflow) {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    std::wstring path = std::wstring(temp) + L"kelvo-huge-profile.xml";
    {
        std::ofstream out(path.c_str(), std::ios::binary);
        out << "<P><HEAD><VERSION>1</VERSION><CHANNEL>c</CHANNEL><ALIAS>big</ALIAS><EXEFILE>b.exe</EXEFILE></HEAD>"
               "<GAMEFILELIST>";
        for (int i = 0; i < 50000; ++i) {
            out << "<FILE><FILENAME>f" << i << ".bin</FILENAME><REALSIZE>9223372036854775807</REALSIZE></FILE>";
        }
        out << "</GAMEFILELIST></P>";
    }
    common::PackageProfile profile;
    EXPECT_EQ(platform::LoadProfileFile(path, profile), common::ProfileError::TooManyFiles);
    ::DeleteFileW(path.c_str());
}

TEST(ProfileLoader, MissingOrBrokenFileIsRefused) {
    common::PackageProfile profile;
    EXPECT_EQ(platform::LoadProfileFile(L"Z:\\no\\such\\Profile.xml", profile), common::ProfileError::NoHead);
}

}  // namespace
