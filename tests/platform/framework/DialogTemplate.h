// In-memory dialog templates, so the framework's dialog tests need no resource script in the test program.
#pragma once

#include <windows.h>

#include <vector>

namespace kelvo_test {

inline constexpr WORD kButtonAtom = 0x0080;
inline constexpr WORD kEditAtom = 0x0081;
inline constexpr WORD kStaticAtom = 0x0082;

// The DLGTEMPLATE layout: header, no menu, default class, title; then DWORD-aligned items with a class atom.
class DialogTemplate {
public:
    DialogTemplate(DWORD style, short width, short height, const wchar_t* title) {
        PutDword(style);
        PutDword(0);
        m_words.push_back(0);  // item count, patched by AddItem
        for (short value : {short(0), short(0), width, height}) {
            m_words.push_back(static_cast<WORD>(value));
        }
        m_words.push_back(0);  // no menu
        m_words.push_back(0);  // the dialog manager's own class
        PutText(title);
    }

    void AddItem(WORD classAtom, WORD id, DWORD style, short x, short y, short width, short height,
                 const wchar_t* text) {
        if (m_words.size() % 2 != 0) {
            m_words.push_back(0);
        }
        PutDword(style | WS_CHILD | WS_VISIBLE);
        PutDword(0);
        for (short value : {x, y, width, height}) {
            m_words.push_back(static_cast<WORD>(value));
        }
        m_words.push_back(id);
        m_words.push_back(0xFFFF);
        m_words.push_back(classAtom);
        PutText(text);
        m_words.push_back(0);  // no creation data
        ++m_words[kItemCountIndex];
    }

    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(m_words.data()); }

private:
    static constexpr size_t kItemCountIndex = 4;

    void PutDword(DWORD value) {
        m_words.push_back(LOWORD(value));
        m_words.push_back(HIWORD(value));
    }
    void PutText(const wchar_t* text) {
        for (; *text != L'\0'; ++text) {
            m_words.push_back(static_cast<WORD>(*text));
        }
        m_words.push_back(0);
    }

    std::vector<WORD> m_words;
};

}  // namespace kelvo_test
