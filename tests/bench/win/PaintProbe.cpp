// Start to first paint of a window program, seen from outside it the same way for every program: the clock starts
// just before CreateProcess, and the window has painted once its top-level window of CLASS is visible and has no
// update region left (its first WM_PAINT went through BeginPaint/EndPaint, or it validated itself).
// usage: paint_probe.exe CLASS TIMEOUT_MS PROGRAM [ARGUMENTS]   prints the seconds; the program is left running.
#include <windows.h>

#include <cstdio>
#include <string>

int wmain(int argc, wchar_t** argv) {
    if (argc < 4) {
        std::fwprintf(stderr, L"usage: paint_probe CLASS TIMEOUT_MS PROGRAM [ARGUMENTS]\n");
        return 2;
    }
    const wchar_t* windowClass = argv[1];
    DWORD timeout = static_cast<DWORD>(_wtoi(argv[2]));
    std::wstring commandLine;
    for (int i = 3; i < argc; ++i) {
        commandLine += (i > 3 ? L" \"" : L"\"") + std::wstring(argv[i]) + L"\"";
    }
    LARGE_INTEGER frequency;
    LARGE_INTEGER start;
    LARGE_INTEGER now;
    ::QueryPerformanceFrequency(&frequency);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    ::QueryPerformanceCounter(&start);
    if (!::CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process)) {
        std::fwprintf(stderr, L"cannot start %ls: %lu\n", argv[3], ::GetLastError());
        return 1;
    }
    ::CloseHandle(process.hThread);
    ULONGLONG deadline = ::GetTickCount64() + timeout;
    for (;;) {
        HWND window = ::FindWindowW(windowClass, nullptr);
        if (window != nullptr && ::IsWindowVisible(window) && !::GetUpdateRect(window, nullptr, FALSE)) {
            ::QueryPerformanceCounter(&now);
            break;
        }
        if (::GetTickCount64() > deadline || ::WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) {
            std::fwprintf(stderr, L"no painted window of class %ls\n", windowClass);
            return 1;
        }
        ::Sleep(1);
    }
    ::CloseHandle(process.hProcess);
    std::printf("%.4f\n", static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart));
    return 0;
}
