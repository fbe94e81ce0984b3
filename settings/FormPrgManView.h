// The program management view: the installed store packages, each with its caption, parameters, icon, hot key
// and start flags, and the update and removal of one package.
#pragma once

#include <memory>

#include "common/settings/PackageRows.h"
#include "settings/SettingsView.h"

class CFormPrgManView final : public CSettingsView {
public:
    explicit CFormPrgManView(SettingsContext& context);

protected:
    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnFirstShowing() override;
    void OnLaterShowing() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    void OnSave() override;
    void OnOK() override;

private:
    void Refill(bool isFirstFilling);
    void ShowRow(int index);
    void ClearBoxes();
    // Copies the controls into the current row; `isChange` also marks it changed.
    void StoreControls(bool isChange);
    void MarkChanged();
    void OnKeyBoxChanged();
    void Select(int index);
    void Update();
    void Remove();
    void SendToAgent(ULONG_PTR kind, const std::vector<uint8_t>& record);

    platform::FileStoreWin m_store;
    std::unique_ptr<common::PackageRows> m_rows;
    int m_current = -1;
    bool m_isModified = false;
    bool m_isFilling = false;  // controls being set by the view itself
    int m_fallbackIcon = -1;   // index of the program's icon in the list's small image list, once added
};
