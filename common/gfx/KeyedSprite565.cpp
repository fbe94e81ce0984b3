// KeyedSprite565: blocks cut once at build and copied whole when the sprite is drawn inside the destination.
#include "common/gfx/KeyedSprite565.h"

#include <algorithm>
#include <cstring>

#include "common/gfx/PixelOps.h"

namespace common {

namespace {

constexpr int kBlockPixels[] = {16, 8, 4, 2, 1};

// Blocks of N pixels; a fixed-size memcpy compiles to one load and one store (two for 16 pixels without AVX).
template <int N>
inline void DrawBlocksOfSize(uint8_t* origin, const std::vector<uint32_t>& offsets, const uint16_t* pixels) {
    for (uint32_t offset : offsets) {
        std::memcpy(origin + offset, pixels, N * 2);
        pixels += N;
    }
}

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define KELVO_SPRITE_AVX 1
// The same loop with 32-byte moves, for processors that have them: half the stores of the long runs.
__attribute__((target("avx"))) void DrawWideBlocksAvx(uint8_t* origin, const std::vector<uint32_t>& offsets,
                                                      const uint16_t* pixels) {
    DrawBlocksOfSize<16>(origin, offsets, pixels);
}

bool HasAvx() {
    static const bool hasAvx = __builtin_cpu_supports("avx");
    return hasAvx;
}
#endif

}  // namespace

void KeyedSprite565::Clear() {
    m_width = 0;
    m_height = 0;
    m_source = Bitmap565();
    m_offsetsStride = 0;
    for (int size = 0; size < kBlockSizes; ++size) {
        m_blocks[size].clear();
        m_blockPixels[size].clear();
    }
}

void KeyedSprite565::AddRun(int x, int y, int length, const uint16_t* pixels) {
    int size = 0;
    while (kBlockPixels[size] > length) {
        ++size;
    }
    const int n = kBlockPixels[size];
    for (int at = 0; at < length; at += n) {
        const int start = std::min(at, length - n);
        m_blocks[size].push_back(Block{x + start, y});
        m_blockPixels[size].insert(m_blockPixels[size].end(), pixels + start, pixels + start + n);
    }
}

void KeyedSprite565::Build(Surface565 source, uint16_t key) {
    Clear();
    if (source.IsEmpty()) {
        return;
    }
    m_width = source.Width();
    m_height = source.Height();
    m_key = key;
    m_source.Create(m_width, m_height);
    CopyOpaque565(m_source.View(), 0, 0, source, WholeOf(source));
    for (int y = 0; y < m_height; ++y) {
        const uint16_t* row = source.Row(y);
        int x = 0;
        while (x < m_width) {
            while (x < m_width && row[x] == key) {
                ++x;
            }
            const int start = x;
            while (x < m_width && row[x] != key) {
                ++x;
            }
            if (x > start) {
                AddRun(start, y, x - start, row + start);
            }
        }
    }
    // The launcher keeps a sprite per picture for its whole life: the lists hold no room to grow.
    for (int size = 0; size < kBlockSizes; ++size) {
        m_blocks[size].shrink_to_fit();
        m_blockPixels[size].shrink_to_fit();
    }
}

size_t KeyedSprite565::BlockCount() const {
    size_t count = 0;
    for (int size = 0; size < kBlockSizes; ++size) {
        count += m_blocks[size].size();
    }
    return count;
}

void KeyedSprite565::DrawBlocks(Surface565 dest, int destX, int destY) const {
    const int stride = dest.Stride();
    if (m_offsetsStride != stride) {
        // Where each block lands in bytes from the sprite's top-left, for this row length: the frame and its page
        // area share one, so this runs once per sprite.
        for (int size = 0; size < kBlockSizes; ++size) {
            m_offsets[size].clear();
            m_offsets[size].reserve(m_blocks[size].size());
            for (const Block& block : m_blocks[size]) {
                m_offsets[size].push_back(static_cast<uint32_t>(block.y) * static_cast<uint32_t>(stride) +
                                          static_cast<uint32_t>(block.x) * 2);
            }
        }
        m_offsetsStride = stride;
    }
    uint8_t* origin = dest.Bits() + static_cast<ptrdiff_t>(destY) * stride + destX * 2;
#if defined(KELVO_SPRITE_AVX)
    if (HasAvx()) {
        DrawWideBlocksAvx(origin, m_offsets[0], m_blockPixels[0].data());
    } else {
        DrawBlocksOfSize<16>(origin, m_offsets[0], m_blockPixels[0].data());
    }
#else
    DrawBlocksOfSize<16>(origin, m_offsets[0], m_blockPixels[0].data());
#endif
    DrawBlocksOfSize<8>(origin, m_offsets[1], m_blockPixels[1].data());
    DrawBlocksOfSize<4>(origin, m_offsets[2], m_blockPixels[2].data());
    DrawBlocksOfSize<2>(origin, m_offsets[3], m_blockPixels[3].data());
    DrawBlocksOfSize<1>(origin, m_offsets[4], m_blockPixels[4].data());
}

void KeyedSprite565::Draw(Surface565 dest, int destX, int destY) const {
    const bool isInside = destX >= 0 && destY >= 0 && static_cast<int64_t>(destX) + m_width <= dest.Width() &&
                          static_cast<int64_t>(destY) + m_height <= dest.Height();
    if (isInside && !dest.IsEmpty() && !IsEmpty()) {
        DrawBlocks(dest, destX, destY);
        return;
    }
    DrawClipped(dest, destX, destY, PixelRect{0, 0, m_width, m_height});
}

void KeyedSprite565::Draw(Surface565 dest, int destX, int destY, const PixelRect& sourceRect) const {
    if (sourceRect.x == 0 && sourceRect.y == 0 && sourceRect.width == m_width && sourceRect.height == m_height) {
        Draw(dest, destX, destY);
        return;
    }
    DrawClipped(dest, destX, destY, sourceRect);
}

void KeyedSprite565::DrawClipped(Surface565 dest, int destX, int destY, const PixelRect& sourceRect) const {
    CopyKeyed565(dest, destX, destY, m_source.View(), sourceRect, m_key);
}

}  // namespace common
