// Program starts through ShellExecuteW.
#include "agent/ProgramStarter.h"

#include <shellapi.h>

#include "platform/WideText.h"

bool ShellProgramStarter::Start(HWND owner, const std::wstring& file, const std::wstring& params,
                                const std::wstring& folder, int show) {
    HINSTANCE result = ::ShellExecuteW(owner, L"open", file.c_str(), params.empty() ? nullptr : params.c_str(),
                                       folder.empty() ? nullptr : folder.c_str(), show);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

void StartAll(IProgramStarter& starter, const common::ProgramList& list, DWORD pauseMs) {
    for (const std::u16string& path : list.Paths()) {
        starter.Start(nullptr, platform::ToWide(path), std::wstring(), std::wstring(), SW_SHOW);
        ::Sleep(pauseMs);
    }
}
