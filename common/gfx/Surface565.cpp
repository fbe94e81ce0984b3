// Sub-views and the portable pixel owner.
#include "common/gfx/Surface565.h"

#include <algorithm>
#include <limits>

namespace common {

Surface565 Surface565::Sub(const PixelRect& rect) const {
    if (IsEmpty()) {
        return Surface565();
    }
    int left = std::max(rect.x, 0);
    int top = std::max(rect.y, 0);
    // 64-bit sums: rect comes from layout files and may hold extreme values.
    int64_t right = std::min<int64_t>(static_cast<int64_t>(rect.x) + rect.width, m_width);
    int64_t bottom = std::min<int64_t>(static_cast<int64_t>(rect.y) + rect.height, m_height);
    if (right <= left || bottom <= top) {
        return Surface565();
    }
    return Surface565(m_bits + static_cast<ptrdiff_t>(top) * m_stride + left * 2, static_cast<int>(right - left),
                      static_cast<int>(bottom - top), m_stride);
}

bool Bitmap565::Create(int width, int height) {
    m_pixels.clear();
    m_view = Surface565();
    if (width <= 0 || height <= 0 || width > (1 << 15) || height > (1 << 15)) {
        return false;
    }
    int stride = Stride565(width);
    m_pixels.assign(static_cast<size_t>(stride / 2) * static_cast<size_t>(height), 0);
    m_view = Surface565(m_pixels.data(), width, height, stride);
    return true;
}

}  // namespace common
