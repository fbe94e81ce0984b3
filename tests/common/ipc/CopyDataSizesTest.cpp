// Every WM_COPYDATA kind is taken only at exactly the size the suite's own sender sends: one byte less or one
// byte more, an empty payload or a much longer one is refused by the reader of that kind, and by the launcher's
// check for the kinds it takes.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/agent/HotKeyBinding.h"
#include "common/ipc/AgentPayloads.h"
#include "common/ipc/CopyData.h"
#include "common/model/PackageRecord.h"

namespace {

using Reader = std::function<bool(const void*, size_t)>;

struct KindCase {
    uint32_t kind;
    size_t exactBytes;
    Reader read;         // the receiver's reader of this kind
    bool launcherTakes;  // the launcher, not the agent, receives it
};

std::vector<KindCase> Kinds() {
    return {
        {0, 1564, [](const void* d, size_t n) { return common::UpdateCheckPayload::Read(d, n).has_value(); }, false},
        {1, 1564, [](const void* d, size_t n) { return common::AutoProgramsPayload::Read(d, n).has_value(); }, false},
        {2, 624, [](const void* d, size_t n) { return common::PackageAnnounce::Read(d, n).has_value(); }, true},
        {3, 624, [](const void* d, size_t n) { return common::PackageAnnounce::Read(d, n).has_value(); }, true},
        {4, 3644, [](const void* d, size_t n) { return common::PackageRecord::FromBytes(d, n).has_value(); }, true},
        {5, 3644, [](const void* d, size_t n) { return common::PackageRecord::FromBytes(d, n).has_value(); }, true},
        {6, 24, [](const void* d, size_t n) { return common::ReadHotKeyPayload(d, n).has_value(); }, false},
        {7, 520, [](const void* d, size_t n) { return common::ReadBackImagePath(d, n).has_value(); }, true},
    };
}

// Sizes around the exact one, and a few far from it.
std::vector<size_t> SizesAround(size_t exact) {
    std::vector<size_t> sizes = {0,    1,    4,    23,   24,   25,   519,  520,  521,  623,  624, 625,
                                 1039, 1040, 1041, 1563, 1564, 1565, 3643, 3644, 3645, 4096, 8000};
    if (exact > 0) {
        sizes.push_back(exact - 1);
    }
    sizes.push_back(exact + 1);
    sizes.push_back(exact * 2);
    return sizes;
}

// Catches: a receiver that takes "at least" its record (a longer payload read by its head), a short payload read
// past its end, and a record of one kind taken under another kind's size.
TEST(CopyDataSizes, EachKindIsTakenOnlyAtItsExactSize) {
    // A buffer of terminators reads as a valid record of every kind, so only the size can refuse it.
    const std::vector<uint8_t> zeros(16384, 0);
    for (const KindCase& c : Kinds()) {
        for (size_t size : SizesAround(c.exactBytes)) {
            bool expected = size == c.exactBytes;
            EXPECT_EQ(c.read(zeros.data(), size), expected) << "kind " << c.kind << ", " << size << " bytes";
            if (c.launcherTakes) {
                EXPECT_EQ(common::IsLauncherPayloadAcceptable(c.kind, zeros.data(), size), expected)
                    << "launcher, kind " << c.kind << ", " << size << " bytes";
            }
        }
        EXPECT_FALSE(c.read(nullptr, c.exactBytes)) << "kind " << c.kind << " without data";
    }
}

// Catches: the one table of sizes drifting from what each sender writes.
TEST(CopyDataSizes, TheTableHoldsEachSendersSize) {
    for (const KindCase& c : Kinds()) {
        EXPECT_EQ(common::CopyDataBytes(c.kind), c.exactBytes) << "kind " << c.kind;
        EXPECT_TRUE(common::IsCopyDataSizeExact(c.kind, c.exactBytes)) << "kind " << c.kind;
        EXPECT_FALSE(common::IsCopyDataSizeExact(c.kind, c.exactBytes + 1)) << "kind " << c.kind;
    }
    EXPECT_EQ(common::CopyDataBytes(8), size_t{0});
    EXPECT_EQ(common::CopyDataBytes(9), std::nullopt);
    EXPECT_FALSE(common::IsCopyDataSizeExact(9, 0));
    // The suite's own writers send exactly what the receivers take.
    EXPECT_EQ(common::UpdateCheckPayload{}.Write().size(), *common::CopyDataBytes(0));
    EXPECT_EQ(common::AutoProgramsPayload{}.Write().size(), *common::CopyDataBytes(1));
    EXPECT_EQ(common::HotKeyPayload{}.Write().size(), *common::CopyDataBytes(6));
}

// Catches: kind 8 (background off) taken with a payload the settings program never sends, and kinds the suite
// does not know taken at all.
TEST(CopyDataSizes, BackImageOffCarriesNothingAndUnknownKindsAreRefused) {
    const std::vector<uint8_t> zeros(4096, 0);
    EXPECT_TRUE(common::IsLauncherPayloadAcceptable(8, nullptr, 0));
    EXPECT_FALSE(common::IsLauncherPayloadAcceptable(8, zeros.data(), 520));
    EXPECT_FALSE(common::IsLauncherPayloadAcceptable(8, zeros.data(), 1));
    for (uint32_t kind : {0u, 1u, 6u, 9u, 100u, 0xFFFFFFFFu}) {
        for (size_t size : {size_t{0}, size_t{24}, size_t{624}, size_t{1564}, size_t{3644}}) {
            EXPECT_FALSE(common::IsLauncherPayloadAcceptable(kind, zeros.data(), size))
                << "kind " << kind << ", " << size << " bytes";
        }
    }
}

// Catches: a kind-7 path of exactly the sender's buffer but without a terminator taken as a path.
TEST(CopyDataSizes, BackImagePathMustEndInsideItsBuffer) {
    std::vector<uint8_t> bytes(520, 'a');
    EXPECT_FALSE(common::ReadBackImagePath(bytes.data(), bytes.size()));
    bytes[518] = 0;
    bytes[519] = 0;
    auto path = common::ReadBackImagePath(bytes.data(), bytes.size());
    ASSERT_TRUE(path);
    EXPECT_EQ(path->size(), 259u);
}

}  // namespace
