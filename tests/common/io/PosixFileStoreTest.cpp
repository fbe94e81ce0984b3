// Whole-file reads and atomic replacement on the native file system.
#if !defined(_WIN32)

#include "common/io/PosixFileStore.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "common/text/Utf.h"

namespace {

using common::PosixFileStore;

class PosixFileStoreTest : public testing::Test {
protected:
    void SetUp() override {
        const char* base = getenv("KELVO_TEST_TMP");
        std::string root = base != nullptr ? base : "/tmp";
        mkdir(root.c_str(), 0755);
        std::string pattern = root + "/filestore-XXXXXX";
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_folder = pattern;
    }

    void TearDown() override {
        for (const std::string& name : ListFolder()) {
            unlink((m_folder + "/" + name).c_str());
        }
        rmdir(m_folder.c_str());
    }

    std::u16string Path(const std::string& name) const { return common::Utf8ToUtf16(m_folder + "/" + name); }

    std::vector<std::string> ListFolder() const {
        std::vector<std::string> names;
        if (DIR* dir = opendir(m_folder.c_str())) {
            while (dirent* entry = readdir(dir)) {
                std::string name = entry->d_name;
                if (name != "." && name != "..") {
                    names.push_back(name);
                }
            }
            closedir(dir);
        }
        return names;
    }

    std::string m_folder;
    PosixFileStore m_store;
};

TEST_F(PosixFileStoreTest, WriteReplaceCreatesThenReplacesWithoutLeavingTempFiles) {
    std::u16string path = Path("환경.xml");
    std::vector<uint8_t> first = {0xFF, 0xFE, 'a', 0};
    std::vector<uint8_t> second(100000, 0x5A);
    ASSERT_TRUE(m_store.WriteReplace(path, first));
    EXPECT_EQ(m_store.ReadAll(path), first);
    ASSERT_TRUE(m_store.WriteReplace(path, second));
    EXPECT_EQ(m_store.ReadAll(path), second);
    ASSERT_TRUE(m_store.WriteReplace(path, {}));
    EXPECT_EQ(m_store.ReadAll(path), std::vector<uint8_t>{});
    EXPECT_EQ(ListFolder(), std::vector<std::string>{"환경.xml"});
}

TEST_F(PosixFileStoreTest, WriteReplaceKeepsPermissionBitsOfReplacedFile) {
    std::u16string path = Path("mode.xml");
    ASSERT_TRUE(m_store.WriteReplace(path, {1}));
    std::string native = m_folder + "/mode.xml";
    ASSERT_EQ(chmod(native.c_str(), 0600), 0);
    ASSERT_TRUE(m_store.WriteReplace(path, {2}));
    struct stat info;
    ASSERT_EQ(stat(native.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

// Catches: a store with a mode of its own (the credentials file) creating the file world-readable, or keeping the
// wider bits of a file it replaces.
TEST_F(PosixFileStoreTest, AStoreWithItsOwnModeWritesEveryFileWithIt) {
    PosixFileStore secret(0600);
    std::u16string path = Path("TolvIni.dat");
    std::string native = m_folder + "/TolvIni.dat";
    struct stat info;
    ASSERT_TRUE(secret.WriteReplace(path, {1}));
    ASSERT_EQ(stat(native.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    ASSERT_EQ(chmod(native.c_str(), 0644), 0);
    ASSERT_TRUE(secret.WriteReplace(path, {2}));
    ASSERT_EQ(stat(native.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(secret.ReadAll(path), std::vector<uint8_t>{2});
    EXPECT_EQ(ListFolder(), std::vector<std::string>{"TolvIni.dat"});
}

TEST_F(PosixFileStoreTest, FailedWriteLeavesOldFileAndRemovesTemp) {
    std::u16string path = Path("TolvEnv.xml");
    std::vector<uint8_t> old = {'o', 'l', 'd'};
    ASSERT_TRUE(m_store.WriteReplace(path, old));

    // A file-size limit makes write() fail part-way, even for root, exercising the cleanup after a short write.
    struct rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    struct rlimit small = saved;
    small.rlim_cur = 1000;
    auto previous = signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    bool isReplaced = m_store.WriteReplace(path, std::vector<uint8_t>(5000, 1));
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, previous);

    EXPECT_FALSE(isReplaced);
    EXPECT_EQ(m_store.ReadAll(path), old);
    EXPECT_EQ(ListFolder(), std::vector<std::string>{"TolvEnv.xml"});
}

TEST_F(PosixFileStoreTest, RefusesTargetsThatCannotBeReplaced) {
    EXPECT_FALSE(m_store.WriteReplace(Path("missing-folder/TolvEnv.xml"), {1}));
    ASSERT_EQ(mkdir((m_folder + "/sub").c_str(), 0755), 0);
    EXPECT_FALSE(m_store.WriteReplace(Path("sub"), {1}));
    EXPECT_FALSE(m_store.WriteReplace(u"", {1}));
    rmdir((m_folder + "/sub").c_str());
    EXPECT_TRUE(ListFolder().empty());
}

TEST_F(PosixFileStoreTest, ReadAllRejectsMissingFilesAndFolders) {
    EXPECT_EQ(m_store.ReadAll(Path("none.xml")), std::nullopt);
    EXPECT_EQ(m_store.ReadAll(common::Utf8ToUtf16(m_folder)), std::nullopt);
}

}  // namespace

#endif
