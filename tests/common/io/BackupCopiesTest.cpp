// The copies kept beside a file: rotation, what is never kept, and a failed write.
#include "common/io/BackupCopies.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/common/io/MemoryFileStore.h"

namespace {

using common::BackupCopies;

const std::u16string kPath = u"K:\\Kelvo\\TolvEnv.xml";

std::vector<uint8_t> Bytes(const std::string& text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

// The copies from newest to oldest; "-" for a copy that is not there.
std::vector<std::string> Copies(kelvo_test::MemoryFileStore& store) {
    std::vector<std::string> copies;
    for (size_t index = 0; index < BackupCopies::kCopies; ++index) {
        auto bytes = store.ReadAll(BackupCopies::CopyPath(kPath, index));
        copies.push_back(bytes ? std::string(bytes->begin(), bytes->end()) : "-");
    }
    return copies;
}

// Catches: copy names other than the ones a person finds beside the file.
TEST(BackupCopies, NamesTheCopiesBakBak2AndBak3) {
    EXPECT_EQ(BackupCopies::CopyPath(kPath, 0), kPath + u".bak");
    EXPECT_EQ(BackupCopies::CopyPath(kPath, 1), kPath + u".bak2");
    EXPECT_EQ(BackupCopies::CopyPath(kPath, 2), kPath + u".bak3");
}

// Catches: a new copy replacing the only older one, more than three copies piling up, and a copy kept twice.
TEST(BackupCopies, EachNewCopyMovesTheOlderOnesDown) {
    kelvo_test::MemoryFileStore store;
    const std::vector<std::pair<std::string, std::vector<std::string>>> steps = {
        {"one", {"one", "-", "-"}},   {"two", {"two", "one", "-"}},       {"two", {"two", "one", "-"}},
        {"one", {"two", "one", "-"}}, {"three", {"three", "two", "one"}}, {"four", {"four", "three", "two"}},
    };
    for (const auto& [bytes, expected] : steps) {
        ASSERT_TRUE(BackupCopies::Keep(store, kPath, Bytes(bytes)));
        EXPECT_EQ(Copies(store), expected) << "after keeping " << bytes;
    }
    EXPECT_EQ(store.files.size(), 3u) << "nothing but the three copies";
}

// Catches: the suite's own default kept over the user's file (the second bad start in a row would lose it).
TEST(BackupCopies, NeverKeepsTheSuitesDefault) {
    kelvo_test::MemoryFileStore store;
    const std::vector<uint8_t> defaults = Bytes("<TolvEnv>default</TolvEnv>");
    ASSERT_TRUE(BackupCopies::Keep(store, kPath, Bytes("user's"), &defaults));
    ASSERT_TRUE(BackupCopies::Keep(store, kPath, defaults, &defaults));
    EXPECT_EQ(Copies(store), (std::vector<std::string>{"user's", "-", "-"}));
    EXPECT_EQ(store.writeCount, 1);
}

// Catches: a failed copy reported as kept (the caller would then replace the file), and a failure part way
// losing a copy that was kept before.
TEST(BackupCopies, AFailedWriteIsReportedAndLosesNoCopy) {
    kelvo_test::MemoryFileStore store;
    ASSERT_TRUE(BackupCopies::Keep(store, kPath, Bytes("one")));
    ASSERT_TRUE(BackupCopies::Keep(store, kPath, Bytes("two")));
    store.failingPaths.insert(BackupCopies::CopyPath(kPath, 0));
    EXPECT_FALSE(BackupCopies::Keep(store, kPath, Bytes("three")));
    std::vector<std::string> copies = Copies(store);
    EXPECT_EQ(copies[0], "two");
    EXPECT_NE(std::find(copies.begin(), copies.end(), "one"), copies.end());
    store.failingPaths = {BackupCopies::CopyPath(kPath, 2)};
    EXPECT_FALSE(BackupCopies::Keep(store, kPath, Bytes("three")));
    EXPECT_EQ(Copies(store)[0], "two") << "the newest copy stays when the move before it failed";
}

}  // namespace
