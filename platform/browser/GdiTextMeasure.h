// The page view's fonts, one for each way the page's text is drawn, and the page layout's measuring over them.
#pragma once

#include <windows.h>

#include <array>
#include <string_view>

#include "common/page/PageSession.h"
#include "platform/UniqueHandle.h"

namespace platform {

// How it works: the fonts are made once; measuring selects the style's font into a memory device context of the
// screen and asks GetTextExtentPoint32W, so the layout's widths are the drawn widths. UI thread only.
class GdiTextMeasure : public common::ITextMeasure {
public:
    GdiTextMeasure();
    common::TextExtent Measure(std::u16string_view text, common::TextStyle style) override;
    int LineHeight(common::TextStyle style) override;
    // The font a style is drawn with; owned here.
    HFONT Font(common::TextStyle style) const;

private:
    std::array<UniqueFont, 5> m_fonts;  // by TextStyle
    UniqueMemoryDc m_dc;
};

}  // namespace platform
