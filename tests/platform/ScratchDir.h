// A fresh folder under the Windows temporary folder for one test, removed with its files at the end.
#pragma once

#include <windows.h>

#include <string>

namespace kelvo_test {

class ScratchDir {
public:
    explicit ScratchDir(const wchar_t* prefix = L"kelvo-test-") {
        wchar_t temp[MAX_PATH + 1] = {};
        ::GetTempPathW(MAX_PATH + 1, temp);
        static int s_counter = 0;
        m_path = std::wstring(temp) + prefix + std::to_wstring(::GetCurrentProcessId()) + L"-" +
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

    const std::wstring& path() const { return m_path; }
    std::wstring File(const std::wstring& name) const { return m_path + L"\\" + name; }
    // Writes a file of the folder whole; false when it cannot.
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

}  // namespace kelvo_test
