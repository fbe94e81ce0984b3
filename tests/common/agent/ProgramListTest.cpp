// Tests of the auto-start and auto-close lists.
#include "common/agent/ProgramList.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Catches: a path already listed in another case being added again (it would then start twice), and an
// empty path being listed.
TEST(ProgramList, AppendUniqueIgnoresCaseAndEmptyPaths) {
    common::ProgramList list;
    EXPECT_TRUE(list.AppendUnique(u"T:\\Portable Programs\\Memo\\memo.exe"));
    EXPECT_FALSE(list.AppendUnique(u"t:\\PORTABLE programs\\memo\\MEMO.EXE"));
    EXPECT_FALSE(list.AppendUnique(u""));
    EXPECT_TRUE(list.AppendUnique(u"T:\\Portable Programs\\메모\\memo.exe"));
    EXPECT_FALSE(list.AppendUnique(u"T:\\Portable Programs\\메모\\Memo.exe"));
    EXPECT_EQ(list.Paths().size(), 2u);
    EXPECT_EQ(list.Paths()[0], u"T:\\Portable Programs\\Memo\\memo.exe") << "the first spelling is kept";
}

// Catches: the environment file's list being de-duplicated (each entry is its own start), and long paths
// overrunning the 260-unit buffer the list promises.
TEST(ProgramList, AppendKeepsDuplicatesAndCutsLongPaths) {
    common::ProgramList list;
    list.Append(u"a.exe");
    list.Append(u"A.EXE");
    list.Append(std::u16string(300, u'x'));
    ASSERT_EQ(list.Paths().size(), 3u);
    EXPECT_EQ(list.Paths()[2].size(), common::ProgramList::kMaxUnits);
    // A cut path compares with what the list holds, so the same long path is not added twice.
    EXPECT_FALSE(list.AppendUnique(std::u16string(400, u'X')));
}

}  // namespace
