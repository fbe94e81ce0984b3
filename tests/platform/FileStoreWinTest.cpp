// Win32 file store: a save replaces the whole file or nothing, and never leaves a temporary file behind.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <thread>
#include <vector>

#include "common/ipc/SuiteNames.h"
#include "platform/FileStoreWin.h"
#include "platform/WideText.h"

namespace {

class FileStoreWinTest : public testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH] = {};
        ASSERT_GT(::GetTempPathW(MAX_PATH, temp), 0u);
        m_folder = std::wstring(temp) + L"kelvo-filestore-" + std::to_wstring(::GetCurrentProcessId());
        ::CreateDirectoryW(m_folder.c_str(), nullptr);
    }
    void TearDown() override {
        for (const std::wstring& name : Listing()) {
            ::DeleteFileW((m_folder + L"\\" + name).c_str());
        }
        ::RemoveDirectoryW(m_folder.c_str());
    }

    std::u16string PathOf(const std::wstring& name) const { return platform::FromWide(m_folder + L"\\" + name); }

    std::vector<std::wstring> Listing() const {
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW data;
        HANDLE find = ::FindFirstFileW((m_folder + L"\\*").c_str(), &data);
        if (find == INVALID_HANDLE_VALUE) {
            return names;
        }
        do {
            std::wstring name = data.cFileName;
            if (name != L"." && name != L"..") {
                names.push_back(name);
            }
        } while (::FindNextFileW(find, &data));
        ::FindClose(find);
        return names;
    }

    platform::FileStoreWin m_store;
    std::wstring m_folder;
};

TEST_F(FileStoreWinTest, ReplacesAnExistingFileWholeWithKoreanName) {
    std::u16string path = PathOf(L"환경.xml");
    ASSERT_TRUE(m_store.WriteReplace(path, {1, 2, 3, 4, 5, 6, 7, 8}));
    ASSERT_TRUE(m_store.WriteReplace(path, {9, 9}));
    auto read = m_store.ReadAll(path);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(*read, (std::vector<uint8_t>{9, 9}));
    EXPECT_EQ(Listing(), std::vector<std::wstring>{L"환경.xml"}) << "no temporary file may stay behind";
}

TEST_F(FileStoreWinTest, FailedReplaceLeavesTheOldFileAndNoTemporary) {
    std::u16string path = PathOf(platform::WideCStr(common::kEnvironmentFile));
    ASSERT_TRUE(m_store.WriteReplace(path, {1, 2, 3}));
    // A reader holding the file without delete sharing makes the replace fail, as a virus scanner might.
    HANDLE held = ::CreateFileW(platform::ToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(m_store.WriteReplace(path, {7, 7, 7, 7}));
    ::CloseHandle(held);
    EXPECT_EQ(m_store.ReadAll(path).value_or(std::vector<uint8_t>{}), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(Listing(), std::vector<std::wstring>{platform::WideCStr(common::kEnvironmentFile)});
}

// Catches: a save lost because another reader of the file (the launcher, the settings program, the agent's own
// check of the file) had it open at that moment: the suite's readers share it fully, yet the system still refuses
// to replace a file that is open, so the save must wait for the reader to let go.
TEST_F(FileStoreWinTest, ReplaceWaitsForAReaderThatLetsGoSoon) {
    std::u16string path = PathOf(platform::WideCStr(common::kEnvironmentFile));
    ASSERT_TRUE(m_store.WriteReplace(path, {1, 2, 3}));
    HANDLE held = ::CreateFileW(platform::ToWide(path).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::thread reader([held] {
        ::Sleep(50);
        ::CloseHandle(held);
    });
    const bool isSaved = m_store.WriteReplace(path, {7, 7, 7, 7});
    reader.join();
    EXPECT_TRUE(isSaved);
    EXPECT_EQ(m_store.ReadAll(path).value_or(std::vector<uint8_t>{}), (std::vector<uint8_t>{7, 7, 7, 7}));
    EXPECT_EQ(Listing(), std::vector<std::wstring>{platform::WideCStr(common::kEnvironmentFile)});
}

TEST_F(FileStoreWinTest, MissingFolderOrFileFailsCleanly) {
    EXPECT_FALSE(m_store.WriteReplace(PathOf(L"no-such-folder\\a.xml"), {1}));
    EXPECT_FALSE(m_store.ReadAll(PathOf(L"absent.xml")).has_value());
    EXPECT_FALSE(m_store.ReadAll(platform::FromWide(m_folder)).has_value()) << "a folder is not a file";
}

}  // namespace
