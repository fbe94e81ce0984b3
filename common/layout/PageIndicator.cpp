// Page indicator row positions and hit test.
#include "common/layout/PageIndicator.h"

namespace common {
namespace {

// Start x by page count, from 2 pages on. A table rather than a centring formula: the row is placed by eye
// (uneven steps between counts), and skins are drawn around these fixed positions.
constexpr int kRowStart[kMaxPages - 1] = {156, 144, 138, 126, 122, 108, 106, 90, 90, 72, 74, 54, 58, 36, 42};

}  // namespace

std::optional<int> IndicatorRowStart(int pageCount) {
    if (pageCount < 2 || pageCount > kMaxPages) {
        return std::nullopt;
    }
    return kRowStart[pageCount - 2];
}

std::vector<Point> IndicatorPositions(int pageCount, int rowY) {
    std::vector<Point> positions;
    std::optional<int> start = IndicatorRowStart(pageCount);
    if (!start) {
        return positions;
    }
    positions.reserve(pageCount);
    for (int page = 0; page < pageCount; ++page) {
        positions.push_back(Point{*start + page * kIndicatorStep, rowY});
    }
    return positions;
}

std::optional<int> HitIndicator(const std::vector<Point>& positions, int width, int height, int x, int y) {
    for (size_t page = 0; page < positions.size(); ++page) {
        if (Rect::FromSize(positions[page].x, positions[page].y, width, height).Contains(x, y)) {
            return static_cast<int>(page);
        }
    }
    return std::nullopt;
}

}  // namespace common
