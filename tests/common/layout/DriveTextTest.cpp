// Drive label and free-space line: unit boundaries, truncation to whole units, Korean labels.
#include "common/layout/DriveText.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace common {
namespace {

constexpr uint64_t kKiB = 1024;
constexpr uint64_t kMiB = kKiB * 1024;
constexpr uint64_t kGiB = kMiB * 1024;
constexpr uint64_t kTiB = kGiB * 1024;

struct SizeCase {
    uint64_t bytes;
    const char16_t* text;
};

class DriveSizes : public testing::TestWithParam<SizeCase> {};

TEST_P(DriveSizes, ScaleToTheUnitBelowTheNextPowerOf1024) {
    EXPECT_EQ(FormatDriveSize(GetParam().bytes), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Boundaries, DriveSizes,
    testing::Values(SizeCase{0, u"0.0B"}, SizeCase{1023, u"1023.0B"}, SizeCase{kKiB, u"1.0KB"},
                    SizeCase{1536, u"1.5KB"},
                    SizeCase{kMiB - 1, u"1024.0KB"},  // 1023.999 rounds up in print, not in unit
                    SizeCase{kMiB, u"1.0MB"},
                    SizeCase{kMiB + 1023, u"1.0MB"},  // the partial KiB is dropped before dividing
                    SizeCase{300 * kMiB, u"300.0MB"}, SizeCase{kGiB - 1, u"1024.0MB"}, SizeCase{kGiB, u"1.0GB"},
                    SizeCase{kGiB + 51 * kMiB + kMiB - 1, u"1.0GB"},  // 1.0498 GiB: whole MiB, then %.1f
                    SizeCase{kGiB + 52 * kMiB, u"1.1GB"}, SizeCase{kTiB - 1, u"1024.0GB"}, SizeCase{kTiB, u"1.0TB"},
                    SizeCase{2 * kTiB + 512 * kGiB, u"2.5TB"}, SizeCase{UINT64_MAX, u"16777216.0TB"}));

TEST(DriveText, FreeSpaceLineShowsFreeThenTotal) {
    EXPECT_EQ(FormatFreeSpace(300 * kMiB, 2 * kGiB), u"300.0MB free/2.0GB");
    EXPECT_EQ(FormatFreeSpace(0, 0), u"0.0B free/0.0B");
    EXPECT_EQ(FormatFreeSpace(1024, kTiB), u"1.0KB free/1.0TB");
}

TEST(DriveText, LabelAppendsTheDriveLetterInParentheses) {
    EXPECT_EQ(FormatDriveLabel(u"USB DRIVE", u'E'), u"USB DRIVE(E:)");
    EXPECT_EQ(FormatDriveLabel(u"이동식 디스크", u'F'), u"이동식 디스크(F:)");
    EXPECT_EQ(FormatDriveLabel(u"", u'G'), u"(G:)");
}

}  // namespace
}  // namespace common
