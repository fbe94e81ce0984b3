// The one file replace: a target is the old file or the whole new one, and nothing staged stays behind.
#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/FileBytes.h"
#include "platform/FileReplace.h"
#include "platform/UniqueHandle.h"
#include "tests/platform/ScratchDir.h"

namespace {

std::string ReadAll(const std::wstring& path) {
    std::optional<std::vector<uint8_t>> bytes = platform::ReadFileUpTo(path, 1 << 20);
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
}

bool Exists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Catches: a copy that writes straight into the target, or leaves its staged copy beside it.
TEST(FileReplace, CopyOverReplacesTheTargetAndKeepsTheSource) {
    kelvo_test::ScratchDir dir;
    ASSERT_TRUE(dir.Write(L"source.bin", "new content"));
    ASSERT_TRUE(dir.Write(L"target.bin", "old"));
    EXPECT_EQ(platform::CopyOver(dir.File(L"source.bin"), dir.File(L"target.bin")), 0u);
    EXPECT_EQ(ReadAll(dir.File(L"target.bin")), "new content");
    EXPECT_EQ(ReadAll(dir.File(L"source.bin")), "new content");
    EXPECT_FALSE(Exists(dir.File(L"target.bin.new")));
    EXPECT_EQ(platform::CopyOver(dir.File(L"source.bin"), dir.File(L"fresh.bin")), 0u) << "a missing target is made";
    EXPECT_EQ(ReadAll(dir.File(L"fresh.bin")), "new content");
}

// Catches: a held target half replaced, a failure reported as success, a staged copy left on the drive.
TEST(FileReplace, AHeldTargetStaysWholeAndTheFailureIsReported) {
    kelvo_test::ScratchDir dir;
    ASSERT_TRUE(dir.Write(L"source.bin", "new content"));
    ASSERT_TRUE(dir.Write(L"target.bin", "old"));
    {
        // A running program holds its file without delete sharing.
        platform::UniqueFileHandle held(::CreateFileW(dir.File(L"target.bin").c_str(), GENERIC_READ, FILE_SHARE_READ,
                                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(held);
        // The check that comes before any step that cannot be undone sees it, as the replace itself does.
        EXPECT_TRUE(platform::IsFileHeld(dir.File(L"target.bin")));
        EXPECT_NE(platform::CopyOver(dir.File(L"source.bin"), dir.File(L"target.bin")), 0u);
    }
    EXPECT_FALSE(platform::IsFileHeld(dir.File(L"target.bin")));
    EXPECT_FALSE(platform::IsFileHeld(dir.File(L"absent.bin")));
    EXPECT_EQ(ReadAll(dir.File(L"target.bin")), "old");
    EXPECT_FALSE(Exists(dir.File(L"target.bin.new")));
}

TEST(FileReplace, MissingSourcesFailWithTheirCode) {
    kelvo_test::ScratchDir dir;
    ASSERT_TRUE(dir.Write(L"target.bin", "old"));
    EXPECT_EQ(platform::MoveOver(dir.File(L"absent.bin"), dir.File(L"target.bin")), DWORD{ERROR_FILE_NOT_FOUND});
    EXPECT_EQ(platform::CopyOver(dir.File(L"absent.bin"), dir.File(L"target.bin")), DWORD{ERROR_FILE_NOT_FOUND});
    EXPECT_EQ(ReadAll(dir.File(L"target.bin")), "old");
    EXPECT_FALSE(Exists(dir.File(L"target.bin.new")));
}

}  // namespace
