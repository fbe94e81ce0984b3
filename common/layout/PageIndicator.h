// The page indicator row under the page area: where each page's dot goes and which dot a click hits.
#pragma once

#include <optional>
#include <vector>

#include "common/layout/Geometry.h"

namespace common {

inline constexpr int kIndicatorStep = 18;  // pixels from one indicator's left edge to the next
inline constexpr int kMaxPages = 16;

// x of the first indicator for this many pages; nullopt when no row is drawn (fewer than 2 or more than 16).
std::optional<int> IndicatorRowStart(int pageCount);

// Top-left of each page's indicator in page order, on the row at rowY; empty when no row is drawn.
std::vector<Point> IndicatorPositions(int pageCount, int rowY);

// The page whose indicator, of the indicator bitmap's size, holds (x, y) with its right and bottom edges
// included; the first in page order wins. nullopt when none does.
std::optional<int> HitIndicator(const std::vector<Point>& positions, int width, int height, int x, int y);

}  // namespace common
