// Agent process start and end.
#include "agent/MarloApp.h"

#include <ole2.h>

#include <clocale>

#include "agent/resource.h"
#include "common/ipc/SuiteNames.h"
#include "platform/WideText.h"
#include "platform/framework/MessageBoxes.h"

namespace {
constexpr DWORD kAutoClosePauseMs = 100;
constexpr wchar_t kOleFailed[] = L"OLE를 초기화할 수 없습니다. OLE 라이브러리 버전이 올바른지 확인하십시오.";
}  // namespace

CMarloApp::CMarloApp(HINSTANCE instance) : App(instance, platform::WideCStr(common::kAgentTitle)) {
    m_state.moduleFolder = moduleFolder();
    MakeTempFolder();
}

CMarloApp::~CMarloApp() = default;

void CMarloApp::MakeTempFolder() {
    wchar_t windows[MAX_PATH] = {};
    UINT length = ::GetWindowsDirectoryW(windows, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return;
    }
    m_state.tempFolder = std::wstring(windows, length) + L"\\Temp";
    ::CreateDirectoryW(m_state.tempFolder.c_str(), nullptr);
}

bool CMarloApp::InitInstance(int /*showCommand*/) {
    if (FindRunningInstance(platform::WideCStr(common::kAgentClass))) {
        return false;
    }
    if (FAILED(::OleInitialize(nullptr))) {
        // No window exists yet to own it; top-most so that it is not lost behind other programs.
        boxes().Show(nullptr, kOleFailed, platform::kInfoTitle, MB_OK | MB_ICONINFORMATION | MB_TOPMOST);
        return false;
    }
    m_isOleReady = true;
    // Names in the suite's files compare under the Korean code page, as every program reads them.
    _wsetlocale(LC_ALL, L"kor");

    m_frame = std::make_unique<CMainFrame>(instance(), m_state, boxes(), m_starter, m_store);
    if (!m_frame->Create()) {
        return false;
    }
    m_frame->RunStartUp(&modelessDialogs());
    return true;
}

int CMarloApp::ExitInstance(int exitCode) {
    if (m_frame && m_frame->IsWorkerStuck()) {
        // The worker still uses the frame and the state: the process ends around it, after the user's own
        // closing programs have run.
        StartAll(m_starter, m_state.autoClose, kAutoClosePauseMs);
        ::ExitProcess(static_cast<UINT>(exitCode));
    }
    m_frame.reset();
    StartAll(m_starter, m_state.autoClose, kAutoClosePauseMs);
    if (m_isOleReady) {
        ::OleUninitialize();
    }
    return exitCode;
}
