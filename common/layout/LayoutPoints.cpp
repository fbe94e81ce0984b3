// Reading of the layout files and the points derived from them.
#include "common/layout/LayoutPoints.h"

#include <algorithm>
#include <iterator>

namespace common {
namespace {

// The shipped values; tools/art/make_skin.py draws the skin around the same numbers.
constexpr int16_t kDefaultMain[kMainPointCount] = {
    146, 509,                              // home button
    296, 12,                               // exit button
    12,  54,  84,  54,  156, 54, 228, 54,  // menu slots, x relative to the page area
    0,   44,                               // (unused), drag band height
    21,  140, 288, 336,                    // page area x, y, width, height
    0,   0,   0,                           // reserved, unused, reserved
    486,                                   // page indicator row y
    36,  522,                              // drive label
    0,   0,   0,   0,                      // reserved
    310, 522,                              // free-space line right end, y
    0,   0,   0,   0,                      // reserved
};

constexpr int16_t kDefaultPagePos[kPageSlotCount * 2] = {
    12, 10,  84, 10,  156, 10,  228, 10,   //
    12, 94,  84, 94,  156, 94,  228, 94,   //
    12, 178, 84, 178, 156, 178, 228, 178,  //
    12, 262, 84, 262, 156, 262, 228, 262,
};

constexpr int16_t kDefaultEditCtrl[kEditCtrlPointCount] = {
    12,  57,  12,  102, 12, 147, 12, 192,  // caption, command, parameter, icon fields
    124, 226, 204, 226,                    // OK, Cancel
    204, 101, 204, 191,                    // command browse, icon browse
};

// Main-point indexes.
constexpr size_t kHomeX = 0;
constexpr size_t kExitX = 2;
constexpr size_t kMenuX = 4;
constexpr size_t kDragBand = 13;
constexpr size_t kPageX = 14;
constexpr size_t kPageY = 15;
constexpr size_t kPageWidth = 16;
constexpr size_t kPageHeight = 17;
constexpr size_t kIndicatorY = 21;
constexpr size_t kDriveLabelX = 22;
constexpr size_t kFreeSpaceX = 28;

// The command panel sits this far below the page area's top.
constexpr int kPanelDrop = 40;

// Copies `count` values when the file holds them all; otherwise leaves `out` (the built-in set) untouched.
bool ReadValues(const std::optional<std::vector<uint8_t>>& file, int16_t* out, size_t count) {
    if (!file || file->size() / 2 < count) {
        return false;
    }
    const uint8_t* bytes = file->data();
    for (size_t i = 0; i < count; ++i) {
        out[i] = static_cast<int16_t>(static_cast<uint16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8)));
    }
    return true;
}

}  // namespace

LayoutPoints::LayoutPoints() {
    std::copy(std::begin(kDefaultMain), std::end(kDefaultMain), m_main);
    std::copy(std::begin(kDefaultPagePos), std::end(kDefaultPagePos), m_pagePos);
    std::copy(std::begin(kDefaultEditCtrl), std::end(kDefaultEditCtrl), m_editCtrl);
}

LayoutPoints LayoutPoints::FromFiles(const std::optional<std::vector<uint8_t>>& mainPoint,
                                     const std::optional<std::vector<uint8_t>>& pagePos,
                                     const std::optional<std::vector<uint8_t>>& editCtrlPoint) {
    LayoutPoints points;
    points.m_sources.mainPoint = ReadValues(mainPoint, points.m_main, kMainPointCount);
    points.m_sources.pagePos = ReadValues(pagePos, points.m_pagePos, kPageSlotCount * 2);
    points.m_sources.editCtrlPoint = ReadValues(editCtrlPoint, points.m_editCtrl, kEditCtrlPointCount);
    return points;
}

int LayoutPoints::MainValue(size_t index) const {
    return index < kMainPointCount ? m_main[index] : 0;
}

Point LayoutPoints::HomeButton() const {
    return Point{m_main[kHomeX], m_main[kHomeX + 1]};
}

Point LayoutPoints::ExitButton() const {
    return Point{m_main[kExitX], m_main[kExitX + 1]};
}

Point LayoutPoints::MenuSlot(size_t slot) const {
    if (slot >= kMenuSlotCount) {
        return Point{};
    }
    return Point{m_main[kMenuX + 2 * slot] + m_main[kPageX], m_main[kMenuX + 2 * slot + 1]};
}

int LayoutPoints::DragBandHeight() const {
    return m_main[kDragBand];
}

Rect LayoutPoints::PageArea() const {
    return Rect::FromSize(m_main[kPageX], m_main[kPageY], m_main[kPageWidth], m_main[kPageHeight]);
}

int LayoutPoints::IndicatorRowY() const {
    return m_main[kIndicatorY];
}

Point LayoutPoints::DriveLabel() const {
    return Point{m_main[kDriveLabelX], m_main[kDriveLabelX + 1]};
}

Point LayoutPoints::FreeSpaceRightEnd() const {
    return Point{m_main[kFreeSpaceX], m_main[kFreeSpaceX + 1]};
}

Point LayoutPoints::CommandPanelOrigin() const {
    return Point{m_main[kPageX], m_main[kPageY] + kPanelDrop};
}

Point LayoutPoints::PageSlot(size_t slot) const {
    if (slot >= kPageSlotCount) {
        return Point{};
    }
    return Point{m_pagePos[2 * slot], m_pagePos[2 * slot + 1]};
}

Point LayoutPoints::PanelControlPoint(PanelControl control) const {
    size_t index = static_cast<size_t>(control);
    return Point{m_editCtrl[2 * index], m_editCtrl[2 * index + 1]};
}

}  // namespace common
