#include "common/browser/CaptionButtons.h"

#include <algorithm>

namespace common {
namespace {

constexpr int kRightGap = 6;

}  // namespace

CaptionRect CaptionButtonRect(int windowWidth, int bandHeight, const CaptionMetrics& metrics, int number) {
    const int width = std::max(metrics.buttonWidth, 1);
    CaptionRect rect;
    rect.right = windowWidth - kRightGap - (number - 1) * width;
    rect.left = rect.right - width;
    // Vertically as a system caption button sits on a captioned window: its top is the caption and frame
    // heights less its own height, its height its own less the frame's. A band thinner than that clips it.
    rect.top = std::clamp(metrics.captionHeight + metrics.frameHeight - metrics.buttonHeight, 0, bandHeight);
    rect.bottom = std::clamp(rect.top + std::max(metrics.buttonHeight - metrics.frameHeight, 1), rect.top, bandHeight);
    return rect;
}

CaptionButton CaptionButtonAt(int windowWidth, int bandHeight, const CaptionMetrics& metrics, int x, int y) {
    for (int number = 1; number <= kCaptionButtonCount; ++number) {
        if (CaptionButtonRect(windowWidth, bandHeight, metrics, number).Contains(x, y)) {
            return static_cast<CaptionButton>(number);
        }
    }
    return CaptionButton::None;
}

}  // namespace common
