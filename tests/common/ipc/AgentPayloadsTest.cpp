// The records the settings program sends the agent: where each field lies, what a short record gives, and that
// each writer's bytes read back through the agent's readers.
#include "common/ipc/AgentPayloads.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "common/agent/HotKeyBinding.h"

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

int32_t I32At(const std::vector<uint8_t>& bytes, size_t offset) {
    uint32_t v = uint32_t(bytes[offset]) | uint32_t(bytes[offset + 1]) << 8 | uint32_t(bytes[offset + 2]) << 16 |
                 uint32_t(bytes[offset + 3]) << 24;
    int32_t result;
    std::memcpy(&result, &v, 4);
    return result;
}

void PutI32(std::vector<uint8_t>& bytes, size_t offset, int32_t value) {
    uint32_t v;
    std::memcpy(&v, &value, 4);
    for (size_t i = 0; i < 4; ++i) {
        bytes[offset + i] = static_cast<uint8_t>(v >> (8 * i));
    }
}

// The NUL-terminated UTF-16 text at a byte offset.
std::u16string TextAt(const std::vector<uint8_t>& bytes, size_t offset) {
    std::u16string text;
    for (size_t i = offset; i + 1 < bytes.size(); i += 2) {
        char16_t c = static_cast<char16_t>(bytes[i] | bytes[i + 1] << 8);
        if (c == 0) {
            break;
        }
        text.push_back(c);
    }
    return text;
}

// Catches: a kind-0 record read past a short buffer or past a field without a terminator, and the settings
// program's fields swapped.
TEST(UpdateCheckPayload, ReadsTheTwoFieldsOfAKindZeroRecord) {
    std::vector<uint8_t> bytes(1564, 0);
    const std::u16string path = u"/utility/한글메모장/Profile.xml";
    std::memcpy(bytes.data(), path.data(), path.size() * 2);
    const std::u16string folder(300, u'f');
    std::memcpy(bytes.data() + 520, folder.data(), 520);
    auto payload = common::UpdateCheckPayload::Read(bytes.data(), bytes.size());
    ASSERT_TRUE(payload);
    EXPECT_EQ(payload->profilePath, path);
    EXPECT_EQ(payload->folderName.size(), 259u);
    EXPECT_FALSE(common::UpdateCheckPayload::Read(bytes.data(), 1563));
    EXPECT_FALSE(common::UpdateCheckPayload::Read(nullptr, 1564));
}

