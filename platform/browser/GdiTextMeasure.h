// The page view's fonts, one for each way the page's text is drawn, and the page layout's measuring over them.
#pragma once

#include <windows.h>

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "common/page/PageSession.h"
#include "platform/UniqueHandle.h"

namespace platform {

// How it works: the fonts are made once; measuring selects the style's font into a memory device context of the
// screen and asks GetTextExtentPoint32W, so the layout's widths are the drawn widths. The fonts never change, so
// each text's extent and each style's line height are asked once and kept: a layout measures every word and
// space more than once (a table's cells twice), and every resize lays the page out again. UI thread only.
class GdiTextMeasure : public common::ITextMeasure {
public:
    static constexpr size_t kStyleCount = 5;  // the TextStyle values

    GdiTextMeasure();
    common::TextExtent Measure(std::u16string_view text, common::TextStyle style) override;
    int LineHeight(common::TextStyle style) override;
    // The font a style is drawn with; owned here.
    HFONT Font(common::TextStyle style) const;

private:
    // Past this many texts of one style the kept extents are dropped and asked again (a long page of many
    // different words must not grow the view without bound).
    static constexpr size_t kMaxKeptExtents = 8192;

    void SelectStyle(common::TextStyle style);

    std::array<UniqueFont, kStyleCount> m_fonts;  // by TextStyle; made before the context, deleted after it
    UniqueMemoryDc m_dc;                          // keeps the last measured style's font selected
    std::optional<common::TextStyle> m_selected;
    std::array<std::unordered_map<std::u16string, common::TextExtent>, kStyleCount> m_extents;
    std::array<int, kStyleCount> m_lineHeights = {};  // 0 until asked
};

}  // namespace platform
