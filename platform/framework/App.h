// The application object of every program of the suite: set-up, message loop, tear-down.
#pragma once

#include <windows.h>

#include <string>

#include "platform/Hwnd.h"
#include "platform/framework/MessageBoxes.h"
#include "platform/framework/MessageLoopPolicy.h"
#include "platform/framework/ModelessDialogs.h"

namespace platform {

// One per program, built in wWinMain on the UI thread and living until Main returns; it is the only owner of the
// program's process-wide state (nothing here is global). Main runs InitInstance, then the message loop when
// InitInstance says so, then ExitInstance, whose result is the process exit code.
class App {
public:
    // `title` is the program's name as its own boxes show it. The module folder is looked up here.
    App(HINSTANCE instance, std::wstring title);
    virtual ~App() = default;
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    int Main(int showCommand);

    HINSTANCE instance() const { return m_instance; }
    const std::wstring& title() const { return m_title; }
    // The folder of the running executable without a trailing backslash ("T:\Kelvo"); empty when Windows could
    // not name the executable. Every suite file is addressed from it.
    const std::wstring& moduleFolder() const { return m_moduleFolder; }
    // moduleFolder + "\" + name.
    std::wstring ModuleFile(const std::wstring& name) const;

    ModelessDialogs& modelessDialogs() { return m_modeless; }

    // Boxes go through an injectable door so tests can answer them; `boxes` must outlive the App, nullptr puts
    // the system boxes back.
    void SetMessageBoxes(IMessageBoxes* boxes) { m_boxes = boxes != nullptr ? boxes : &m_systemBoxes; }
    IMessageBoxes& boxes() const { return *m_boxes; }
    int AppMessageBox(const std::wstring& text, UINT type = MB_OK) const;

    // The window of an instance already running, found by its window class; null when there is none. Single
    // instance by window class needs no mutex, at the price of a short window while the first instance starts.
    static Hwnd FindRunningInstance(const wchar_t* windowClass);

protected:
    // Creates the main window and whatever the program needs before the loop. Returning false skips the loop
    // (a second instance, a failed set-up, or a program whose modal dialog already ran) with exit code 0.
    virtual bool InitInstance(int showCommand);
    // Runs after the loop (or a false InitInstance); `exitCode` is WM_QUIT's wParam. Returns the process code.
    virtual int ExitInstance(int exitCode);
    // Sees every queued message before it is translated and dispatched; true means consumed.
    virtual bool PreTranslateMessage(MSG& msg);

    // Without a loop policy: GetMessage loop until WM_QUIT; returns its exit code, or -1 when GetMessage fails.
    // With one: the paced loop of IMessageLoopPolicy until it asks to stop; returns the last WM_QUIT's code, or 0.
    int Run();
    // `policy` must outlive the loop; nullptr puts the blocking loop back.
    void SetLoopPolicy(IMessageLoopPolicy* policy) { m_loopPolicy = policy; }

private:
    int RunPaced(IMessageLoopPolicy& policy);

    HINSTANCE m_instance;
    std::wstring m_title;
    std::wstring m_moduleFolder;
    ModelessDialogs m_modeless;
    SystemMessageBoxes m_systemBoxes;
    IMessageBoxes* m_boxes = &m_systemBoxes;
    IMessageLoopPolicy* m_loopPolicy = nullptr;
};

}  // namespace platform
