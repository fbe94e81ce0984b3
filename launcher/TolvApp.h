// The launcher's application object: it never runs without the agent, runs once, and paces its loop itself.
#pragma once

#include <windows.h>

#include <memory>

#include "launcher/MainPage.h"
#include "platform/framework/App.h"

// One per process, on the UI thread (see platform::App). The exit code is 1 after the loop has run, 0 when the
// launcher started the agent instead, found another launcher window (brought forward) or had no window.
class CTolvApp final : public platform::App {
public:
    explicit CTolvApp(HINSTANCE instance);
    ~CTolvApp() override;

protected:
    // Starts the agent and refuses when no agent window exists; the agent starts the launcher again once it is up.
    bool InitInstance(int showCommand) override;
    int ExitInstance(int exitCode) override;

private:
    void BringForward(platform::Hwnd existing);

    std::unique_ptr<CMainPage> m_page;
};
