// Shared pieces of the DOM wrapper tests: test data paths, a scratch folder, a message-box recorder.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "platform/dom/CEXml.h"
#include "platform/dom/XmlItem.h"
#include "platform/framework/IMessageBoxes.h"
#include "tests/platform/ScratchDir.h"

namespace domtest {

// Build paths are Unix paths; under Wine the whole Unix tree is drive Z:.
inline std::wstring ToWindowsPath(const std::string& unixPath) {
    std::wstring wide(unixPath.size(), L'\0');
    int length = ::MultiByteToWideChar(CP_UTF8, 0, unixPath.data(), static_cast<int>(unixPath.size()), wide.data(),
                                       static_cast<int>(wide.size()));
    wide.resize(length > 0 ? static_cast<size_t>(length) : 0);
    if (!wide.empty() && wide[0] == L'/') {
        wide.insert(0, L"Z:");
    }
    for (wchar_t& c : wide) {
        if (c == L'/') {
            c = L'\\';
        }
    }
    return wide;
}

inline std::wstring DataPath(const std::wstring& name) {
#ifdef KELVO_TEST_DATA
    std::string dir = std::string(KELVO_TEST_DATA) + "/dom/";
#else
    // This header sits at tests/platform/dom/; the data at tests/data/dom/.
    std::string dir = __FILE__;
    dir = dir.substr(0, dir.rfind("platform/dom/")) + "data/dom/";
#endif
    return ToWindowsPath(dir) + name;
}

// A scratch folder named after this suite of tests.
class ScratchDir : public kelvo_test::ScratchDir {
public:
    ScratchDir() : kelvo_test::ScratchDir(L"kelvo-dom-") {}
};

struct ShownBox {
    std::wstring text;
    std::wstring caption;
    UINT style;
    HWND owner;
};

// Stands in for the system's boxes so a test sees every box the wrapper would have shown, without blocking.
class BoxRecorder final : public platform::IMessageBoxes {
public:
    int Show(HWND owner, const std::wstring& text, const std::wstring& title, UINT type) override {
        m_boxes.push_back({text, title, type, owner});
        return IDOK;
    }
    const std::vector<ShownBox>& boxes() const { return m_boxes; }

private:
    std::vector<ShownBox> m_boxes;
};

// Follows names from `item` down the tree, first match ignoring case at each level; null when a step is missing.
inline const CXmlItem* ItemAt(const CXmlItem& item, std::initializer_list<const wchar_t*> names) {
    const CXmlItem* current = &item;
    for (const wchar_t* name : names) {
        current = current->FindChild(name);
        if (!current) {
            return nullptr;
        }
    }
    return current;
}

inline std::wstring ValueAt(const CXmlItem& item, std::initializer_list<const wchar_t*> names) {
    const CXmlItem* found = ItemAt(item, names);
    return found ? found->GetValue() : L"<missing>";
}

}  // namespace domtest
