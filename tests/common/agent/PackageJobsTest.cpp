// The package engine's portable decisions: jobs from the store page, addresses, paths, percent, file edits, and
// the update check's requests, paths and version rule.
#include "common/agent/PackageJobs.h"
#include "common/agent/UpdateCheck.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "common/model/PageGrid.h"
#include "tests/common/io/MemoryFileStore.h"

namespace {

using common::CEnvironmentFile;

const std::u16string kEnvPath = u"T:\\Kelvo\\TolvEnv.xml";

// Catches: a store page name that climbs out of the download folder or into another store directory, a name too
// long for its field cut into another name, and the profile path built in another shape.
TEST(PackageJobs, JobsAreMadeOnlyFromPlainNames) {
    auto job = common::MakePackageJob(101, u"utility", u"한글메모장");
    ASSERT_TRUE(job);
    EXPECT_EQ(job->packageIndex, 101);
    EXPECT_EQ(job->profilePath.Get(), u"/utility/한글메모장/Profile.xml");
    EXPECT_EQ(job->packageName.Get(), u"한글메모장");
    EXPECT_EQ(common::ProfileUrl(u"127.0.0.1:18080", *job),
              u"HTTP://127.0.0.1:18080/application/utility/한글메모장/Profile.xml");
    for (const char16_t* bad : {u"", u"..", u"a/b", u"a\\b", u"C:", u"NUL", u"x "}) {
        EXPECT_FALSE(common::MakePackageJob(1, bad, u"name")) << std::u16string(bad).size();
        EXPECT_FALSE(common::MakePackageJob(1, u"dir", bad)) << std::u16string(bad).size();
    }
    EXPECT_TRUE(common::MakePackageJob(1, u"dir", std::u16string(99, u'a')));
    EXPECT_FALSE(common::MakePackageJob(1, u"dir", std::u16string(100, u'a')));
}

// Catches: a file address without the slash between ALIAS-relative parts, the directory re-shaped, and paths
// that do not nest the profile's directory.
TEST(PackageJobs, AddressesAndPathsFollowTheProfile) {
    EXPECT_EQ(common::PackageFileUrl(u"h:21", u"graphics", u"Viewer", u"/doc/img", u"한글 설명.txt"),
              u"FTP://h:21/application/graphics/Viewer/doc/img/한글 설명.txt");
    EXPECT_EQ(common::PackageFileUrl(u"h", u"b", u"A", u"", u"a.exe"), u"FTP://h/application/b/A/a.exe");
    EXPECT_EQ(common::PackageProgramPath(u'T', u"Viewer", u"viewer.exe"), u"T:\\Portable Programs\\Viewer\\viewer.exe");

    std::u16string path;
    ASSERT_EQ(common::DownloadPath(u"C:\\windows\\Temp", u"Viewer", u"/doc/img", u"a.txt", path),
              common::NameError::None);
    EXPECT_EQ(path, u"C:\\windows\\Temp\\Viewer\\doc\\img\\a.txt");
    ASSERT_EQ(common::InstallPath(u"T:\\Portable Programs\\Viewer", u"", u"viewer.exe", path), common::NameError::None);
    EXPECT_EQ(path, u"T:\\Portable Programs\\Viewer\\viewer.exe");
    std::u16string longTemp = u"C:\\" + std::u16string(250, u't');
    EXPECT_EQ(common::DownloadPath(longTemp, u"Viewer", u"/doc", u"a.txt", path), common::NameError::TooLong);
}

// Catches: a percent past 100 or below 0 sent to the launcher, and a division by a zero total.
TEST(PackageJobs, PercentStaysWithinRange) {
    EXPECT_EQ(common::ProgressPercent(0, 0), 0);
    EXPECT_EQ(common::ProgressPercent(10, 0), 0);
    EXPECT_EQ(common::ProgressPercent(1, 3), 33);
    EXPECT_EQ(common::ProgressPercent(2, 3), 66);
    EXPECT_EQ(common::ProgressPercent(3, 3), 100);
    EXPECT_EQ(common::ProgressPercent(7, 3), 100);
    EXPECT_EQ(common::ProgressPercent(-5, 3), 0);
    EXPECT_EQ(common::ProgressPercent(INT64_MAX / 2, INT64_MAX), 50);
}

std::string Env(const std::string& pages, int pageNum) {
    return "<TolvEnv><MAINMENU><B1><TYPE>12</TYPE></B1></MAINMENU><PAGEENV><PageNum>" + std::to_string(pageNum) +
           "</PageNum><CurrentPage>0</CurrentPage>" + pages + "</PAGEENV></TolvEnv>";
}

std::string Page(int count, int firstId) {
    std::string page = "<Page><PackageCount>" + std::to_string(count) + "</PackageCount>";
    for (int i = 0; i < count; ++i) {
        page += "<Package><PKGTYPE>1</PKGTYPE><PKGID>" + std::to_string(firstId + i) +
                "</PKGID><TYPE>0</TYPE><CAPTION>p</CAPTION><PATH>T:\\p.exe</PATH><UPDATEFLAG>0</UPDATEFLAG></Package>";
    }
    return page + "</Page>";
}

class EnvEdits : public testing::Test {
protected:
    void Put(const std::string& xml) { m_store.files[kEnvPath] = std::vector<uint8_t>(xml.begin(), xml.end()); }
    std::unique_ptr<CEnvironmentFile> Reread() {
        auto file = std::make_unique<CEnvironmentFile>(m_store, kEnvPath);
        EXPECT_TRUE(file->Load());
        return file;
    }
    kelvo_test::MemoryFileStore m_store;
    CEnvironmentFile m_file{m_store, kEnvPath};
};

// Catches: an announced package that exists being added twice, a new one put on a full page, and nothing
// written when every page is full or the file is unreadable.
TEST_F(EnvEdits, AnnouncedPackagesAreMarkedOrAddedToTheFirstPageWithRoom) {
    Put(Env(Page(16, 1) + Page(2, 100), 2));
    ASSERT_TRUE(common::AddPackageToEnv(m_file, 101, u"뷰어", u"T:\\Portable Programs\\Viewer\\viewer.exe"));
    ASSERT_TRUE(common::AddPackageToEnv(m_file, 500, u"새것", u"T:\\Portable Programs\\새것\\a.exe"));
    auto file = Reread();
    EXPECT_EQ(file->Pages()[0].packages.size(), 16u);
    ASSERT_EQ(file->Pages()[1].packages.size(), 3u);
    EXPECT_EQ(file->Pages()[1].packages[1].record.updateFlag, common::kStateInstalling);
    EXPECT_EQ(file->Pages()[1].packages[1].record.caption.Get(), u"p") << "an existing package keeps its caption";
    const common::PackageRecord& added = file->Pages()[1].packages[2].record;
    EXPECT_EQ(added.pkgType, 1);
    EXPECT_EQ(added.pkgId, 500);
    EXPECT_EQ(added.updateFlag, common::kStateInstalling);
    EXPECT_EQ(added.caption.Get(), u"새것");
    EXPECT_EQ(added.icon.Get(), u"T:\\Portable Programs\\새것\\a.exe");

    ASSERT_TRUE(common::ClearUpdateFlag(m_file, 500));
    EXPECT_EQ(Reread()->Pages()[1].packages[2].record.updateFlag, common::kStateNormal);
    EXPECT_FALSE(common::ClearUpdateFlag(m_file, 999));

    // A first install that failed takes its entry back; a package that is not being installed stays.
    EXPECT_FALSE(common::RemoveInstallingPackage(m_file, 500)) << "installed by now";
    ASSERT_TRUE(common::AddPackageToEnv(m_file, 600, u"실패", u"T:\\Portable Programs\\실패\\a.exe"));
    ASSERT_TRUE(common::RemoveInstallingPackage(m_file, 600));
    file = Reread();
    ASSERT_EQ(file->Pages()[1].packages.size(), 3u);
    EXPECT_EQ(file->Pages()[1].packages[2].record.pkgId, 500);
    EXPECT_FALSE(common::RemoveInstallingPackage(m_file, 600));

    Put(Env(Page(16, 1), 1));
    int writes = m_store.writeCount;
    EXPECT_FALSE(common::AddPackageToEnv(m_file, 777, u"x", u"T:\\x.exe"));
    EXPECT_EQ(m_store.writeCount, writes);
    m_store.files.erase(kEnvPath);
    EXPECT_FALSE(common::AddPackageToEnv(m_file, 777, u"x", u"T:\\x.exe"));
    EXPECT_FALSE(common::ClearUpdateFlag(m_file, 1));
    EXPECT_FALSE(common::RemoveInstallingPackage(m_file, 1));
}

}  // namespace

