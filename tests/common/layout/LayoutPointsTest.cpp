// Layout files: the shipped files against the built-in values, and the byte-level faults a read must survive.
#include "common/layout/LayoutPoints.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace common {
namespace {

// The checked-in copies of the shipped files, found from the test data folder of the source tree.
std::optional<std::vector<uint8_t>> ShippedFile(const std::string& name) {
    std::ifstream in(std::string(KELVO_TEST_DATA "/../../launcher/skin/") + name, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Decodes by hand so the check does not lean on the reader under test.
int ValueAt(const std::vector<uint8_t>& file, size_t index) {
    return static_cast<int16_t>(file[2 * index] | (file[2 * index + 1] << 8));
}

std::vector<uint8_t> FileOf(const std::vector<int>& values) {
    std::vector<uint8_t> bytes;
    for (int v : values) {
        bytes.push_back(static_cast<uint8_t>(v & 0xFF));
        bytes.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
    }
    return bytes;
}

std::vector<uint8_t> Filled(size_t count, int value) {
    return FileOf(std::vector<int>(count, value));
}

TEST(LayoutPoints, BuiltInValuesEqualTheShippedFiles) {
    auto mainPoint = ShippedFile("mainpoint.kpt");
    auto pagePos = ShippedFile("pagepos.kpt");
    auto editCtrl = ShippedFile("EditCtrlPoint.kpt");
    ASSERT_TRUE(mainPoint && pagePos && editCtrl);
    ASSERT_EQ(mainPoint->size(), kMainPointCount * 2);
    ASSERT_EQ(pagePos->size(), kPageSlotCount * 4);
    ASSERT_EQ(editCtrl->size(), kEditCtrlPointCount * 2);

    LayoutPoints builtIn;
    for (size_t i = 0; i < kMainPointCount; ++i) {
        EXPECT_EQ(builtIn.MainValue(i), ValueAt(*mainPoint, i)) << "mainpoint.kpt value " << i;
    }
    for (size_t j = 0; j < kPageSlotCount; ++j) {
        EXPECT_EQ(builtIn.PageSlot(j), (Point{ValueAt(*pagePos, 2 * j), ValueAt(*pagePos, 2 * j + 1)})) << j;
    }
    for (size_t k = 0; k < kEditCtrlPointCount / 2; ++k) {
        Point expected{ValueAt(*editCtrl, 2 * k), ValueAt(*editCtrl, 2 * k + 1)};
        EXPECT_EQ(builtIn.PanelControlPoint(static_cast<PanelControl>(k)), expected) << k;
    }
}

TEST(LayoutPoints, ShippedPageSlotsHoldIconAndCaptionInsideThePageArea) {
    // A 48-pixel icon, its caption box (2 below, 15 high, 10 wider on each side) must stay in the page area,
    // and neighbouring caption boxes must not overlap.
    LayoutPoints points;
    Rect area = points.PageArea();
    for (size_t j = 0; j < kPageSlotCount; ++j) {
        Point slot = points.PageSlot(j);
        EXPECT_GE(slot.x - 10, 0) << j;
        EXPECT_LE(slot.x + 58, area.Width()) << j;
        EXPECT_LE(slot.y + 48 + 2 + 15, area.Height()) << j;
        if (j % 4 != 0) {
            EXPECT_GE(slot.x - 10, points.PageSlot(j - 1).x + 58) << j;
        }
    }
    // The command panel (288 x 261) fits the page area.
    Point panel = points.CommandPanelOrigin();
    EXPECT_LE(panel.x + 288, area.right);
    EXPECT_LE(panel.y + 261, area.bottom);
}

TEST(LayoutPoints, ReadsSignedLittleEndianValues) {
    std::vector<int> main(kMainPointCount, 0);
    main[14] = 300;     // page area x: two bytes, low first
    main[15] = -2;      // page area y
    main[16] = 32767;   // width
    main[17] = -32768;  // height
    main[4] = 5;        // menu slot 1, relative to page x
    LayoutPoints points = LayoutPoints::FromFiles(FileOf(main), std::nullopt, std::nullopt);
    EXPECT_TRUE(points.Sources().mainPoint);
    EXPECT_EQ(points.PageArea().left, 300);
    EXPECT_EQ(points.PageArea().top, -2);
    EXPECT_EQ(points.PageArea().Width(), 32767);
    EXPECT_EQ(points.PageArea().Height(), -32768);
    EXPECT_EQ(points.MenuSlot(0).x, 305);
    EXPECT_EQ(points.CommandPanelOrigin(), (Point{300, 38}));
}

struct ShortFileCase {
    const char* name;
    size_t mainBytes;
    size_t pageBytes;
    size_t editBytes;
    bool mainFromFile;
    bool pageFromFile;
    bool editFromFile;
};

class LayoutPointsSizes : public testing::TestWithParam<ShortFileCase> {};

// Every value in the test files is 7, far from any built-in value, so a mix would show.
TEST_P(LayoutPointsSizes, TakeEachFileWholeOrItsBuiltInSetWhole) {
    const ShortFileCase& c = GetParam();
    auto bytes = [](size_t n) {
        std::vector<uint8_t> file(n);
        for (size_t i = 0; i < n; ++i) {
            file[i] = i % 2 == 0 ? 7 : 0;
        }
        return file;
    };
    LayoutPoints points = LayoutPoints::FromFiles(bytes(c.mainBytes), bytes(c.pageBytes), bytes(c.editBytes));
    LayoutPoints builtIn;
    const Point kSevens{7, 7};
    EXPECT_EQ(points.Sources().mainPoint, c.mainFromFile);
    EXPECT_EQ(points.Sources().pagePos, c.pageFromFile);
    EXPECT_EQ(points.Sources().editCtrlPoint, c.editFromFile);
    for (size_t i = 0; i < kMainPointCount; ++i) {
        EXPECT_EQ(points.MainValue(i), c.mainFromFile ? 7 : builtIn.MainValue(i)) << i;
    }
    for (size_t j = 0; j < kPageSlotCount; ++j) {
        EXPECT_EQ(points.PageSlot(j), c.pageFromFile ? kSevens : builtIn.PageSlot(j)) << j;
    }
    for (size_t k = 0; k < kEditCtrlPointCount / 2; ++k) {
        auto control = static_cast<PanelControl>(k);
        EXPECT_EQ(points.PanelControlPoint(control), c.editFromFile ? kSevens : builtIn.PanelControlPoint(control));
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, LayoutPointsSizes,
                         testing::Values(ShortFileCase{"exact", 68, 64, 32, true, true, true},
                                         ShortFileCase{"longer", 200, 66, 40, true, true, true},
                                         ShortFileCase{"oddTrailingByte", 69, 65, 33, true, true, true},
                                         ShortFileCase{"oneValueShort", 66, 62, 30, false, false, false},
                                         ShortFileCase{"oneByteShort", 67, 63, 31, false, false, false},
                                         ShortFileCase{"empty", 0, 0, 0, false, false, false},
                                         ShortFileCase{"onlyMainShort", 10, 64, 32, false, true, true},
                                         ShortFileCase{"onlyEditShort", 68, 64, 1, true, true, false}),
                         [](const testing::TestParamInfo<ShortFileCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(LayoutPoints, MissingFilesGiveTheBuiltInSet) {
    LayoutPoints points = LayoutPoints::FromFiles(std::nullopt, std::nullopt, std::nullopt);
    LayoutPoints builtIn;
    EXPECT_FALSE(points.Sources().mainPoint || points.Sources().pagePos || points.Sources().editCtrlPoint);
    for (size_t i = 0; i < kMainPointCount; ++i) {
        EXPECT_EQ(points.MainValue(i), builtIn.MainValue(i));
    }
}

TEST(LayoutPoints, OutOfRangeIndexesGiveZeroInsteadOfReadingPastTheTables) {
    LayoutPoints points = LayoutPoints::FromFiles(Filled(kMainPointCount, 9), Filled(32, 9), Filled(16, 9));
    EXPECT_EQ(points.MainValue(kMainPointCount), 0);
    EXPECT_EQ(points.PageSlot(kPageSlotCount), Point{});
    EXPECT_EQ(points.MenuSlot(kMenuSlotCount), Point{});
}

}  // namespace
}  // namespace common
