// A colour-keyed picture prepared once for drawing many times: each row's non-key pixels as runs, so a draw copies
// them and tests no key at all.
#pragma once

#include <cstdint>
#include <vector>

#include "common/gfx/Surface565.h"

namespace common {

// Where one block of a sprite's pixels lands, from the sprite's top-left.
struct KeyedSprite565Block {
    int32_t x;
    int32_t y;
};

// Draws exactly what CopyKeyed565 with the same key would draw. Not for use from several threads at once (a
// draw may fill a cache). The sprite keeps its own copy of the non-key
// pixels (and of the picture, for clipped draws): it does not refer to the source after Build, and it does not see later changes to it (build again).
class KeyedSprite565 {
public:
    KeyedSprite565() = default;

    // Replaces the sprite with the runs of `source`'s pixels that are not `key`. An empty source gives an empty
    // sprite, which draws nothing.
    void Build(Surface565 source, uint16_t key);
    void Clear();

    bool IsEmpty() const { return m_width == 0; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // How many copies a whole draw makes: a picture of short runs, such as antialiased text, needs one per few
    // pixels and draws faster through CopyKeyed565.
    size_t BlockCount() const;

    // Draws the sprite's part `sourceRect` so that its top-left lands at (destX, destY), clipped to both like
    // CopyKeyed565.
    void Draw(Surface565 dest, int destX, int destY, const PixelRect& sourceRect) const;
    void Draw(Surface565 dest, int destX, int destY) const;

    // How it works: a sprite drawn wholly inside the destination (most icons of a page) is copied as fixed-size
    // blocks of 16, 8, 4, 2 and 1 pixels, every run cut into the fewest blocks of one size, the last one overlapping
    // the one before. One flat loop per size, with no branch on a run's length, is what makes it cheap: a loop
    // per run of varying length mispredicts about once a row, which costs more than the row's copying. A sprite
    // clipped by the destination (an icon sliding out of the page area) goes through CopyKeyed565 on a copy of
    // the picture: picking the blocks in view, one test per block or a column-sorted list and binary search,
    // measured slower.
private:
    static constexpr int kBlockSizes = 5;  // 16, 8, 4, 2 and 1 pixels

    int m_width = 0;
    int m_height = 0;
    uint16_t m_key = 0;
    Bitmap565 m_source;  // for clipped draws
    // Blocks by size (kBlockSizes of them), row by row: where each lands, and its pixels one block after the
    // other.
    using Block = KeyedSprite565Block;
    std::vector<Block> m_blocks[kBlockSizes];
    std::vector<uint16_t> m_blockPixels[kBlockSizes];
    // The blocks' byte offsets for destinations of m_offsetsStride bytes a row, made on the first draw there.
    mutable int m_offsetsStride = 0;
    mutable std::vector<uint32_t> m_offsets[kBlockSizes];

    void AddRun(int x, int y, int length, const uint16_t* pixels);
    void DrawBlocks(Surface565 dest, int destX, int destY) const;
    void DrawClipped(Surface565 dest, int destX, int destY, const PixelRect& sourceRect) const;
};

}  // namespace common
