// The model of a one-line text field: buffer, caret, keyboard and input-method editing, and which part of the
// text is visible in the field's width. Drawing and text measurement belong to the Windows side.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/gfx/Surface565.h"

namespace common {

// Width in pixels of `count` characters of `text` in the font the field draws with.
class ITextMeasurer {
public:
    virtual ~ITextMeasurer() = default;
    virtual int TextWidth(const char16_t* text, size_t count) = 0;
};

// Windows key codes and input-method values the field reacts to, as plain integers for portable code.
constexpr uint32_t kEditKeyLeft = 0x25;
constexpr uint32_t kEditKeyRight = 0x27;
constexpr uint32_t kEditKeyDelete = 0x2E;
constexpr char16_t kEditBackspace = 8;
// First Hangul syllable: characters from here on come through the input method.
constexpr char16_t kEditFirstSyllable = 0xAC00;
// GCS_COMPSTR | GCS_COMPATTR | CS_INSERTCHAR | CS_NOMOVECARET: the input method shows one composing character.
constexpr uint32_t kEditComposingFlags = 0x6018;

enum class EditClick {
    Outside,      // focus lost
    Inside,       // already focused
    GainedFocus,  // the owner must tell its other fields
};

// How it works: the text is at most `maxLength` characters; every edit is refused rather than cut when it would
// not fit, and every index stays within [0, length]. While a composition is in progress the character just before
// the caret is the composing one: a new composing character replaces it, the finished syllable replaces it and
// ends the composition, and any other edit or caret move ends it first. After each change the visible window
// [first, end) is fitted to the field width minus 10 pixels: it always holds the caret, it is cut at the end
// away from the caret, and it grows back (end first, then front) into room freed by deletions.
class EditModel {
public:
    // `rect` is the field in owner coordinates; the text starts 5 pixels in.
    EditModel(PixelRect rect, size_t maxLength);

    EditClick Click(int x, int y);
    void SetFocusFromNotice(uint32_t id, uint32_t ownId) { m_isFocused = id == ownId; }
    void SetFocused(bool isFocused) { m_isFocused = isFocused; }
    bool IsFocused() const { return m_isFocused; }

    void SetText(const std::u16string& text, ITextMeasurer& measurer);
    void Clear();

    // Each returns true when taken; only a focused field takes anything.
    bool KeyDown(uint32_t virtualKey, ITextMeasurer& measurer);
    bool KeyUp() const { return m_isFocused; }
    bool Character(char16_t code, ITextMeasurer& measurer);
    void Composition(char16_t code, uint32_t flags, ITextMeasurer& measurer);
    bool ImeCharacter(char16_t code, ITextMeasurer& measurer);

    // The text, NUL-terminated.
    const char16_t* Text() const { return m_text.data(); }
    size_t Length() const { return m_length; }
    size_t MaxLength() const { return m_maxLength; }
    size_t Caret() const { return m_caret; }
    size_t FirstVisible() const { return m_first; }
    size_t EndVisible() const { return m_end; }
    bool IsComposing() const { return m_isComposing; }
    // Caret position in pixels from the field's left edge: the text inset of 5 plus the visible text before it.
    int CaretOffset() const { return m_caretOffset; }
    const PixelRect& Rect() const { return m_rect; }

private:
    bool Insert(char16_t code);
    void EraseAt(size_t index);
    void Backspace();
    void FitVisible(ITextMeasurer& measurer);

    PixelRect m_rect;
    size_t m_maxLength;
    std::vector<char16_t> m_text;  // m_maxLength + 1 units, zero past the text
    size_t m_length = 0;
    size_t m_caret = 0;
    size_t m_first = 0;
    size_t m_end = 0;
    int m_caretOffset = 0;
    bool m_isFocused = false;
    bool m_isComposing = false;
};

}  // namespace common
