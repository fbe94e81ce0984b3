// The suite's message boxes: the real system box, and the fixed styles every program uses with it.
#pragma once

#include <windows.h>

#include <string>

#include "platform/framework/IMessageBoxes.h"

namespace platform {

// Title of every box the suite shows to the user, unless a program's own box says otherwise.
inline constexpr wchar_t kInfoTitle[] = L"정보";

class SystemMessageBoxes final : public IMessageBoxes {
public:
    int Show(HWND owner, const std::wstring& text, const std::wstring& title, UINT type) override;
};

// "정보", OK, information icon, kept top-most.
void ShowInfo(IMessageBoxes& boxes, HWND owner, const std::wstring& text);
// "정보", OK, stop icon, kept top-most: for failures that end what the user asked for.
void ShowStop(IMessageBoxes& boxes, HWND owner, const std::wstring& text);
// "정보", Yes/No, information icon, kept top-most. Only an explicit Yes counts; a box that could not be shown is No.
bool AskYesNo(IMessageBoxes& boxes, HWND owner, const std::wstring& text);
// The framework's plain box: the program's title, OK unless `type` says more; returns the button pressed.
int AppMessageBox(IMessageBoxes& boxes, const std::wstring& appTitle, const std::wstring& text, UINT type = MB_OK);

}  // namespace platform