namespace {

// Catches: a profile path that reaches other addresses on the store's server, and folder names that climb out
// of the check's own folder or out of "Portable Programs".
TEST(UpdateCheck, TakesOnlyStoreShapedPathsAndPlainFolderNames) {
    EXPECT_TRUE(common::IsStoreProfilePath(u"/utility/한글메모장/Profile.xml"));
    for (const char16_t* bad :
         {u"/utility/Profile.xml", u"/a/b/c/Profile.xml", u"/../b/Profile.xml", u"utility/x/Profile.xml",
          u"/a/b/Profile.xml?x=1", u"/a/b/profile.txt", u"/a//Profile.xml", u""}) {
        EXPECT_FALSE(common::IsStoreProfilePath(bad)) << std::u16string(bad).size();
        EXPECT_FALSE(common::SplitStoreProfilePath(bad));
    }
    std::optional<common::StoreProfileParts> parts = common::SplitStoreProfilePath(u"/utility/한글메모장/Profile.xml");
    ASSERT_TRUE(parts);
    EXPECT_EQ(parts->storeDirectory, u"utility");
    EXPECT_EQ(parts->packageName, u"한글메모장");
    EXPECT_EQ(common::UpdateCheckDownloadPath(u"C:\\windows\\Temp", u"Viewer"),
              u"C:\\windows\\Temp\\Kelvo-check\\Viewer\\Profile.xml");
    EXPECT_EQ(common::DriveProfilePath(u'T', u"Viewer"), u"T:\\Portable Programs\\Viewer\\Profile.xml");
    for (const char16_t* bad : {u"", u"..", u"a\\b", u"C:", u"CON"}) {
        EXPECT_FALSE(common::UpdateCheckDownloadPath(u"C:\\windows\\Temp", bad));
        EXPECT_FALSE(common::DriveProfilePath(u'T', bad));
    }
}

// Catches: versions compared as numbers or by order, letter case counted, and a missing drive version taken as
// up to date.
TEST(UpdateCheck, AnyDifferenceButCaseIsAnUpdate) {
    EXPECT_FALSE(common::IsUpdateAvailable(u"2.0", std::u16string(u"2.0")));
    EXPECT_FALSE(common::IsUpdateAvailable(u"1.0B", std::u16string(u"1.0b")));
    EXPECT_TRUE(common::IsUpdateAvailable(u"2.0", std::u16string(u"2.0a")));
    EXPECT_TRUE(common::IsUpdateAvailable(u"1.9", std::u16string(u"2.0")));
    EXPECT_TRUE(common::IsUpdateAvailable(u"1.0", std::u16string(u"1.00")));
    EXPECT_TRUE(common::IsUpdateAvailable(u"1.0", std::nullopt));
}

}  // namespace
