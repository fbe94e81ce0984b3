// The launcher's small reusable frame: window creation, its own message loop, and dispatch to virtual hooks.
#pragma once

#include <windows.h>

#include "platform/WindowBase.h"

// Each loop turn takes at most one message, then sleeps 1 ms and runs one idle step: that pace drives animation.
// While nothing animates and no message waits, the loop blocks until input arrives instead of waking a thousand
// times a second. A paint follows every sixth dispatched message. Everything runs on the UI thread.
class CMainWnd : public platform::WindowBase {
public:
    explicit CMainWnd(HINSTANCE instance) : m_instance(instance) {}
    ~CMainWnd() override = default;

    // Runs the message loop until the stop flag is set, then calls ShutDown. Returns 1.
    virtual int Run();
    // Composes the whole window and copies it to the screen.
    virtual void Paint() {}
    // Called while idle and active with the seconds since the previous tick, clamped to [0, 5].
    virtual void FrameTick(float /*seconds*/) {}
    // Called once per loop turn.
    virtual void IdleStep() {}
    // True while an animation needs the loop's idle steps; otherwise the loop may block between messages.
    virtual bool IsAnimating() const { return false; }
    // Called once after the window exists and before it is shown.
    virtual void StartUp() {}
    // Called once after the loop ends.
    virtual void ShutDown() {}
    virtual void KeyDown(WPARAM /*key*/) {}
    virtual void KeyUp(WPARAM /*key*/) {}
    virtual void Activation(bool /*isActive*/) {}
    virtual void Command(WORD /*controlId*/, WORD /*code*/) {}
    virtual void LButtonDown(int /*x*/, int /*y*/) {}
    virtual void LButtonUp(int /*x*/, int /*y*/) {}
    virtual void MouseMove(int /*x*/, int /*y*/) {}

    // Creates the single top-level window of this class and title (className), or brings an existing one to
    // the foreground and returns false. On success the window is shown, colour-keyed and stored program-wide.
    virtual bool CreateAppWindow(int showCommand, const wchar_t* className, int width, int height, int iconId,
                                 bool noForeground);

protected:
    // The base procedure: flags, activation and input hooks, then DefWindowProcW.
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    HINSTANCE instance() const { return m_instance; }
    bool isActive() const { return m_isActive; }
    void RequestStop() { m_isStopRequested = true; }

private:
    float TakeElapsedSeconds();

    HINSTANCE m_instance;
    bool m_isActive = false;
    bool m_isRunning = false;
    bool m_isStopRequested = false;
    bool m_noForeground = false;
    int m_dispatchedSincePaint = 0;
    LARGE_INTEGER m_counterFrequency = {};
    LARGE_INTEGER m_lastCounter = {};
};
