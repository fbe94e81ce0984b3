// Tests of the agent's drive-removal decision.
#include "common/agent/DriveRemoval.h"

#include <gtest/gtest.h>

namespace {

struct RemovalCase {
    const char* name;
    uint32_t unitMask;
    const char16_t* moduleFolder;
    bool isSuiteDrive;
};

class DriveRemovalTable : public testing::TestWithParam<RemovalCase> {};

// Catches: a wrong bit-to-letter mapping, a lower-case module folder not matching, a notice for another drive
// ending the suite, and a notice for two drives judged by its lowest drive only.
TEST_P(DriveRemovalTable, DecidesFromTheSuiteDrivesBit) {
    const RemovalCase& c = GetParam();
    EXPECT_EQ(common::IsSuiteDriveRemoved(c.unitMask, c.moduleFolder), c.isSuiteDrive) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    DriveRemoval, DriveRemovalTable,
    testing::Values(RemovalCase{"suite drive alone", 1u << 19, u"T:\\Kelvo", true},
                    RemovalCase{"lower-case folder", 1u << 19, u"t:\\Kelvo", true},
                    RemovalCase{"drive A is bit 0", 1u, u"A:\\Kelvo", true},
                    RemovalCase{"drive Z is bit 25", 1u << 25, u"Z:\\Kelvo", true},
                    RemovalCase{"other drive", 1u << 4, u"T:\\Kelvo", false},
                    RemovalCase{"two drives, suite lowest", (1u << 19) | (1u << 22), u"T:\\Kelvo", true},
                    RemovalCase{"two drives, suite not lowest", (1u << 4) | (1u << 19), u"T:\\Kelvo", true},
                    RemovalCase{"two other drives", (1u << 4) | (1u << 22), u"T:\\Kelvo", false},
                    RemovalCase{"all drives", 0x03FFFFFFu, u"K:\\Kelvo", true},
                    RemovalCase{"no drive bit", 0u, u"A:\\Kelvo", false},
                    RemovalCase{"bits above Z only", 0xFC000000u, u"A:\\Kelvo", false},
                    RemovalCase{"no module folder", 1u, u"", false},
                    RemovalCase{"network share", 0x03FFFFFFu, u"\\\\server\\share", false}),
    [](const testing::TestParamInfo<RemovalCase>& info) { return "Case" + std::to_string(info.index); });

}  // namespace
