// The updater's application object: reads whether the user wants update checks, runs the dialog, starts the agent.
#pragma once

#include <windows.h>

#include "platform/framework/App.h"

class CKelvoUpApp final : public platform::App {
public:
    explicit CKelvoUpApp(HINSTANCE instance);

protected:
    // Always false: the work is done by the time it returns, and the program ends.
    bool InitInstance(int showCommand) override;

private:
    int ReadUpdateCheck() const;
};
