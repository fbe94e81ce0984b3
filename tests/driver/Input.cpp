// Mouse clicks and drags at client coordinates of a program's window.
//
// Real input (the default) raises the window, moves the cursor and synthesises button events with SendInput, so
// the program sees what a user's click produces: focus and activation, capture, GetCursorPos and key state.
// --post instead posts the mouse messages to the window under the point, which needs no foreground rights but
// skips all of that; programs that call SetCapture or GetAsyncKeyState may behave differently.
#include "Input.h"

#include <windows.h>

#include "Console.h"
#include "TopWindows.h"

namespace kdrive {
namespace {

constexpr DWORD kForegroundWaitMs = 1000;
constexpr DWORD kEventGapMs = 15;
constexpr int64_t kDefaultDragSteps = 10;

struct MouseButton {
    DWORD downFlag;
    DWORD upFlag;
    UINT downMessage;
    UINT upMessage;
    WPARAM keyState;
};

constexpr MouseButton kLeftButton = {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, WM_LBUTTONDOWN, WM_LBUTTONUP,
                                     MK_LBUTTON};
constexpr MouseButton kRightButton = {MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP, WM_RBUTTONDOWN, WM_RBUTTONUP,
                                      MK_RBUTTON};

LPARAM PointParam(POINT pt) {
    return MAKELPARAM(static_cast<WORD>(static_cast<SHORT>(pt.x)), static_cast<WORD>(static_cast<SHORT>(pt.y)));
}

// The deepest visible child under a client point of top, and the point in that child's client coordinates; a
// posted click must reach the control a user's click would reach, not its parent.
HWND WindowUnder(HWND top, POINT clientPt, POINT* targetPt) {
    HWND current = top;
    POINT pt = clientPt;
    for (;;) {
        HWND child = ChildWindowFromPointEx(current, pt, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
        if (!child || child == current) {
            break;
        }
        MapWindowPoints(current, child, &pt, 1);
        current = child;
    }
    *targetPt = pt;
    return current;
}

bool SendMouse(DWORD flags, POINT screenPt) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    if (flags & MOUSEEVENTF_MOVE) {
        // Absolute coordinates run 0..65535 across the primary screen.
        input.mi.dwFlags |= MOUSEEVENTF_ABSOLUTE;
        input.mi.dx = MulDiv(screenPt.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
        input.mi.dy = MulDiv(screenPt.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    }
    return SendInput(1, &input, sizeof(input)) == 1;
}

bool IsCursorAt(POINT screenPt) {
    POINT now = {};
    return GetCursorPos(&now) && now.x == screenPt.x && now.y == screenPt.y;
}

// In Wine's virtual desktop the X server reports the pointer back some time after a move, and a report of the
// old place can move the cursor back after we moved it: a press sent then lands elsewhere. So the move is
// repeated until the cursor has stayed at the point for a few readings in a row.
bool MoveCursor(POINT screenPt) {
    constexpr int kSteadyReadings = 3;
    const ULONGLONG deadline = GetTickCount64() + kForegroundWaitMs;
    do {
        if (!SetCursorPos(screenPt.x, screenPt.y) || !SendMouse(MOUSEEVENTF_MOVE, screenPt)) {
            return false;
        }
        int steady = 0;
        while (steady < kSteadyReadings && IsCursorAt(screenPt)) {
            ++steady;
            Sleep(kEventGapMs);
        }
        if (steady == kSteadyReadings) {
            return true;
        }
    } while (GetTickCount64() < deadline);
    return IsCursorAt(screenPt);
}

// Returns once the window's thread has handled what was sent to it before (activation, the pointer's arrival):
// a sent message is handled only when the thread next reads its queue. In Wine's virtual desktop a press that
// arrives while the activation is still under way is lost.
void WaitUntilHandled(HWND hwnd) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kForegroundWaitMs, &ignored);
}

int RaiseOrFail(HWND hwnd) {
    if (IsIconic(hwnd)) {
        ShowWindow(hwnd, SW_RESTORE);
    }
    SetForegroundWindow(hwnd);
    const ULONGLONG deadline = GetTickCount64() + kForegroundWaitMs;
    while (GetForegroundWindow() != hwnd) {
        if (GetTickCount64() >= deadline) {
            return Fail(L"window " + HexHandle(hwnd) + L" did not come to the foreground");
        }
        Sleep(kEventGapMs);
    }
    WaitUntilHandled(hwnd);
    return kExitOk;
}

// Real input lands on whatever is on top at that point, so say so rather than click something else. Windows
// also lets clicks through a layered window's colour-keyed pixels; Wine does not (WindowFromPoint and SendInput
// both hit the window there), so a click on a hole passes here under Wine only.
int CheckReachable(HWND hwnd, POINT screenPt) {
    HWND hit = WindowFromPoint(screenPt);
    if (!hit || GetAncestor(hit, GA_ROOT) != hwnd) {
        return Fail(L"point " + std::to_wstring(screenPt.x) + L"," + std::to_wstring(screenPt.y) +
                    L" (screen) is not on window " + HexHandle(hwnd) + L" but on " + HexHandle(hit));
    }
    return kExitOk;
}

POINT ToScreen(HWND hwnd, std::pair<int, int> clientPt) {
    POINT pt = {clientPt.first, clientPt.second};
    ClientToScreen(hwnd, &pt);
    return pt;
}

int PostClick(HWND hwnd, std::pair<int, int> clientPt, const MouseButton& button) {
    POINT targetPt = {};
    HWND target = WindowUnder(hwnd, POINT{clientPt.first, clientPt.second}, &targetPt);
    const LPARAM at = PointParam(targetPt);
    if (!PostMessageW(target, WM_MOUSEMOVE, 0, at) || !PostMessageW(target, button.downMessage, button.keyState, at) ||
        !PostMessageW(target, button.upMessage, 0, at)) {
        return FailWithLastError(L"PostMessage failed");
    }
    return kExitOk;
}

int RealClick(HWND hwnd, std::pair<int, int> clientPt, const MouseButton& button) {
    if (int result = RaiseOrFail(hwnd)) {
        return result;
    }
    const POINT screenPt = ToScreen(hwnd, clientPt);
    if (int result = CheckReachable(hwnd, screenPt)) {
        return result;
    }
    if (!MoveCursor(screenPt)) {
        return FailWithLastError(L"moving the cursor failed");
    }
    Sleep(kEventGapMs);
    WaitUntilHandled(hwnd);
    if (!SendMouse(button.downFlag, screenPt)) {
        return FailWithLastError(L"SendInput failed");
    }
    Sleep(kEventGapMs);
    if (!SendMouse(button.upFlag, screenPt)) {
        return FailWithLastError(L"SendInput failed");
    }
    return kExitOk;
}

std::pair<int, int> Interpolate(std::pair<int, int> from, std::pair<int, int> to, int64_t step, int64_t steps) {
    return {static_cast<int>(from.first + (to.first - from.first) * step / steps),
            static_cast<int>(from.second + (to.second - from.second) * step / steps)};
}

// All messages go to the window under the starting point, as they would while it holds the capture.
int PostDrag(HWND hwnd, std::pair<int, int> from, std::pair<int, int> to, int64_t steps) {
    POINT targetPt = {};
    HWND target = WindowUnder(hwnd, POINT{from.first, from.second}, &targetPt);
    POINT offset = {targetPt.x - from.first, targetPt.y - from.second};
    auto at = [&](std::pair<int, int> p) { return PointParam(POINT{p.first + offset.x, p.second + offset.y}); };
    bool isPosted =
        PostMessageW(target, WM_MOUSEMOVE, 0, at(from)) && PostMessageW(target, WM_LBUTTONDOWN, MK_LBUTTON, at(from));
    for (int64_t step = 1; isPosted && step <= steps; ++step) {
        isPosted = PostMessageW(target, WM_MOUSEMOVE, MK_LBUTTON, at(Interpolate(from, to, step, steps)));
    }
    if (!isPosted || !PostMessageW(target, WM_LBUTTONUP, 0, at(to))) {
        return FailWithLastError(L"PostMessage failed");
    }
    return kExitOk;
}

int RealDrag(HWND hwnd, std::pair<int, int> from, std::pair<int, int> to, int64_t steps) {
    if (int result = RaiseOrFail(hwnd)) {
        return result;
    }
    const POINT start = ToScreen(hwnd, from);
    if (int result = CheckReachable(hwnd, start)) {
        return result;
    }
    if (!MoveCursor(start)) {
        return FailWithLastError(L"moving the cursor failed");
    }
    Sleep(kEventGapMs);
    WaitUntilHandled(hwnd);
    if (!SendMouse(MOUSEEVENTF_LEFTDOWN, start)) {
        return FailWithLastError(L"SendInput failed");
    }
    for (int64_t step = 1; step <= steps; ++step) {
        Sleep(kEventGapMs);
        if (!MoveCursor(ToScreen(hwnd, Interpolate(from, to, step, steps)))) {
            return FailWithLastError(L"moving the cursor failed");
        }
    }
    Sleep(kEventGapMs);
    if (!SendMouse(MOUSEEVENTF_LEFTUP, ToScreen(hwnd, to))) {
        return FailWithLastError(L"SendInput failed");
    }
    return kExitOk;
}

}  // namespace

int RunClick(const Args& args) {
    const std::wstring buttonName = args.Text(L"button", L"left");
    if (buttonName != L"left" && buttonName != L"right") {
        return UsageError(L"--button must be left or right");
    }
    HWND hwnd = FindTargetOrFail(args);
    if (!hwnd) {
        return kExitFailed;
    }
    const MouseButton& button = buttonName == L"left" ? kLeftButton : kRightButton;
    const std::pair<int, int> clientPt = {static_cast<int>(args.Number(L"x", 0)),
                                          static_cast<int>(args.Number(L"y", 0))};
    return args.Has(L"post") ? PostClick(hwnd, clientPt, button) : RealClick(hwnd, clientPt, button);
}

int RunDrag(const Args& args) {
    HWND hwnd = FindTargetOrFail(args);
    if (!hwnd) {
        return kExitFailed;
    }
    const int64_t steps = args.Number(L"steps", kDefaultDragSteps);
    return args.Has(L"post") ? PostDrag(hwnd, args.Point(L"from"), args.Point(L"to"), steps)
                             : RealDrag(hwnd, args.Point(L"from"), args.Point(L"to"), steps);
}

// Moves the pointer to a screen point without a click, so what lights up under it (hover) is the test's choice.
int RunPointer(const Args& args) {
    POINT screenPt = {static_cast<LONG>(args.Number(L"x", 0)), static_cast<LONG>(args.Number(L"y", 0))};
    return MoveCursor(screenPt) ? kExitOk : FailWithLastError(L"cannot move the pointer");
}

}  // namespace kdrive
