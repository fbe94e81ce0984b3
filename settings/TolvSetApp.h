// The settings program's application object: one instance, one settings load, the frame.
#pragma once

#include <windows.h>

#include <memory>

#include "platform/framework/App.h"
#include "settings/MainFrame.h"
#include "settings/SettingsContext.h"

class TolvSetApp final : public platform::App {
public:
    explicit TolvSetApp(HINSTANCE instance);
    ~TolvSetApp() override;

protected:
    // False when another settings program runs (it is brought forward) or the window cannot be made.
    bool InitInstance(int showCommand) override;

private:
    std::unique_ptr<SettingsContext> m_context;
    std::unique_ptr<CMainFrame> m_frame;
};
