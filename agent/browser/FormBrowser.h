// The store browser: the agent's window onto the store's page, whose buttons queue installs and updates.
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "agent/AgentState.h"
#include "agent/UpdateCheck.h"
#include "agent/browser/ImpIDispatch.h"
#include "common/agent/JobQueues.h"
#include "common/browser/CaptionButtons.h"
#include "platform/UniqueHandle.h"
#include "platform/browser/BrowserControl.h"
#include "platform/browser/IBrowserHost.h"
#include "platform/browser/WebView.h"
#include "platform/framework/DialogBase.h"
#include "platform/framework/IMessageBoxes.h"

// How it works: a modeless dialog holding the store's page in control 1008, opened on the store's address (logged
// in when the settings say so). The page is shown by the system's browser control when it can show pages, and by
// our own page view otherwise; both hand the page the same window.external object and filter the same keys. The
// decision: first a probe asks whether an HTML document can be made here at all; when it cannot, the control
// could show no page and the page view is taken at once. Otherwise the control is created and navigated; when it
// cannot be created, cannot start the navigation, or brings no document (a page or its own error page) within the
// document wait, it is closed and the page view takes its place in the same window. The decision is reported
// once per opening (OutputDebugString and stderr). The
// page's install and update requests become jobs in the agent's queues after the checks a job must pass (a plain store
// directory and package name, not queued already, and for an update a newer version or a package the launcher does not
// list); the main frame is then told (1026/1027) and shows the launcher. The caption is drawn from a picture with three
// buttons of its own: home, minimise and close. Closing posts 1028 to the frame, which forgets the window.
//
// UI thread only; one object per agent, reused for every opening.
class CFormBrowser : public platform::DialogBase, private platform::IBrowserHost, private IStoreRequests {
public:
    enum class StoreView { None, Control, PageView };
    // S_OK when the control could have a document here, otherwise why not.
    using DocumentProbe = std::function<HRESULT()>;
    static constexpr UINT kDefaultDocumentWaitMs = 8000;

    CFormBrowser(HINSTANCE instance, HWND frame, AgentState& state, platform::IMessageBoxes& boxes,
                 CImpIDispatch& external, IStoreUpdateCheck& updates);

    // Creates and shows the window; false when it could not be made.
    bool Open(platform::ModelessDialogs* dialogs);
    // The store's address, for the home button too.
    std::wstring StoreAddress() const;
    // The caption button lit under the cursor.
    common::CaptionButton HoverButton() const { return m_hoverButton; }
    // How long a navigation of the control may take to bring a document before the page view takes over; set
    // before Open.
    void SetDocumentWait(UINT ms) { m_documentWaitMs = ms; }
    // Replaces the probe asked before the control is tried (BrowserControl::ProbeHtmlDocument); tests take the
    // control's path with a probe that always succeeds. Set before Open.
    void SetDocumentProbe(DocumentProbe probe) { m_documentProbe = std::move(probe); }
    StoreView View() const { return m_view; }
    // Why the shown view was chosen, as reported.
    const std::wstring& ViewDecision() const { return m_viewDecision; }
    // The control while it shows the page; null otherwise.
    platform::BrowserControl* Control() { return m_control.get(); }
    // The page view's handle; empty unless the page view shows the page.
    platform::CWebBrowser2& Browser() { return m_browser; }
    // Gives the control its keys before the dialog manager.
    bool PreTranslateMessage(MSG& message) override;

protected:
    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool OnInitDialog() override;
    void OnCancel() override;
    void OnOK() override {}
    void OnTimer(UINT_PTR timerId) override;

private:
    // IBrowserHost
    IDispatch* External() override { return &m_external; }
    bool FilterKey(const MSG& message) override;
    void ShowPageMessage(HWND owner, const std::wstring& text) override;
    bool AskPageQuestion(HWND owner, const std::wstring& text) override;
    void OnNavigateComplete(const std::wstring& url) override;
    void OnDocumentComplete(const std::wstring& url, bool hasDocument) override;
    void OnNavigateError(const std::wstring& url, long status) override;
    // IStoreRequests
    void UpdatePackage(const std::wstring& index, const std::wstring& storeDirectory,
                       const std::wstring& packageName) override;
    void InstallPackage(const std::wstring& index, const std::wstring& storeDirectory,
                        const std::wstring& packageName) override;

    // The control when it could show pages and can be made, the page view otherwise.
    void CreateView();
    // Navigates whichever view shows the page to the store's address.
    void NavigateStore();
    // Replaces the control (if any) by the page view and loads the store's page there.
    void UsePageView(const std::wstring& reason);
    void OnDocumentWaitOver();
    void ReportView(const std::wstring& decision);
    // The view's place: the client area less one pixel on every side.
    RECT ViewRect() const;
    void FitView();
    void PaintCaption();
    // The three buttons over the caption picture, the one under the cursor lit.
    void PaintCaptionButtons(HDC dc, int windowWidth);
    // The button under a point in screen coordinates; None when the point is on none.
    common::CaptionButton CaptionButtonAt(POINT screen) const;
    // Lights the button under the cursor (None: no button), repainting when that changes.
    void SetHoverButton(common::CaptionButton button);
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
    std::unique_ptr<platform::BrowserControl> m_control;
    platform::CWebBrowser2 m_browser;
    StoreView m_view = StoreView::None;
    bool m_hasDocument = false;  // the control has shown a document since it was made
    UINT m_documentWaitMs = kDefaultDocumentWaitMs;
    DocumentProbe m_documentProbe = platform::BrowserControl::ProbeHtmlDocument;
    std::wstring m_viewDecision;
    UINT m_captionButtonMessage = 0;
    common::CaptionButton m_hoverButton = common::CaptionButton::None;
    // The caption's pictures, loaded once: Wine makes a new bitmap at every LoadImage (LR_SHARED or not), and the
    // caption is painted ten times a second while the window is open. Null where a picture could not be loaded.
    platform::UniqueBitmap m_captionPicture;
    std::array<platform::UniqueBitmap, common::kCaptionButtonCount> m_buttonPictures;  // by button number - 1
};
