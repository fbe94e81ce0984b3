// Time to first paint of a window, seen from outside its program the same way for every program.
//
// usage: paint_probe.exe start CLASS TIMEOUT_MS PROGRAM [ARGUMENTS]
//   The clock starts just before CreateProcess; the window has painted once a top-level window of CLASS is
//   visible and has no update region left (its first WM_PAINT went through BeginPaint/EndPaint). The program is
//   left running.
// usage: paint_probe.exe post TARGET_CLASS MESSAGE TOP_CLASS TOP_TITLE CHILD_ID TIMEOUT_MS
//   The clock starts just before MESSAGE is posted to the top-level window of TARGET_CLASS; it stops when the
//   child CHILD_ID of the top-level window TOP_CLASS/TOP_TITLE is visible, has no update region left, and shows
//   a drawn page: at least kDrawnColours colours on the screen in a grid of its pixels (a blank or one-colour
//   view does not count). Meanwhile it keeps asking TARGET_CLASS's window for a WM_NULL round trip, and prints
//   after the seconds the longest one: how long the target's UI thread was kept from its messages; then when
//   the top-level window was first seen painted (seconds from the post), and how long the probe's last look
//   took (the figure's own resolution: the page was drawn at most that long before the clock stopped).
// Both print the seconds first.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>

namespace {

constexpr size_t kDrawnColours = 4;
constexpr int kGridStep = 4;

bool IsPainted(HWND window) {
    return window != nullptr && ::IsWindowVisible(window) && !::GetUpdateRect(window, nullptr, FALSE);
}

// The window's screen pixels come in one blit and are read from memory: under Wine each GetPixel of the screen is
// a read of the X server's picture of its own, and a grid of them took longer than the paint being waited for.
bool ShowsDrawnPage(HWND window) {
    RECT rect = {};
    ::GetWindowRect(window, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) {
        return false;
    }
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP copy = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    std::set<DWORD> colours;
    if (memory != nullptr && copy != nullptr) {
        HGDIOBJ old = ::SelectObject(memory, copy);
        if (::BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY)) {
            const DWORD* pixels = static_cast<const DWORD*>(bits);
            for (int y = 0; y < height && colours.size() < kDrawnColours; y += kGridStep) {
                for (int x = 0; x < width && colours.size() < kDrawnColours; x += kGridStep) {
                    colours.insert(pixels[static_cast<size_t>(y) * width + x] & 0xFFFFFF);
                }
            }
        }
        ::SelectObject(memory, old);
    }
    if (copy != nullptr) {
        ::DeleteObject(copy);
    }
    if (memory != nullptr) {
        ::DeleteDC(memory);
    }
    ::ReleaseDC(nullptr, screen);
    return colours.size() >= kDrawnColours;
}

class Clock {
public:
    Clock() {
        ::QueryPerformanceFrequency(&m_frequency);
        ::QueryPerformanceCounter(&m_start);
    }
    double Seconds() const {
        LARGE_INTEGER now;
        ::QueryPerformanceCounter(&now);
        return static_cast<double>(now.QuadPart - m_start.QuadPart) / static_cast<double>(m_frequency.QuadPart);
    }

private:
    LARGE_INTEGER m_frequency;
    LARGE_INTEGER m_start;
};

template <typename Done, typename Gone>
int WaitFor(const Clock& clock, DWORD timeout, Done isDone, Gone isGone) {
    ULONGLONG deadline = ::GetTickCount64() + timeout;
    for (;;) {
        if (isDone()) {
            std::printf("%.4f\n", clock.Seconds());
            return 0;
        }
        if (::GetTickCount64() > deadline || isGone()) {
            std::fwprintf(stderr, L"no painted window within %lu ms\n", timeout);
            return 1;
        }
        ::Sleep(1);
    }
}

int StartAndWait(int argc, wchar_t** argv) {
    const wchar_t* windowClass = argv[2];
    DWORD timeout = static_cast<DWORD>(_wtoi(argv[3]));
    std::wstring commandLine;
    for (int i = 4; i < argc; ++i) {
        commandLine += (i > 4 ? L" \"" : L"\"") + std::wstring(argv[i]) + L"\"";
    }
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    Clock clock;
    if (!::CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process)) {
        std::fwprintf(stderr, L"cannot start %ls: %lu\n", argv[4], ::GetLastError());
        return 1;
    }
    ::CloseHandle(process.hThread);
    int result = WaitFor(
        clock, timeout, [&] { return IsPainted(::FindWindowW(windowClass, nullptr)); },
        [&] { return ::WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0; });
    ::CloseHandle(process.hProcess);
    return result;
}

int PostAndWait(wchar_t** argv) {
    HWND target = ::FindWindowW(argv[2], nullptr);
    UINT message = static_cast<UINT>(_wtoi(argv[3]));
    const wchar_t* topClass = argv[4];
    const wchar_t* topTitle = argv[5];
    int childId = _wtoi(argv[6]);
    DWORD timeout = static_cast<DWORD>(_wtoi(argv[7]));
    if (target == nullptr) {
        std::fwprintf(stderr, L"no window of class %ls\n", argv[2]);
        return 1;
    }
    Clock clock;
    ::PostMessageW(target, message, 0, 0);
    double longestStall = 0;
    double topPainted = -1;
    double lastLook = 0;
    int result = WaitFor(
        clock, timeout,
        [&] {
            Clock look;
            DWORD_PTR answer = 0;
            ::SendMessageTimeoutW(target, WM_NULL, 0, 0, SMTO_NORMAL, timeout, &answer);
            longestStall = std::max(longestStall, look.Seconds());
            HWND top = ::FindWindowW(topClass, topTitle);
            HWND child = top != nullptr ? ::GetDlgItem(top, childId) : nullptr;
            const bool isTopPainted = IsPainted(top);
            if (isTopPainted && topPainted < 0) {
                topPainted = clock.Seconds();
            }
            const bool isDone = isTopPainted && IsPainted(child) && ShowsDrawnPage(child);
            lastLook = look.Seconds();
            return isDone;
        },
        [&] { return !::IsWindow(target); });
    if (result == 0) {
        std::printf("%.4f\n%.4f\n%.4f\n", longestStall, topPainted, lastLook);
    }
    return result;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring mode = argc > 1 ? argv[1] : L"";
    if (mode == L"start" && argc >= 5) {
        return StartAndWait(argc, argv);
    }
    if (mode == L"post" && argc == 8) {
        return PostAndWait(argv);
    }
    std::fwprintf(stderr, L"usage: paint_probe start CLASS TIMEOUT_MS PROGRAM [ARGUMENTS]\n"
                          L"       paint_probe post TARGET_CLASS MESSAGE TOP_CLASS TOP_TITLE CHILD_ID TIMEOUT_MS\n");
    return 2;
}