// Catches: the close path read from the wrong offset, a Korean path losing its high bytes, and an
// unterminated field running into the next.
TEST(AutoProgramsPayload, ReadsBothFieldsOfTheKindOnePayload) {
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

// Catches: a short payload read past its end, a longer one read by its head, and the settings program's record
// (1564 bytes, the two fields then bytes the agent does not look at) refused.
TEST(AutoProgramsPayload, ReadsOnlyTheSettingsProgramsKindOneRecord) {
    std::vector<uint8_t> bytes = Payload(u"T:\\a.exe", u"T:\\b.exe");
    std::fill(bytes.begin() + 1040, bytes.end(), uint8_t{0xCC});
    bytes.resize(1600, 0xCC);
    EXPECT_FALSE(common::AutoProgramsPayload::Read(bytes.data(), 520));
    EXPECT_FALSE(common::AutoProgramsPayload::Read(bytes.data(), 1040));
    EXPECT_FALSE(common::AutoProgramsPayload::Read(bytes.data(), 1563));
    EXPECT_FALSE(common::AutoProgramsPayload::Read(bytes.data(), 1565));
    EXPECT_FALSE(common::AutoProgramsPayload::Read(nullptr, 1564));
    auto payload = common::AutoProgramsPayload::Read(bytes.data(), 1564);
    ASSERT_TRUE(payload);
    EXPECT_EQ(payload->closePath, u"T:\\b.exe");
}

// Catches: records the agent reads in another layout than it expects.
TEST(AgentPayloads, RecordsReadBackWithTheAgentsReaders) {
    auto update = common::UpdateCheckPayload::Read(
        common::UpdateCheckPayload::ForPackage(u"utility", u"memo").Write().data(), 1564);
    ASSERT_TRUE(update);
    EXPECT_EQ(update->profilePath, u"/utility/memo/Profile.xml");
    EXPECT_EQ(update->folderName, u"memo");
    std::vector<uint8_t> hotKey = common::HotKeyPayload{'Q', true, false, true, false, 42}.Write();
    auto binding = common::ReadHotKeyPayload(hotKey.data(), hotKey.size());
    ASSERT_TRUE(binding);
    EXPECT_EQ(binding->id, 42);
    EXPECT_EQ(binding->key, 'Q');
    std::vector<uint8_t> programs = common::AutoProgramsPayload::ForPackage(u"F:\\a.exe", false, true).Write();
    auto payload = common::AutoProgramsPayload::Read(programs.data(), programs.size());
    ASSERT_TRUE(payload);
    EXPECT_EQ(payload->startPath, u"");
    EXPECT_EQ(payload->closePath, u"F:\\a.exe");
}

// Catches: a writer whose fields drift from the offsets the agent (and any older agent) reads, a record sent at
// the wrong length, and a flag written as something other than 0 or 1.
TEST(AgentPayloads, WritersPutEachFieldAtItsPinnedOffset) {
    std::vector<uint8_t> hotKey = common::HotKeyPayload{'Q', true, false, true, true, -7}.Write();
    ASSERT_EQ(hotKey.size(), 24u);
    const std::vector<int32_t> fields = {'Q', 1, 0, 1, 1, -7};
    for (size_t i = 0; i < fields.size(); ++i) {
        EXPECT_EQ(I32At(hotKey, 4 * i), fields[i]) << "field " << i;
    }

    std::vector<uint8_t> update = common::UpdateCheckPayload::ForPackage(u"utility", u"메모").Write();
    ASSERT_EQ(update.size(), 1564u);
    EXPECT_EQ(TextAt(update, 0), u"/utility/메모/Profile.xml");
    EXPECT_EQ(TextAt(update, 520), u"메모");
    EXPECT_TRUE(std::all_of(update.begin() + 1040, update.end(), [](uint8_t b) { return b == 0; }));

    std::vector<uint8_t> programs = common::AutoProgramsPayload::ForPackage(u"F:\\시작.exe", true, false).Write();
    ASSERT_EQ(programs.size(), 1564u);
    EXPECT_EQ(TextAt(programs, 0), u"F:\\시작.exe");
    EXPECT_EQ(TextAt(programs, 520), u"");
}

// Catches: a path longer than its field overwriting the next field or losing its terminator, so the agent would
// read the two paths run together.
TEST(AgentPayloads, LongTextsAreCutToKeepEachFieldTerminated) {
    const std::u16string longPath(300, u'경');
    auto update = common::UpdateCheckPayload::Read(common::UpdateCheckPayload{longPath, u"f"}.Write().data(), 1564);
    ASSERT_TRUE(update);
    EXPECT_EQ(update->profilePath, longPath.substr(0, 259));
    EXPECT_EQ(update->folderName, u"f");

    auto programs = common::AutoProgramsPayload::Read(
        common::AutoProgramsPayload::ForPackage(longPath, true, true).Write().data(), 1564);
    ASSERT_TRUE(programs);
    EXPECT_EQ(programs->startPath, longPath.substr(0, 259));
    EXPECT_EQ(programs->closePath, longPath.substr(0, 259));
}

// Catches: a kind-6 record whose flags are read only when exactly 1 (an older sender may write any nonzero value),
// and a key whose high bits leak into the character.
TEST(HotKeyPayload, ReadsAnyNonzeroFlagAsSetAndOnlyTheKeysLowByte) {
    std::vector<uint8_t> bytes(24, 0);
    const std::vector<int32_t> fields = {0x1241, 2, 0, -1, 0, 9};
    for (size_t i = 0; i < fields.size(); ++i) {
        PutI32(bytes, 4 * i, fields[i]);
    }
    auto payload = common::HotKeyPayload::Read(bytes.data(), bytes.size());
    ASSERT_TRUE(payload);
    EXPECT_EQ(payload->key, 0x41);
    EXPECT_TRUE(payload->alt);
    EXPECT_FALSE(payload->shift);
    EXPECT_TRUE(payload->ctrl);
    EXPECT_FALSE(payload->win);
    EXPECT_EQ(payload->id, 9);
    EXPECT_FALSE(common::HotKeyPayload::Read(bytes.data(), 23));
    bytes.resize(28, 0);
    EXPECT_FALSE(common::HotKeyPayload::Read(bytes.data(), 28));
}

}  // namespace
