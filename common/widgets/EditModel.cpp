// Editing and the visible window of a one-line text field.
#include "common/widgets/EditModel.h"

#include <algorithm>

#include "common/widgets/Control.h"

namespace common {

namespace {

constexpr int kTextInset = 5;
constexpr int kWidthMargin = 10;

}  // namespace

EditModel::EditModel(PixelRect rect, size_t maxLength)
    : m_rect(rect), m_maxLength(maxLength), m_text(maxLength + 1, u'\0') {}

EditClick EditModel::Click(int x, int y) {
    if (!IsOnRect(m_rect, x, y)) {
        m_isFocused = false;
        return EditClick::Outside;
    }
    if (m_isFocused) {
        return EditClick::Inside;
    }
    m_isFocused = true;
    return EditClick::GainedFocus;
}

void EditModel::SetText(const std::u16string& text, ITextMeasurer& measurer) {
    Clear();
    m_length = std::min(text.size(), m_maxLength);
    std::copy_n(text.data(), m_length, m_text.begin());
    m_caret = m_length;
    m_end = m_length;
    FitVisible(measurer);
}

void EditModel::Clear() {
    std::fill(m_text.begin(), m_text.end(), u'\0');
    m_length = 0;
    m_caret = 0;
    m_first = 0;
    m_end = 0;
    m_caretOffset = 0;
    m_isComposing = false;
}

bool EditModel::KeyDown(uint32_t virtualKey, ITextMeasurer& measurer) {
    if (!m_isFocused) {
        return false;
    }
    switch (virtualKey) {
        case kEditKeyLeft:
            m_isComposing = false;
            if (m_caret > 0) {
                --m_caret;
            }
            break;
        case kEditKeyRight:
            m_isComposing = false;
            if (m_caret < m_length) {
                ++m_caret;
            }
            break;
        case kEditKeyDelete:
            m_isComposing = false;
            // At the end there is no character after the caret to remove.
            if (m_caret < m_length) {
                EraseAt(m_caret);
            }
            break;
        default:
            return true;
    }
    FitVisible(measurer);
    return true;
}

bool EditModel::Character(char16_t code, ITextMeasurer& measurer) {
    if (!m_isFocused || code >= kEditFirstSyllable) {
        return false;
    }
    m_isComposing = false;
    if (code == kEditBackspace) {
        Backspace();
    } else if (code >= 32) {
        Insert(code);
    }
    FitVisible(measurer);
    return true;
}

void EditModel::Composition(char16_t code, uint32_t flags, ITextMeasurer& measurer) {
    if (!m_isFocused || flags != kEditComposingFlags) {
        return;
    }
    if (m_isComposing) {
        m_text[m_caret - 1] = code;
    } else if (Insert(code)) {
        m_isComposing = true;
    }
    FitVisible(measurer);
}

bool EditModel::ImeCharacter(char16_t code, ITextMeasurer& measurer) {
    if (!m_isFocused) {
        return false;
    }
    if (code >= kEditFirstSyllable) {
        if (m_isComposing) {
            m_text[m_caret - 1] = code;
            m_isComposing = false;
        } else {
            Insert(code);
        }
    } else {
        m_isComposing = false;
        if (code == kEditBackspace) {
            Backspace();
        }
    }
    FitVisible(measurer);
    return true;
}

bool EditModel::Insert(char16_t code) {
    if (m_length >= m_maxLength) {
        return false;
    }
    std::copy_backward(m_text.begin() + m_caret, m_text.begin() + m_length, m_text.begin() + m_length + 1);
    m_text[m_caret] = code;
    ++m_length;
    // A character typed inside the window or at its end joins it; FitVisible then trims the side away from the
    // caret.
    if (m_caret <= m_end) {
        ++m_end;
    }
    ++m_caret;
    return true;
}

void EditModel::EraseAt(size_t index) {
    std::copy(m_text.begin() + index + 1, m_text.begin() + m_length, m_text.begin() + index);
    --m_length;
    m_text[m_length] = u'\0';
    if (index < m_end) {
        --m_end;
    }
    if (index < m_first) {
        --m_first;
    }
}

void EditModel::Backspace() {
    if (m_caret == 0) {
        return;
    }
    --m_caret;
    EraseAt(m_caret);
}

void EditModel::FitVisible(ITextMeasurer& measurer) {
    const int room = m_rect.width - kWidthMargin;
    auto widthOf = [&](size_t from, size_t to) { return to > from ? measurer.TextWidth(&m_text[from], to - from) : 0; };

    m_end = std::min(m_end, m_length);
    m_first = std::min(m_first, m_end);
    m_first = std::min(m_first, m_caret);
    m_end = std::max(m_end, m_caret);

    while (m_first < m_end && widthOf(m_first, m_end) > room) {
        if (m_caret == m_end) {
            ++m_first;
        } else {
            --m_end;
        }
    }
    while (m_end < m_length && widthOf(m_first, m_end + 1) <= room) {
        ++m_end;
    }
    while (m_first > 0 && widthOf(m_first - 1, m_end) <= room) {
        --m_first;
    }
    // A field too narrow for even one character still shows the one before the caret.
    if (m_first == m_end && m_first > 0) {
        --m_first;
    }
    m_caretOffset = kTextInset + widthOf(m_first, m_caret);
}

}  // namespace common
