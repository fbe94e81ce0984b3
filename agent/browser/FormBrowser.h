// The store browser: the agent's window onto the store's page, whose buttons queue installs and updates.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "agent/AgentState.h"
#include "agent/UpdateCheck.h"
#include "agent/browser/ImpIDispatch.h"
#include "common/agent/JobQueues.h"
#include "platform/browser/WebView.h"
#include "platform/framework/DialogBase.h"
#include "platform/framework/IMessageBoxes.h"

// How it works: a modeless dialog holding the web view, opened on the store's address (logged in when the
// settings say so). The page's install and update requests become jobs in the agent's queues after the checks
// a job must pass (a plain store directory and package name, not queued already, and for an update a newer
// version or a package the launcher does not list); the main frame is then told (1026/1027) and shows the
// launcher. The caption is drawn from a picture with three buttons of its own: home, minimise and close.
// Closing posts 1028 to the frame, which forgets the window.
//
// UI thread only; one object per agent, reused for every opening.
class CFormBrowser : public platform::DialogBase, private platform::IWebViewHost, private IStoreRequests {
public:
    CFormBrowser(HINSTANCE instance, HWND frame, AgentState& state, platform::IMessageBoxes& boxes,
                 CImpIDispatch& external, IStoreUpdateCheck& updates);

    // Creates and shows the window; false when it could not be made.
    bool Open(platform::ModelessDialogs* dialogs);
    // The store's address as B.4 builds it, for the home button too.
    std::wstring StoreAddress() const;
    platform::CWebBrowser2& Browser() { return m_browser; }

protected:
    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool OnInitDialog() override;
    void OnCancel() override;
    void OnOK() override {}
    void OnTimer(UINT_PTR timerId) override;

private:
    // IWebViewHost
    IDispatch* External() override { return &m_external; }
    bool FilterKey(const MSG& message) override;
    // IStoreRequests
    void UpdatePackage(const std::wstring& index, const std::wstring& storeDirectory,
                       const std::wstring& packageName) override;
    void InstallPackage(const std::wstring& index, const std::wstring& storeDirectory,
                        const std::wstring& packageName) override;

    // The view's place: the client area less one pixel on every side.
    RECT ViewRect() const;
    void FitView();
    void PaintCaption();
    // 1 close, 2 minimise, 3 home; 0 when the point (screen coordinates) is on none.
    int CaptionButtonAt(POINT screen) const;
    void OnCaptionButton(int button);
    bool IsListedInLauncher(const std::wstring& packageName) const;
    // The job the page asks for; nullopt when the package is queued already (the user is told, with
    // `busyText`) or its names are not plain ones (the user is told so).
    std::optional<common::PackageJob> NewJob(const std::wstring& index, const std::wstring& storeDirectory,
                                             const std::wstring& packageName, const wchar_t* busyText);
    void Inform(const wchar_t* text);

    HINSTANCE m_instance;
    HWND m_frame;
    AgentState& m_state;
    platform::IMessageBoxes& m_boxes;
    CImpIDispatch& m_external;
    IStoreUpdateCheck& m_updates;
    platform::CWebBrowser2 m_browser;
    UINT m_captionButtonMessage = 0;
};
