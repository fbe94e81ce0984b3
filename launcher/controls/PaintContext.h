// What the launcher's controls draw with: the picture of the frame (or panel) being composed.
#pragma once

#include <windows.h>

#include "launcher/controls/GPicture.h"

// Controls draw at their own position shifted right by offsetX (pages sliding in and out). `font` and
// `textColour` are for captions of controls that have no font or colour of their own.
struct common::PaintContext {
    GPicture& target;
    int offsetX = 0;
    HFONT font = nullptr;
    COLORREF textColour = 0;
};
