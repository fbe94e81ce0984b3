#include "platform/browser/GdiTextMeasure.h"

namespace platform {

namespace {

static_assert(static_cast<size_t>(common::TextStyle::Control) + 1 == GdiTextMeasure::kStyleCount,
              "one font for each text style");

HFONT MakeFont(int height, int weight, bool isUnderlined) {
    return ::CreateFontW(-height, 0, 0, 0, weight, FALSE, isUnderlined ? TRUE : FALSE, FALSE, DEFAULT_CHARSET,
                         OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_SWISS,
                         L"Gulim");
}

size_t IndexOf(common::TextStyle style) {
    const size_t index = static_cast<size_t>(style);
    return index < GdiTextMeasure::kStyleCount ? index : 0;
}

}  // namespace

GdiTextMeasure::GdiTextMeasure() : m_dc(::CreateCompatibleDC(nullptr)) {
    m_fonts[IndexOf(common::TextStyle::Body)].reset(MakeFont(13, FW_NORMAL, false));
    m_fonts[IndexOf(common::TextStyle::Bold)].reset(MakeFont(13, FW_BOLD, false));
    m_fonts[IndexOf(common::TextStyle::Heading)].reset(MakeFont(20, FW_BOLD, false));
    m_fonts[IndexOf(common::TextStyle::Link)].reset(MakeFont(13, FW_NORMAL, true));
    m_fonts[IndexOf(common::TextStyle::Control)].reset(MakeFont(13, FW_NORMAL, false));
}

HFONT GdiTextMeasure::Font(common::TextStyle style) const {
    return m_fonts[IndexOf(style)].get();
}

void GdiTextMeasure::SelectStyle(common::TextStyle style) {
    if (m_selected != style) {
        ::SelectObject(m_dc.get(), Font(style));
        m_selected = style;
    }
}

common::TextExtent GdiTextMeasure::Measure(std::u16string_view text, common::TextStyle style) {
    auto& kept = m_extents[IndexOf(style)];
    const std::u16string key(text);
    if (auto found = kept.find(key); found != kept.end()) {
        return found->second;
    }
    SelectStyle(style);
    SIZE size = {};
    ::GetTextExtentPoint32W(m_dc.get(), reinterpret_cast<const wchar_t*>(text.data()), static_cast<int>(text.size()),
                            &size);
    if (kept.size() >= kMaxKeptExtents) {
        kept.clear();
    }
    const common::TextExtent extent{size.cx, size.cy};
    kept.emplace(key, extent);
    return extent;
}

int GdiTextMeasure::LineHeight(common::TextStyle style) {
    int& height = m_lineHeights[IndexOf(style)];
    if (height == 0) {
        SelectStyle(style);
        TEXTMETRICW metrics = {};
        ::GetTextMetricsW(m_dc.get(), &metrics);
        height = metrics.tmHeight + metrics.tmExternalLeading;
    }
    return height;
}

}  // namespace platform
