// The launcher's back buffer: one picture of the window's size, composed each frame and copied to the window whole.
#pragma once

#include <windows.h>

#include "launcher/controls/GPicture.h"

class GDisplay {
public:
    GDisplay() = default;
    virtual ~GDisplay() = default;
    GDisplay(const GDisplay&) = delete;
    GDisplay& operator=(const GDisplay&) = delete;

    // Creates the back buffer (black) for `window`; false when the picture cannot be made.
    bool Bind(HWND window, int width, int height);
    GPicture& Picture() { return m_picture; }
    // One copy of the whole back buffer to the window's client area at (0, 0). False when the window has no DC.
    bool Present();
    void Free();

private:
    HWND m_window = nullptr;
    GPicture m_picture;
};
