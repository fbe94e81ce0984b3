// Shared pieces of the DOM wrapper tests: test data paths, a scratch folder, a message-box recorder.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "platform/dom/CEXml.h"
#include "platform/dom/XmlItem.h"

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

// A fresh folder under the Windows temporary folder, removed with its files at the end.
class ScratchDir {
  public:
    ScratchDir() {
        wchar_t temp[MAX_PATH + 1] = {};
        ::GetTempPathW(MAX_PATH + 1, temp);
        static int s_counter = 0;
        m_path = std::wstring(temp) + L"kelvo-dom-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                 std::to_wstring(++s_counter);
        ::CreateDirectoryW(m_path.c_str(), nullptr);
    }
    ~ScratchDir() {
        WIN32_FIND_DATAW found = {};
        HANDLE find = ::FindFirstFileW((m_path + L"\\*").c_str(), &found);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                ::DeleteFileW((m_path + L"\\" + found.cFileName).c_str());
            } while (::FindNextFileW(find, &found));
            ::FindClose(find);
        }
        ::RemoveDirectoryW(m_path.c_str());
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    std::wstring File(const std::wstring& name) const { return m_path + L"\\" + name; }
    bool Write(const std::wstring& name, const std::string& bytes) const {
        HANDLE file = ::CreateFileW(File(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            return false;
        }
        DWORD written = 0;
        bool isWritten = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                         written == bytes.size();
        ::CloseHandle(file);
        return isWritten;
    }

  private:
    std::wstring m_path;
};

struct ShownBox {
    std::wstring text;
    std::wstring caption;
    UINT style;
};

// Stands in for MessageBoxW so a test sees every box the wrapper would have shown, without blocking.
class BoxRecorder {
  public:
    MessageBoxHook Hook() {
        return [this](const wchar_t* text, const wchar_t* caption, UINT style) {
            m_boxes.push_back({text, caption, style});
            return IDOK;
        };
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
