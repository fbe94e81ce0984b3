// Message boxes with the suite's fixed title and styles.
#include "platform/framework/MessageBoxes.h"

namespace platform {

namespace {
constexpr UINT kSuiteBoxStyle = MB_TOPMOST;
}  // namespace

int SystemMessageBoxes::Show(HWND owner, const std::wstring& text, const std::wstring& title, UINT type) {
    return ::MessageBoxW(owner, text.c_str(), title.c_str(), type);
}

void ShowInfo(IMessageBoxes& boxes, HWND owner, const std::wstring& text) {
    boxes.Show(owner, text, kInfoTitle, MB_OK | MB_ICONINFORMATION | kSuiteBoxStyle);
}

void ShowStop(IMessageBoxes& boxes, HWND owner, const std::wstring& text) {
    boxes.Show(owner, text, kInfoTitle, MB_OK | MB_ICONSTOP | kSuiteBoxStyle);
}

bool AskYesNo(IMessageBoxes& boxes, HWND owner, const std::wstring& text) {
    return boxes.Show(owner, text, kInfoTitle, MB_YESNO | MB_ICONINFORMATION | kSuiteBoxStyle) == IDYES;
}

int AppMessageBox(IMessageBoxes& boxes, const std::wstring& appTitle, const std::wstring& text, UINT type) {
    // Without an owner the box would sit behind a hidden frame's other windows; the task window is the owner.
    return boxes.Show(::GetActiveWindow(), text, appTitle, type);
}

}  // namespace platform
