// Tests of the auto-start and auto-close lists and the kind-1 payload.
#include "common/agent/ProgramList.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<uint8_t> Payload(const std::u16string& start, const std::u16string& close) {
    std::vector<uint8_t> bytes(common::AutoProgramsPayload::kSize, 0);
    for (size_t i = 0; i < start.size(); ++i) {
        bytes[2 * i] = static_cast<uint8_t>(start[i]);
        bytes[2 * i + 1] = static_cast<uint8_t>(start[i] >> 8);
    }
    for (size_t i = 0; i < close.size(); ++i) {
        bytes[520 + 2 * i] = static_cast<uint8_t>(close[i]);
        bytes[520 + 2 * i + 1] = static_cast<uint8_t>(close[i] >> 8);
    }
    return bytes;
}

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

// Catches: the close path read from the wrong offset, a Korean path losing its high bytes, and an
// unterminated field running into the next.
TEST(ProgramList, ReadsBothFieldsOfTheKindOnePayload) {
    auto bytes = Payload(u"T:\\시작.exe", u"T:\\끝.exe");
    auto payload = common::AutoProgramsPayload::Read(bytes.data(), bytes.size());
    ASSERT_TRUE(payload);
    EXPECT_EQ(payload->startPath, u"T:\\시작.exe");
    EXPECT_EQ(payload->closePath, u"T:\\끝.exe");

    bytes = Payload(std::u16string(260, u'a'), u"");
    payload = common::AutoProgramsPayload::Read(bytes.data(), bytes.size());
    ASSERT_TRUE(payload);
    EXPECT_EQ(payload->startPath.size(), 259u);
    EXPECT_EQ(payload->closePath, u"");
}

// Catches: a short payload read past its end, and the settings program's longer record (1564 bytes) refused.
TEST(ProgramList, ReadsAKindOnePayloadOfAtLeastTwoFields) {
    std::vector<uint8_t> bytes = Payload(u"T:\\a.exe", u"T:\\b.exe");
    bytes.resize(1564, 0xCC);
    EXPECT_FALSE(common::AutoProgramsPayload::Read(bytes.data(), 520));
    EXPECT_FALSE(common::AutoProgramsPayload::Read(bytes.data(), 1039));
    EXPECT_FALSE(common::AutoProgramsPayload::Read(nullptr, 1564));
    EXPECT_TRUE(common::AutoProgramsPayload::Read(bytes.data(), 1040));
    auto payload = common::AutoProgramsPayload::Read(bytes.data(), 1564);
    ASSERT_TRUE(payload);
    EXPECT_EQ(payload->closePath, u"T:\\b.exe");
}

}  // namespace
