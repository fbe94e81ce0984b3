#include "platform/browser/GdiTextMeasure.h"

#include "platform/GdiGuards.h"

namespace platform {

namespace {

HFONT MakeFont(int height, int weight, bool isUnderlined) {
    return ::CreateFontW(-height, 0, 0, 0, weight, FALSE, isUnderlined ? TRUE : FALSE, FALSE, DEFAULT_CHARSET,
                         OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_SWISS,
                         L"Gulim");
}

size_t IndexOf(common::TextStyle style) {
    const size_t index = static_cast<size_t>(style);
    return index < 5 ? index : 0;
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

common::TextExtent GdiTextMeasure::Measure(std::u16string_view text, common::TextStyle style) {
    SelectGuard select(m_dc.get(), Font(style));
    SIZE size = {};
    ::GetTextExtentPoint32W(m_dc.get(), reinterpret_cast<const wchar_t*>(text.data()), static_cast<int>(text.size()),
                            &size);
    return common::TextExtent{size.cx, size.cy};
}

int GdiTextMeasure::LineHeight(common::TextStyle style) {
    SelectGuard select(m_dc.get(), Font(style));
    TEXTMETRICW metrics = {};
    ::GetTextMetricsW(m_dc.get(), &metrics);
    return metrics.tmHeight + metrics.tmExternalLeading;
}

}  // namespace platform
